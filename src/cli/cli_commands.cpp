#include "cli/cli_commands.h"

#include "app/app_paths.h"
#include "cli/cli_repair.h"
#include "cli/console_host.h"
#include "commands/engines.h"
#include "platform/durability.h"
#include "platform/paths.h"
#include "platform/recent_files.h"
#include "platform/stop_token.h"

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

// Where a diskette split with compression keeps its compressed file: the Temp folder
// beside this executable, or the system's when the program is installed.
std::string tempFolder()
{
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return resolveAppPaths(ec ? std::string(".") : fromNativePath(self.parent_path())).tempFolder;
}

// Everything one command run needs: the console, what the engines report through, the
// engines.
struct Session {
    explicit Session(const Arguments& a)
        : host(a.yes ? AnswerPolicy::AlwaysYes : AnswerPolicy::AskOnTerminal, stdin, a.quiet),
          engines(host, bindings(), tempFolder())
    {
        engines.compressor().SetLevelOption(
            a.level.value_or(CompressionLevelOption::HighestCompression));
    }

    WorkPaneBindings bindings()
    {
        const PaneBindings pane{nullptr, nullptr, &files};
        return {pane, pane, pane};
    }

    ConsoleHost host;
    CollectedFiles files;
    NoRecentFiles recentFiles;
    ExploreMenu exploreMenu;
    Engines engines;
};

SplitPaneValues splitPane(const Arguments& a)
{
    SplitPaneValues pane;
    pane.Text1 = a.source;
    pane.Text4 = a.destination;
    pane.Check1 = a.compress || a.verb == Verb::Compress;
    pane.chkDelOrgSplit = a.deleteSource;
    pane.txtRecovery = a.recovery;
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
    s.engines.splitEngine().SetCompanions({!a.noChecksums, !a.noJoinScript});
    SplitPaneValues pane = splitPane(a);
    SplitServices services = s.engines.splitServices(s.recentFiles, s.exploreMenu);
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
    s.host.setReplaceFiles(a.force);
    JoinPaneValues pane{a.source, a.destination, a.noDecompress, a.deletePieces};
    JoinServices services = s.engines.joinServices(s.recentFiles, s.exploreMenu);
    const CommandOutcome outcome = cmdJoin_Click(pane, services);
    if (!outcome.succeeded)
        return kExitFailure;
    if (!s.engines.joinEngine().ChecksumNote().empty())
        std::printf("parcelo-cli: %s\n", s.engines.joinEngine().ChecksumNote().c_str());
    std::printf("parcelo-cli: joined %zu pieces into %s\n", s.files.rows.size(),
                outcome.producedFile.c_str());
    return kExitSuccess;
}

int verify(const Arguments& a)
{
    Session s(a);
    ChecksumReport checksums;
    RepairOutlook outlook;
    VerifyPaneValues pane{a.source};
    VerifyServices services = s.engines.verifyServices(s.recentFiles);
    services.checksums = &checksums;
    services.outlook = &outlook;
    const CommandOutcome outcome =
        a.wholeSet ? cmdVerify2_Click(pane, services) : cmdVerify1_Click(pane, services);
    for (const ChecksumReport::Piece& piece : checksums.pieces)
        std::printf("%s %s\n", pieceStateWord(piece.state), piece.path.c_str());
    if (outlook.verdict.empty()) // no verdict on a set: one piece, or the check stopped
        return outcome.succeeded ? kExitSuccess : kExitFailure;
    std::printf("parcelo-cli: the set %s\n", outlook.verdict.c_str());
    switch (outlook.state) {
    case SetOutlook::Intact:
        return kExitSuccess;
    case SetOutlook::Repairable:
        return kExitRepairable;
    case SetOutlook::NotRepairable:
        break;
    }
    return kExitNotRepairable;
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
    case Verb::Repair:
        return repair(arguments);
    case Verb::Help:
    case Verb::Version:
        break;
    }
    return kExitSuccess;
}

} // namespace

int runCommand(const Arguments& arguments)
{
    setFlushToDisk(!arguments.noSync);
    const int status = runVerb(arguments);
    return exitStatusAfter(status, jobStop().requested()); // asked once the job has ended
}

int exitStatusAfter(int status, bool stopRequested)
{
    // A job done before the stop came has its result; only one the stop ended is "stopped".
    return status != kExitSuccess && stopRequested ? kExitStopped : status;
}

} // namespace parcelo::cli
