#include "cli/cli_commands.h"

#include "cli/console_host.h"
#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "format/common.h"
#include "join/join_command.h"
#include "join/mod_join_file.h"
#include "platform/paths.h"
#include "platform/recent_files.h"
#include "platform/stop_token.h"
#include "split/mod_split_file.h"
#include "split/split_request.h"
#include "verify/verify.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace parcelo::cli {

namespace {

// Collects the rows the engines list, for the summary line.
class CollectedFiles : public FileListBinding {
public:
    void clear() override { rows.clear(); }
    int addRow(const std::string& text) override
    {
        rows.push_back({text, {}});
        return static_cast<int>(rows.size()) - 1;
    }
    void setRowSize(int row, const std::string& size) override
    {
        rows.at(static_cast<std::size_t>(row)).second = size;
    }
    void scrollToRow(int) override {}

    std::vector<std::pair<std::string, std::string>> rows;
};

// The folder of this executable: the Temp folder for diskette splits lives there.
std::string programFolder()
{
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : fromNativePath(self.parent_path());
}

// Everything one command run needs: the console, the engines, the compressor.
struct Session {
    explicit Session(const Arguments& a)
        : host(a.yes ? AnswerPolicy::AlwaysYes : AnswerPolicy::AskOnTerminal), splitEngine(host),
          joinEngine(host), compressor(host, zlibTool, {&progressBar, nullptr, nullptr},
                                       {&progressBar, nullptr, nullptr}, programFolder(),
                                       a.level.value_or(CompressionLevelOption::HighestCompression))
    {
        const std::string temp = withTrailingSeparator(programFolder()) + "Temp";
        EnsureFolderExists(temp);
        joinEngine.SetDisplayUnit(&splitEngine.UnitRef());
    }

    ConsoleHost host;
    ConsoleProgressBar progressBar;
    CollectedFiles files;
    NoRecentFiles recentFiles;
    ExploreMenu exploreMenu;
    modSplitFile splitEngine;
    modJoinFile joinEngine;
    ZlibTool zlibTool;
    CompressionAdapter compressor;
};

SplitPaneValues splitPane(const Arguments& a)
{
    SplitPaneValues pane;
    pane.Text1 = a.source;
    pane.Text4 = a.destination;
    pane.Check1 = a.compress || a.verb == Verb::Compress;
    pane.chkDelOrgSplit = a.deleteSource;
    pane.Option1 = a.mode == SplitMode::Size || a.mode == SplitMode::Lines;
    pane.Option3 = a.mode == SplitMode::Preset;
    pane.Combo2 = a.presetIndex;
    if (a.mode == SplitMode::Pieces)
        pane.Text2 = a.sizeText;
    else
        pane.Text3 = a.sizeText;
    if (const int unit = unitIndexOf(a.unit); unit >= 0)
        pane.Combo1 = unit;
    return pane;
}

int split(const Arguments& a)
{
    Session s(a);
    SplitPaneValues pane = splitPane(a);
    SplitServices services{s.host,        s.splitEngine, s.compressor,
                           s.recentFiles, s.exploreMenu, {&s.progressBar, nullptr, &s.files}};
    const CommandOutcome outcome = a.verb == Verb::Compress ? cmdCompress_Click(pane, services)
                                                            : cmdSpSplit_Click(pane, services);
    if (!outcome.succeeded)
        return kExitFailure;
    const std::size_t count = s.files.rows.size();
    std::printf("parcelo-cli: wrote %zu piece%s to %s", count, count == 1 ? "" : "s",
                pane.Text4.c_str());
    if (!s.files.rows.empty())
        std::printf(" (first piece %s)", s.files.rows.front().second.c_str());
    std::printf("\n");
    return kExitSuccess;
}

int join(const Arguments& a)
{
    Session s(a);
    JoinPaneValues pane{a.source, a.destination, a.noDecompress, a.deletePieces};
    JoinServices services{s.host,        s.joinEngine,  s.compressor,
                          s.recentFiles, s.exploreMenu, {&s.progressBar, nullptr, &s.files}};
    const JoinOutcome outcome = cmdJoin_Click(pane, services);
    if (!outcome.succeeded)
        return kExitFailure;
    std::printf("parcelo-cli: joined %zu pieces into %s\n", s.files.rows.size(),
                outcome.joinedFile.c_str());
    return kExitSuccess;
}

int verify(const Arguments& a)
{
    Session s(a);
    const VerifyContext context{s.host, &s.files, &s.splitEngine.UnitRef(), &s.joinEngine};
    const VerifyCommandResult result =
        a.wholeSet ? cmdVerify2_Click(a.source, context) : cmdVerify1_Click(a.source, context);
    return result.verdict == VerifyVerdict::Verified ? kExitSuccess : kExitFailure;
}

} // namespace

namespace {

int runVerb(const Arguments& arguments)
{
    switch (arguments.verb) {
    case Verb::Split:
    case Verb::Compress:
        return split(arguments);
    case Verb::Join:
        return join(arguments);
    case Verb::Verify:
        return verify(arguments);
    case Verb::Help:
        break;
    }
    return kExitSuccess;
}

} // namespace

int runCommand(const Arguments& arguments)
{
    const int status = runVerb(arguments);
    return jobStop().requested() ? kExitStopped : status;
}

} // namespace parcelo::cli
