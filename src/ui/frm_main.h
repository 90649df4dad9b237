#pragma once

#include "app/app_paths.h"
#include "app/config_file.h"
#include "app/recent_files.h"
#include "app/registry.h"
#include "app/version.h"
#include "platform/explore_menu.h"
#include "ui/navigation_column.h"
#include "ui/work_gate.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QStackedWidget;

namespace parcelo {

class CompressionAdapter;
class Desktop;
class Engines;
class HelpWindow;
class Host;
class JobNoticeHost;
class JoinPane;
class MainDialogs;
class OptionsPane;
class SplitPane;
class VerifyPane;
class ZlibTool;
class modJoinFile;
class modSplitFile;
struct MainMenus;
struct JoinRequest;
struct SplitRequest;
struct VerifyRequest;
enum class CompressionLevelOption;

// What the main window works with besides its own controls.
struct ShellServices {
    Host& host;
    Desktop& desktop;
    MainDialogs& dialogs;
    RegistryRoot registry = RegistryRoot::localMachine();
};

// The main window: the navigation column, the four panes (one shown at a time), the
// menus, the browse commands, the Options pane's save, and the way out. The options live
// in the Options pane's controls and are written back on Exit, on closing the window and
// on "Save Options".
class frmMain : public QMainWindow, public RecentFilesMenu {
public:
    // Creates the window with the Split pane shown, empty boxes, the list choices set
    // and the three recent-file menus loaded.
    frmMain(AppPaths paths, const ShellServices& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Options: loaded ones into the controls; the controls as options; the save.
    void applyOptions(const ParceloOptions& options, const ExploreMenu& explore);
    ParceloOptions optionsFromControls() const;
    ConfigStatus Before_Close();

    // Pane switches.
    void cmdMSplit_Click() { showPane(Pane::Split); }
    void cmdMJoin_Click() { showPane(Pane::Join); }
    void cmdMVerify_Click() { showPane(Pane::Verify); }
    void cmdMOptions_Click() { showPane(Pane::Options); }
    void showPane(Pane pane);
    Pane visiblePane() const;

    // Files handed to the program (command line, desktop entry, a drop): a piece fills the
    // Join pane, any other file the Split pane's source, and that pane is shown; `as`
    // (Split or Join) chooses the pane instead, and is shown even without a file. Folders
    // are left out; ignored while an operation runs.
    void openFiles(const std::vector<std::string>& paths, std::optional<Pane> as = std::nullopt);

    // The file-open dialog in LastBrowseFolder, or in the given folder; "" when cancelled.
    std::string GetFile();
    std::string GetFolderFile(const std::string& strFolderName);
    const std::string& LastBrowseFolder() const { return lastBrowseFolder_; }
    const std::string& SelectedFolder() const { return selectedFolder_; }

    // File browses (Split, Join, Verify) and folder browses (Split and Join destinations,
    // the two default folders).
    void Command3_Click();
    void cmdSpFolder_Click();
    void Command1_Click();
    void Command5_Click();
    void Command2_Click();
    void Command4_Click();
    void cmdOptBr1_Click();
    void cmdOptBr2_Click();

    // "Save Options". The pause before saving (up to a second) can be replaced.
    void Command6_Click();
    void setSaveOptionsPause(std::function<void()> pause) { saveOptionsPause_ = std::move(pause); }

    // Exit: asks, saves and ends. Closing the window saves without asking. Either way
    // the options are saved once and then `ended` runs.
    void cmdMExit_Click();
    void setOnEnded(std::function<void()> ended) { onEnded_ = std::move(ended); }
    bool hasEnded() const { return ended_; }

    // The Explore menu: the commands fill the entries, refreshExploreMenu shows them.
    ExploreMenu& exploreMenu() { return explore_; }
    void refreshExploreMenu();
    void mnuExplore_Click(int index);

    // The recent-file lists and their menu entries (index 1 to 4).
    RecentFiles& recentFiles() { return *recentFiles_; }
    void mnuSpFileItem_Click(int index);
    void mnuJnFileItem_Click(int index);
    void mnuVfFileItem_Click(int index);
    void showEntry(RecentKind kind, int position, const std::string& caption,
                   const std::string& path) override;
    void hideEntry(RecentKind kind, int position) override;
    void hidePlaceholder(RecentKind kind) override;

    // The Split pane's commands: Split, "Compress only" and "Clear All".
    void cmdSpSplit_Click();
    void cmdCompress_Click();
    void cmdSpCancel_Click();
    // The Join pane's Join and "Clear All".
    void cmdJoin_Click();
    void cmdJnCancel_Click();
    // The Verify pane's "Verify this file", "Verify whole set", Repair and "Clear All".
    // Repair is enabled while the last whole-set check found a set that can be repaired.
    void cmdVerify1_Click();
    void cmdVerify2_Click();
    void cmdRepair_Click();
    void cmdVerify3_Click();

    // True while a split, join, check, compression or save runs: the commands that start
    // work are disabled or ignored until it ends.
    bool working() const { return work_.busy(); }

    // The engines and the compression component, owned for the window's lifetime.
    modSplitFile& splitEngine();
    modJoinFile& joinEngine();
    ZlibTool& zlibTool();
    CompressionAdapter& compressor();

    void mnuViewLogFile_Click();
    void mnuDeleteLogFile_Click();

    // Help, web pages, About and the joiner.
    void mnuHelpContents_Click();
    void mnuPcxAssembler_Click();
    void mnuSysInfo_Click();
    void mnuSupport_Click();
    void mnuPcxOnWeb_Click();
    void mnuWeb_Click();
    void mnuAbout_Click();
    void mnuPcxAssembler1_Click();
    HelpWindow* helpWindow();

    Host& host() { return host_; }
    // What the jobs talk through: the window's host, and the notice of a long job's end.
    JobNoticeHost& jobNotice() { return *jobNotice_; }
    const AppPaths& paths() const { return paths_; }
    const ParceloOptions& loadedOptions() const { return options_; }

    NavigationColumn* navigation;
    QStackedWidget* panes;
    SplitPane* splitPane;
    JoinPane* joinPane;
    VerifyPane* verifyPane;
    OptionsPane* optionsPane;
    std::unique_ptr<MainMenus> menus;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* paneWidget(Pane pane) const;
    QWidget* focusOnShow(Pane pane) const;
    void wireNavigation();
    void wireBrowses();
    void wireMenus();
    void wireRecentAndExplore();
    void wireKeyboard();
    void wireDrops();
    void browseForVisiblePane();
    void browseForFile(QLineEdit* box, QLineEdit* destination, Pane pane, QWidget* focusAfter);
    void browseForFolder(QLineEdit* box);
    void recentEntryChosen(RecentKind kind, int index, QLineEdit* box);
    void notifyEnded();
    void wireCommands();
    void guardWork();
    // Runs one operation through the gate, the panes' "Clear All" buttons reading "Stop"
    // meanwhile. A stopped operation shows "Cancelled." in status; a close asked for
    // meanwhile follows it.
    void runWork(const std::function<void()>& operation, QLabel* status = nullptr);
    // "Clear All" and Esc while an operation runs: asks it to stop. False when none runs.
    bool stopWork();
    void saveOptions();
    void runSplitCommand(bool compressOnly);
    void runVerifyCommand(bool wholeSet);
    void runRepairCommand();
    void offerRepair(bool repairable);
    SplitRequest splitValues() const;
    JoinRequest joinValues() const;
    VerifyRequest verifyValues() const;
    void showSplitValues(const SplitRequest& request);
    CompressionLevelOption levelOption() const;

    AppPaths paths_;
    std::string helpFile_;
    Host& host_;
    Desktop& desktop_;
    MainDialogs& dialogs_;
    LogWriter log_;
    std::unique_ptr<RecentFiles> recentFiles_;
    ParceloOptions options_;
    ExploreMenu explore_;
    std::string lastBrowseFolder_;
    std::string selectedFolder_;
    std::function<void()> saveOptionsPause_;
    std::function<void()> onEnded_;
    bool ended_ = false;
    bool endNotified_ = false;
    HelpWindow* helpWindow_ = nullptr;
    WorkGate work_{*this};
    bool closeAfterWork_ = false;
    bool repairable_ = false; // the Verify pane's set can be repaired
    std::unique_ptr<JobNoticeHost> jobNotice_;
    std::unique_ptr<Engines> engines_;
};

} // namespace parcelo
