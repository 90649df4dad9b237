#include "commands/engines.h"

#include <utility>

namespace parcelo {

Engines::Engines(Host& host, WorkPaneBindings panes, std::string tempFolder)
    : host_(host), panes_(panes), split_(host), join_(host),
      compressor_(host, zlib_, panes.split, panes.join, std::move(tempFolder))
{
    join_.SetDisplayUnit(&split_.displayUnit());
}

SplitServices Engines::splitServices(RecentFilesSink& recentFiles, ExploreMenu& exploreMenu)
{
    return {host_, split_, compressor_, recentFiles, exploreMenu, panes_.split};
}

JoinServices Engines::joinServices(RecentFilesSink& recentFiles, ExploreMenu& exploreMenu)
{
    return {host_, join_, compressor_, recentFiles, exploreMenu, panes_.join};
}

VerifyServices Engines::verifyServices(RecentFilesSink& recentFiles)
{
    return {host_, recentFiles, panes_.verify, &split_.displayUnit(), &join_};
}

} // namespace parcelo
