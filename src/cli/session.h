#pragma once

#include "cli/arguments.h"
#include "cli/console_host.h"
#include "commands/engines.h"
#include "platform/explore_menu.h"
#include "platform/recent_files.h"

#include <string>
#include <utility>
#include <vector>

namespace parcelo::cli {

// Collects the pieces the engines list, with their sizes, for the result line; the files a
// split writes beside them are left out.
class CollectedFiles : public FileListBinding {
public:
    void clear() override { rows.clear(); }
    int addRow(const std::string& text, FileRowKind kind) override;
    void setRowSize(int row, const std::string& size) override;
    void scrollToRow(int) override {}

    std::vector<std::pair<std::string, std::string>> rows;
};

// Everything one command run needs: the console, what the engines report through, the
// engines.
struct Session {
    explicit Session(const Arguments& a);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ConsoleHost host;
    CollectedFiles files;
    NoRecentFiles recentFiles;
    ExploreMenu exploreMenu;
    Engines engines;
};

// The folder a command keeps scratch files in: the Temp folder beside this executable, or
// the system's when the program is installed.
std::string scratchFolder();

// Prints how a command ended. When it succeeded: the messages the engines showed on the
// way, but for the last one that tells of no failure (their outcome sentence, which the
// result line replaces; an empty result prints that sentence as the result), each as a
// notice or an error, then `notices` and the result line. When it failed: every message
// held, as errors.
void finish(ConsoleHost& host, bool succeeded, const std::string& result,
            const std::vector<std::string>& notices = {});

// The size of a file as people write it ("4.77 MB"); "" when it cannot be read.
std::string sizeText(const std::string& path);

} // namespace parcelo::cli
