#pragma once

#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "join/join_command.h"
#include "join/mod_join_file.h"
#include "platform/bindings.h"
#include "split/mod_split_file.h"
#include "split/split_request.h"
#include "verify/verify.h"

#include <string>

namespace parcelo {

// The displays of the three work panes; any binding may be missing.
struct WorkPaneBindings {
    PaneBindings split;  // ProgressBar1, Label5, ListView1
    PaneBindings join;   // ProgressBar2, Label8, ListView2
    PaneBindings verify; // ProgressBar3, ListView3
};

// The engines of the work commands, built and wired once for a front end: the split and
// join engines, the compression component and its adapter reporting on the split and join
// panes, the join and verify lists following the split engine's display unit, and the
// temporary folder that receives a compressed file for a diskette split.
class Engines {
public:
    Engines(Host& host, WorkPaneBindings panes, std::string tempFolder);
    Engines(const Engines&) = delete;
    Engines& operator=(const Engines&) = delete;

    modSplitFile& splitEngine() { return split_; }
    modJoinFile& joinEngine() { return join_; }
    ZlibTool& zlibTool() { return zlib_; }
    CompressionAdapter& compressor() { return compressor_; }

    // What each command works with besides its pane's values.
    SplitServices splitServices(RecentFilesSink& recentFiles, ExploreMenu& exploreMenu);
    JoinServices joinServices(RecentFilesSink& recentFiles, ExploreMenu& exploreMenu);
    VerifyServices verifyServices(RecentFilesSink& recentFiles);

private:
    Host& host_;
    WorkPaneBindings panes_;
    ZlibTool zlib_; // outlives the adapter that drives it
    modSplitFile split_;
    modJoinFile join_;
    CompressionAdapter compressor_;
};

} // namespace parcelo
