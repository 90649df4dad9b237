// The main window's menu commands: the File menu's entries, View, Options, Explore and
// Help.
#include "ui/frm_main.h"

#include "app/log_file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "ui/desktop.h"
#include "ui/frm_about.h"
#include "ui/frm_pcx_a_instructions.h"
#include "ui/help_window.h"
#include "ui/join_pane.h"
#include "ui/main_dialogs.h"
#include "ui/main_menus.h"
#include "ui/split_pane.h"
#include "ui/verify_pane.h"
#include "ui/web_links.h"

#include <QAction>
#include <QLineEdit>

namespace parcelo {

namespace {

// The log is opened in the desktop's text editor.
class DesktopEditor : public TextEditorLauncher {
public:
    explicit DesktopEditor(Desktop& desktop) : desktop_(desktop) {}
    void openInEditor(const std::string& path) override { desktop_.openInEditor(path); }

private:
    Desktop& desktop_;
};

std::size_t slot(int position)
{
    return static_cast<std::size_t>(position - 1);
}

} // namespace

void frmMain::wireMenus()
{
    const std::pair<QAction*, void (frmMain::*)()> entries[] = {
        {menus->mnuFileSp, &frmMain::Command3_Click},
        {menus->mnuFileJn, &frmMain::Command1_Click},
        {menus->mnuFileVy, &frmMain::Command5_Click},
        {menus->mnuPcxAssembler1, &frmMain::mnuPcxAssembler1_Click},
        {menus->mnuViewLogFile, &frmMain::mnuViewLogFile_Click},
        {menus->mnuDeleteLogFile, &frmMain::mnuDeleteLogFile_Click},
        {menus->mnuExit, &frmMain::cmdMExit_Click},
        {menus->mnuV1, &frmMain::cmdMSplit_Click},
        {menus->mnuV2, &frmMain::cmdMJoin_Click},
        {menus->mnuV4, &frmMain::cmdMVerify_Click},
        {menus->mnuV3, &frmMain::cmdMOptions_Click},
        {menus->mnuSettings, &frmMain::cmdMOptions_Click},
        {menus->mnuHelpContents, &frmMain::mnuHelpContents_Click},
        {menus->mnuSysInfo, &frmMain::mnuSysInfo_Click},
        {menus->mnuSupport, &frmMain::mnuSupport_Click},
        {menus->mnuPcxOnWeb, &frmMain::mnuPcxOnWeb_Click},
        {menus->mnuPcxAssembler, &frmMain::mnuPcxAssembler_Click},
        {menus->mnuWeb, &frmMain::mnuWeb_Click},
        {menus->mnuAbout, &frmMain::mnuAbout_Click},
    };
    for (const auto& [action, handler] : entries)
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
}

void frmMain::wireRecentAndExplore()
{
    for (int position = 1; position <= 4; ++position) {
        connect(menus->mnuSpFileItem[slot(position)], &QAction::triggered, this,
                [this, position] { mnuSpFileItem_Click(position); });
        connect(menus->mnuJnFileItem[slot(position)], &QAction::triggered, this,
                [this, position] { mnuJnFileItem_Click(position); });
        connect(menus->mnuVfFileItem[slot(position)], &QAction::triggered, this,
                [this, position] { mnuVfFileItem_Click(position); });
        connect(menus->mnuExplore[slot(position)], &QAction::triggered, this,
                [this, position] { mnuExplore_Click(position); });
    }
}

void frmMain::showEntry(RecentKind kind, int position, const std::string& caption,
                        const std::string& path)
{
    QAction* item = menus->recentItems(kind).at(slot(position));
    item->setText(menuCaption(caption));
    item->setData(QString::fromStdString(path));
    item->setVisible(true);
}

void frmMain::hideEntry(RecentKind kind, int position)
{
    menus->recentItems(kind).at(slot(position))->setVisible(false);
}

void frmMain::hidePlaceholder(RecentKind kind)
{
    menus->recentPlaceholder(kind)->setVisible(false);
}

void frmMain::recentEntryChosen(RecentKind kind, int index, QLineEdit* box)
{
    const QString path = menus->recentItems(kind).at(slot(index))->data().toString();
    box->setText(path);
    recentFiles_->RecentEntryChosen(host_, kind, path.toStdString());
}

void frmMain::mnuSpFileItem_Click(int index)
{
    recentEntryChosen(RecentKind::Split, index, splitPane->Text1);
}

void frmMain::mnuJnFileItem_Click(int index)
{
    recentEntryChosen(RecentKind::Joined, index, joinPane->Text5);
}

void frmMain::mnuVfFileItem_Click(int index)
{
    recentEntryChosen(RecentKind::Verified, index, verifyPane->Text8);
}

void frmMain::refreshExploreMenu()
{
    bool anyShown = false;
    for (int position = 1; position <= 4; ++position) {
        const ExploreEntry& entry = explore_.entry(position);
        QAction* item = menus->mnuExplore[slot(position)];
        item->setText(menuCaption(entry.caption));
        item->setData(QString::fromStdString(entry.tag));
        item->setVisible(entry.visible);
        anyShown = anyShown || entry.visible;
    }
    menus->mnuExploreTemp->setVisible(!anyShown);
}

void frmMain::mnuExplore_Click(int index)
{
    ExploreFolder(host_, desktop_, explore_.entry(index).tag);
}

void frmMain::mnuViewLogFile_Click()
{
    DesktopEditor editor(desktop_);
    ViewLogFile(host_, paths_.logFilePath, logFolderOf(paths_), editor);
}

void frmMain::mnuDeleteLogFile_Click()
{
    DeleteLogFile(host_, paths_.logFilePath, logFolderOf(paths_));
}

HelpWindow* frmMain::helpWindow()
{
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(helpFile_, this);
    return helpWindow_;
}

void frmMain::mnuHelpContents_Click()
{
    helpWindow()->showContents();
}

void frmMain::mnuPcxAssembler_Click()
{
    helpWindow()->showKeyword("Parcelo Assembler");
}

void frmMain::mnuSysInfo_Click()
{
    StartSysInfo(host_, desktop_);
}

void frmMain::mnuSupport_Click()
{
    OpenWebPage(host_, desktop_, options_.supportWebPage);
}

void frmMain::mnuPcxOnWeb_Click()
{
    OpenWebPage(host_, desktop_, options_.productWebPage);
}

void frmMain::mnuWeb_Click()
{
    OpenWebPage(host_, desktop_, options_.makerWebPage);
}

void frmMain::mnuAbout_Click()
{
    frmAbout about({kProductName, kParceloVersion, {}, options_.makerWebPage, false}, host_,
                   desktop_, this);
    dialogs_.runModal(about);
}

void frmMain::mnuPcxAssembler1_Click()
{
    frmPcxAInstructions instructions(paths_.appFolder, options_.makerWebPage, host_, desktop_,
                                     this);
    dialogs_.runModal(instructions);
}

} // namespace parcelo
