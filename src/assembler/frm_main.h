#pragma once

#include "assembler/assembler_values.h"
#include "join/mod_join_file.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace parcelo {
class Desktop;
class Host;
class ModalRunner;
} // namespace parcelo

namespace parcelo::assembler {

// What Parcelo Assembler's window works with besides its own controls.
struct AssemblerServices {
    Host& host;
    Desktop& desktop;
    ModalRunner& modal;
};

// Parcelo Assembler's one window: the two path boxes, Join, Clear All and Exit, and the
// Help menu. The join engine runs without any display.
class frmMain : public QMainWindow {
public:
    frmMain(AssemblerValues values, const AssemblerServices& services, QWidget* parent = nullptr);

    // Asks for the start-up warning (no first piece beside the program) when the window
    // shows; Form_Resize shows it once.
    void SetNoFiles() { noFilesFound_ = true; }
    bool NoFilesFound() const { return noFilesFound_; }
    void Form_Resize();

    // Join; ignored while a join is running.
    void cmdJoin_Click();
    // Clear All: empties both boxes; while a join runs it reads "Stop" and stops it (Esc too).
    void cmdJnCancel_Click();
    // Exit: closes the window and ends the program.
    void cmdFinish_Click();

    void mnuInstructions_Click();
    void mnuSupport_Click();
    void mnuPcxOnWeb_Click();
    void mnuWeb_Click();
    void mnuAbout_Click();

    // Runs when the window has closed, to end the program.
    void setOnEnded(std::function<void()> ended) { onEnded_ = std::move(ended); }
    bool hasEnded() const { return ended_; }

    const AssemblerValues& values() const { return values_; }
    modJoinFile& joinEngine() { return engine_; }

    QLabel* Label1;
    QLabel* Label6;
    QLineEdit* Text5;
    QLabel* Label7;
    QLineEdit* Text6;
    QLabel* Label10;
    QLabel* Label3;
    QLabel* Label2;
    QPushButton* cmdJoin;
    QPushButton* cmdJnCancel;
    QPushButton* cmdFinish;

    QMenu* mnuHelp;
    QAction* mnuInstructions;
    QAction* mnuSupport;
    QAction* mnuPcxOnWeb;
    QAction* mnuWeb;
    QAction* mnuAbout;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void wire();
    void wireKeyboardAndDrops();
    // Asks the running join to stop. False when none runs.
    bool stopJoin();

    AssemblerValues values_;
    Host& host_;
    Desktop& desktop_;
    ModalRunner& modal_;
    modJoinFile engine_;
    bool noFilesFound_ = false;
    bool closeAfterJoin_ = false;
    bool ended_ = false;
    std::function<void()> onEnded_;
};

} // namespace parcelo::assembler
