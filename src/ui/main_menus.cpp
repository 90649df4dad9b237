#include "ui/main_menus.h"

#include "ui/pane_layout.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace parcelo {

namespace {

QAction* entry(QMenu* menu, const char* name, const char* caption)
{
    return named(menu->addAction(QString::fromLatin1(caption)), name);
}

QMenu* menu(QMenuBar& bar, const char* name, const char* caption)
{
    return named(bar.addMenu(QString::fromLatin1(caption)), name);
}

// A placeholder that stands in an empty list, and the four hidden entries of the list.
QAction* hiddenEntries(QMenu* menu, const char* placeholderName, const char* placeholder,
                       const char* itemName, std::array<QAction*, 4>& items)
{
    QAction* temp = entry(menu, placeholderName, placeholder);
    temp->setEnabled(false);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string name = std::string(itemName) + "_" + std::to_string(i + 1);
        items[i] = entry(menu, name.c_str(), "");
        items[i]->setVisible(false);
    }
    return temp;
}

} // namespace

QString menuCaption(const std::string& text)
{
    return QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

MainMenus::MainMenus(QMenuBar& bar)
{
    buildFile(bar);
    buildView(bar);
    mnuSettings = named(bar.addAction(QStringLiteral("&Options")), "mnuSettings");
    buildExplore(bar);
    buildHelp(bar);
}

void MainMenus::buildFile(QMenuBar& bar)
{
    mnuFile = menu(bar, "mnuFile", "&File");
    mnuFileSp = entry(mnuFile, "mnuFileSp", "Open file to Split");
    mnuFileJn = entry(mnuFile, "mnuFileJn", "Open file to Join");
    mnuFileVy = entry(mnuFile, "mnuFileVy", "Open file to Verify");
    mnuFile->addSeparator();
    mnuSpFileRecent =
        named(mnuFile->addMenu(QStringLiteral("Recent Split Files")), "mnuSpFileRecent");
    mnuSpFileRecentTemp = hiddenEntries(mnuSpFileRecent, "mnuSpFileRecentTemp",
                                        "--Recent Split Files--", "mnuSpFileItem", mnuSpFileItem);
    mnuJnFileRecent =
        named(mnuFile->addMenu(QStringLiteral("Recent Joined Files")), "mnuJnFileRecent");
    mnuJnFileRecentTemp = hiddenEntries(mnuJnFileRecent, "mnuJnFileRecentTemp",
                                        "--Recent Joined Files--", "mnuJnFileItem", mnuJnFileItem);
    mnuVfFileRecent =
        named(mnuFile->addMenu(QStringLiteral("Recent Verified Files")), "mnuVfFileRecent");
    mnuVfFileRecentTemp =
        hiddenEntries(mnuVfFileRecent, "mnuVfFileRecentTemp", "--Recent Verified Files--",
                      "mnuVfFileItem", mnuVfFileItem);
    mnuFile->addSeparator();
    mnuPcxAssembler1 = entry(mnuFile, "mnuPcxAssembler1", "Parcelo Assembler");
    mnuFile->addSeparator();
    mnuViewLogFile = entry(mnuFile, "mnuViewLogFile", "View Log File");
    mnuDeleteLogFile = entry(mnuFile, "mnuDeleteLogFile", "Delete Log File");
    mnuFile->addSeparator();
    mnuExit = entry(mnuFile, "mnuExit", "Exit");
}

void MainMenus::buildView(QMenuBar& bar)
{
    mnuView = menu(bar, "mnuView", "&View");
    mnuV1 = entry(mnuView, "mnuV1", "&Split files window");
    mnuV2 = entry(mnuView, "mnuV2", "&Join files window");
    mnuV4 = entry(mnuView, "mnuV4", "&Verify files window");
    mnuV3 = entry(mnuView, "mnuV3", "&Options window");
}

void MainMenus::buildExplore(QMenuBar& bar)
{
    mnuExploreMain = menu(bar, "mnuExploreMain", "&Explore");
    mnuExploreTemp = hiddenEntries(mnuExploreMain, "mnuExploreTemp", "--Explore Folder--",
                                   "mnuExplore", mnuExplore);
}

void MainMenus::buildHelp(QMenuBar& bar)
{
    mnuHelp = menu(bar, "mnuHelp", "&Help");
    mnuHelpContents = entry(mnuHelp, "mnuHelpContents", "&Contents and Index");
    mnuHelp->addSeparator();
    mnuSysInfo = entry(mnuHelp, "mnuSysInfo", "&System Information");
    mnuSupport = entry(mnuHelp, "mnuSupport", "&Product Support");
    mnuPcxOnWeb = entry(mnuHelp, "mnuPcxOnWeb", "&Parcelo on the Web");
    mnuHelp->addSeparator();
    mnuPcxAssembler = entry(mnuHelp, "mnuPcxAssembler", "Parcelo Assembler Help");
    mnuHelp->addSeparator();
    mnuWeb = entry(mnuHelp, "mnuWeb", "Norvane on the &Web");
    mnuHelp->addSeparator();
    mnuAbout = entry(mnuHelp, "mnuAbout", "&About Parcelo...");
}

std::array<QAction*, 4>& MainMenus::recentItems(RecentKind kind)
{
    switch (kind) {
    case RecentKind::Split:
        return mnuSpFileItem;
    case RecentKind::Joined:
        return mnuJnFileItem;
    case RecentKind::Verified:
        break;
    }
    return mnuVfFileItem;
}

QAction* MainMenus::recentPlaceholder(RecentKind kind) const
{
    switch (kind) {
    case RecentKind::Split:
        return mnuSpFileRecentTemp;
    case RecentKind::Joined:
        return mnuJnFileRecentTemp;
    case RecentKind::Verified:
        break;
    }
    return mnuVfFileRecentTemp;
}

} // namespace parcelo
