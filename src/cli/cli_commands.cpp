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

CompressionLevelOption levelOption(const std::string& level)
{
    if (level == "medium")
        return CompressionLevelOption::MediumCompression;
    if (level == "fast")
        return CompressionLevelOption::HighestSpeed;
    return CompressionLevelOption::HighestCompression;
}

// Everything one command run needs: the console, the engines, the compressor.
struct Session {
    explicit Session(const Arguments& a)
        : host(a.yes ? AnswerPolicy::AlwaysYes : AnswerPolicy::AskOnTerminal), splitEngine(host),
          joinEngine(host),
          compressor(host, zlibTool, {&progressBar, nullptr, nullptr},
                     {&progressBar, nullptr, nullptr}, programFolder(), levelOption(a.level))
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
    static const std::vector<std::string> units = {"BT", "KB", "MB", "GB", "LN"};
    for (std::size_t i = 0; i < units.size(); ++i)
        if (units[i] == a.unit)
            pane.Combo1 = static_cast<int>(i);
    return pane;
}

int split(const Arguments& a)
{
    Session s(a);
    s.splitEngine.SetCompanions({!a.noChecksums, !a.noJoinScript});
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
    if (!s.joinEngine.ChecksumNote().empty())
        std::printf("parcelo-cli: %s\n", s.joinEngine.ChecksumNote().c_str());
    std::printf("parcelo-cli: joined %zu pieces into %s\n", s.files.rows.size(),
                outcome.joinedFile.c_str());
    return kExitSuccess;
}

int verify(const Arguments& a)
{
    Session s(a);
    ChecksumReport checksums;
    const VerifyContext context{s.host, &s.files, &s.splitEngine.UnitRef(), &s.joinEngine,
                                &checksums};
    const VerifyCommandResult result =
        a.wholeSet ? cmdVerify2_Click(a.source, context) : cmdVerify1_Click(a.source, context);
    for (const ChecksumReport::Piece& piece : checksums.pieces)
        std::printf("%s %s\n", pieceStateWord(piece.state), piece.path.c_str());
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
