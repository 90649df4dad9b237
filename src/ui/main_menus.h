#pragma once

#include "app/recent_files.h"

#include <QString>

#include <array>

class QAction;
class QMenu;
class QMenuBar;

namespace parcelo {

// The main window's menus. Entries that repeat are arrays counted from 0 here and named
// with their 1-based position ("mnuExplore_1").
struct MainMenus {
    explicit MainMenus(QMenuBar& bar);

    std::array<QAction*, 4>& recentItems(RecentKind kind);
    QAction* recentPlaceholder(RecentKind kind) const;

    QMenu* mnuFile;
    QAction* mnuFileSp;
    QAction* mnuFileJn;
    QAction* mnuFileVy;
    QMenu* mnuSpFileRecent;
    QAction* mnuSpFileRecentTemp;
    std::array<QAction*, 4> mnuSpFileItem;
    QMenu* mnuJnFileRecent;
    QAction* mnuJnFileRecentTemp;
    std::array<QAction*, 4> mnuJnFileItem;
    QMenu* mnuVfFileRecent;
    QAction* mnuVfFileRecentTemp;
    std::array<QAction*, 4> mnuVfFileItem;
    QAction* mnuPcxAssembler1;
    QAction* mnuViewLogFile;
    QAction* mnuDeleteLogFile;
    QAction* mnuExit;

    QMenu* mnuView;
    QAction* mnuV1;
    QAction* mnuV2;
    QAction* mnuV4;
    QAction* mnuV3;

    QAction* mnuSettings;

    QMenu* mnuExploreMain;
    QAction* mnuExploreTemp;
    std::array<QAction*, 4> mnuExplore;

    QMenu* mnuHelp;
    QAction* mnuHelpContents;
    QAction* mnuSysInfo;
    QAction* mnuSupport;
    QAction* mnuPcxOnWeb;
    QAction* mnuPcxAssembler;
    QAction* mnuWeb;
    QAction* mnuAbout;

private:
    void buildFile(QMenuBar& bar);
    void buildView(QMenuBar& bar);
    void buildExplore(QMenuBar& bar);
    void buildHelp(QMenuBar& bar);
};

// A path or folder as a menu caption: "&" would otherwise mark an access key.
QString menuCaption(const std::string& text);

} // namespace parcelo
