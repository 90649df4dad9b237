// The main window's browse commands: the file-open dialog for the three file boxes and
// the folder chooser for the four folder boxes.
#include "ui/frm_main.h"

#include "platform/paths.h"
#include "ui/join_pane.h"
#include "ui/main_dialogs.h"
#include "ui/options_pane.h"
#include "ui/pane_layout.h"
#include "ui/split_pane.h"
#include "ui/verify_pane.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace parcelo {

std::string frmMain::GetFile()
{
    return GetFolderFile(lastBrowseFolder_);
}

std::string frmMain::GetFolderFile(const std::string& strFolderName)
{
    const std::string start = strFolderName.empty()
                                  ? QDir::toNativeSeparators(QDir::currentPath()).toStdString()
                                  : strFolderName;
    const std::string chosen = dialogs_.openFile(this, start);
    if (!chosen.empty())
        lastBrowseFolder_ = GetFolderFromPath(chosen);
    return chosen;
}

void frmMain::browseForFile(QLineEdit* box, QLineEdit* destination, Pane pane, QWidget* focusAfter)
{
    if (working())
        return;
    if (!box->text().isEmpty()) {
        const std::string chosen = GetFolderFile(GetFolderFromPath(textOf(box)));
        if (!chosen.empty())
            box->setText(QString::fromStdString(chosen));
    } else if (pane != Pane::Split && lastBrowseFolder_.empty()) {
        // pieces are looked for where splits put them
        box->setText(QString::fromStdString(GetFolderFile(textOf(optionsPane->txtDefoutSplit))));
    } else {
        box->setText(QString::fromStdString(GetFile()));
    }
    if (destination && destination->text().isEmpty() && !box->text().isEmpty())
        destination->setText(QString::fromStdString(GetFolderFromPath(textOf(box))));
    if (visiblePane() != pane)
        showPane(pane);
    focusAfter->setFocus();
}

void frmMain::browseForFolder(QLineEdit* box)
{
    if (working())
        return;
    selectedFolder_ = dialogs_.chooseFolder(this, textOf(box));
    if (!selectedFolder_.empty())
        box->setText(QString::fromStdString(withTrailingSeparator(selectedFolder_)));
}

void frmMain::Command3_Click()
{
    browseForFile(splitPane->Text1, splitPane->Text4, Pane::Split, splitPane->cmdSpSplit);
}

// A folder to split: packed into one archive, then split as a compressed set.
void frmMain::cmdSpFolder_Click()
{
    browseForFolder(splitPane->Text1);
    if (!selectedFolder_.empty() && splitPane->Text4->text().isEmpty())
        splitPane->Text4->setText(QString::fromStdString(GetFolderFromPath(selectedFolder_)));
}

void frmMain::Command1_Click()
{
    browseForFile(joinPane->Text5, joinPane->Text6, Pane::Join, joinPane->cmdJoin);
}

void frmMain::Command5_Click()
{
    browseForFile(verifyPane->Text8, nullptr, Pane::Verify, verifyPane->cmdVerify1);
}

void frmMain::Command2_Click()
{
    browseForFolder(splitPane->Text4);
}

void frmMain::Command4_Click()
{
    browseForFolder(joinPane->Text6);
}

void frmMain::cmdOptBr1_Click()
{
    browseForFolder(optionsPane->txtDefoutSplit);
}

void frmMain::cmdOptBr2_Click()
{
    browseForFolder(optionsPane->txtDefoutJoin);
}

void frmMain::wireBrowses()
{
    const std::pair<QPushButton*, void (frmMain::*)()> browses[] = {
        {splitPane->Command3, &frmMain::Command3_Click},
        {splitPane->cmdSpFolder, &frmMain::cmdSpFolder_Click},
        {joinPane->Command1, &frmMain::Command1_Click},
        {verifyPane->Command5, &frmMain::Command5_Click},
        {splitPane->Command2, &frmMain::Command2_Click},
        {joinPane->Command4, &frmMain::Command4_Click},
        {optionsPane->cmdOptBr1, &frmMain::cmdOptBr1_Click},
        {optionsPane->cmdOptBr2, &frmMain::cmdOptBr2_Click},
    };
    for (const auto& [button, handler] : browses)
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
}

} // namespace parcelo
