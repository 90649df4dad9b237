// The main window's keyboard (Enter, shortcuts, accessible names) and the files it is
// handed on the command line or by a drop.
#include "ui/frm_main.h"

#include "platform/paths.h"
#include "ui/file_drops.h"
#include "ui/file_opening.h"
#include "ui/join_pane.h"
#include "ui/keyboard.h"
#include "ui/main_menus.h"
#include "ui/options_pane.h"
#include "ui/split_pane.h"
#include "ui/verify_pane.h"

#include <QAction>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <optional>

namespace parcelo {

void frmMain::openFiles(const std::vector<std::string>& paths, std::optional<Pane> as)
{
    if (working())
        return;
    std::optional<Pane> shown = as;
    for (const std::string& path : paths) {
        if (folderExists(path))
            continue;
        const bool piece = as ? *as == Pane::Join : looksLikePiece(path);
        QLineEdit* box = piece ? joinPane->Text5 : splitPane->Text1;
        QLineEdit* destination = piece ? joinPane->Text6 : splitPane->Text4;
        box->setText(QString::fromStdString(path));
        if (destination->text().isEmpty())
            destination->setText(QString::fromStdString(GetFolderFromPath(path)));
        shown = piece ? Pane::Join : Pane::Split;
    }
    if (shown)
        showPane(*shown);
}

void frmMain::browseForVisiblePane()
{
    switch (visiblePane()) {
    case Pane::Split:
        Command3_Click();
        break;
    case Pane::Join:
        Command1_Click();
        break;
    case Pane::Verify:
        Command5_Click();
        break;
    case Pane::Options:
        break;
    }
}

void frmMain::wireKeyboard()
{
    SplitPane& split = *splitPane;
    pressOnEnter({split.Text1, split.Text4, split.Text3, split.Text2}, split.cmdSpSplit);
    pressOnEnter({joinPane->Text5, joinPane->Text6}, joinPane->cmdJoin);
    pressOnEnter({verifyPane->Text8}, verifyPane->cmdVerify1);
    menus->mnuHelpContents->setShortcut(QKeySequence::HelpContents);
    menus->mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    addWindowShortcut(*this, QKeySequence(Qt::CTRL | Qt::Key_O),
                      [this] { browseForVisiblePane(); });
    nameAfterBuddies(*this);
}

void frmMain::wireDrops()
{
    const DropRule openDropped = [this](const std::vector<std::string>& paths) -> DropAction {
        const bool anyFile = !std::all_of(paths.begin(), paths.end(), folderExists);
        if (!anyFile)
            return {};
        return [this, paths] { openFiles(paths); };
    };
    acceptPathDrops(*this, openDropped);
    const QLineEdit* folderBoxes[] = {splitPane->Text4, joinPane->Text6,
                                      optionsPane->txtDefoutSplit, optionsPane->txtDefoutJoin};
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        const bool forFolders =
            std::find(std::begin(folderBoxes), std::end(folderBoxes), box) != std::end(folderBoxes);
        // a folder dropped on the Split pane's source is the folder to split
        acceptPathDrops(*box, forFolders                ? firstOf(folderInto(*box), openDropped)
                              : box == splitPane->Text1 ? firstOf(openDropped, folderInto(*box))
                                                        : openDropped);
    }
}

} // namespace parcelo
