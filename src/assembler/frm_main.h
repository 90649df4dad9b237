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
    // The user's folder for joined files, for pieces in a folder that cannot be written.
    std::string userJoinFolder;
};

// Parcelo Assembler's one window: the two path boxes, Join, Clear All and Exit, and the
// Help menu. The join engine runs without any display.
class frmMain : public QMainWindow {
public:
    frmMain(AssemblerValues values, const AssemblerServices& services, QWidget* parent = nullptr);

    // Where the joined file of pieces in piecesFolder goes unless the user says otherwise:
    // that folder when it can be written, else the user's folder for joined files (made
    // when missing).
    std::string joinedFileFolder(const std::string& piecesFolder) const;

    // Join; ignored while a join is running. An empty destination becomes the joined file's
    // folder for the piece.
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
    std::string userJoinFolder_;
    modJoinFile engine_;
    bool closeAfterJoin_ = false;
    bool ended_ = false;
    std::function<void()> onEnded_;
};

} // namespace parcelo::assembler
