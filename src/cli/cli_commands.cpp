#include "cli/cli_commands.h"

#include "app/password_strength.h"
#include "cli/cli_repair.h"
#include "cli/password_input.h"
#include "cli/session.h"
#include "cli/standard_streams.h"
#include "integrity/checksum_file.h"
#include "integrity/join_script.h"
#include "integrity/set_checksums.h"
#include "join/join_start.h"
#include "platform/durability.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"
#include "platform/stop_token.h"
#include "recovery/recovery.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace parcelo::cli {

namespace {

SplitRequest splitRequest(const Arguments& a)
{
    SplitRequest request;
    if (a.source == "-")
        request.streamName = a.name;
    else
        request.sourcePath = a.source;
    request.destinationFolder = a.destination;
    request.compressFirst = a.compress || a.verb == Verb::Compress;
    request.deleteSourceAfter = a.deleteSource;
    request.plainPieces = a.plain;
    request.skipUnreadable = a.skipUnreadable;
    request.recoveryCount = a.recovery;
    request.mode = a.mode == SplitMode::Pieces   ? parcelo::SplitMode::ByPieces
                   : a.mode == SplitMode::Preset ? parcelo::SplitMode::ByPreset
                                                 : parcelo::SplitMode::BySize;
    request.presetIndex = a.presetIndex;
    if (a.mode == SplitMode::Pieces)
        request.pieceCount = a.sizeText;
    else
        request.pieceSize = a.sizeText;
    if (a.unit)
        request.sizeUnit = *a.unit;
    return request;
}

bool givesPassword(const Arguments& a)
{
    return !a.passwordFile.empty() || a.passwordPrompt;
}

// The password of --password-file, or typed at --password-prompt (twice: the split command
// checks that the two are the same); a weak one is said, never refused. False, with the
// error said, when there is none.
bool readSplitPassword(const Arguments& a, ConsoleHost& host, SplitRequest& request)
{
    request.encrypt = true;
    if (!a.passwordFile.empty()) {
        try {
            request.password = passwordFromFile(a.passwordFile);
        } catch (const RunError& error) {
            host.error(error.description());
            return false;
        }
        request.passwordAgain = request.password;
    } else if (!host.readPassword("Password: ", request.password)
               || !host.readPassword("Password again: ", request.passwordAgain)) {
        host.error("--password-prompt needs a password typed on a terminal");
        return false;
    }
    if (const PasswordHint hint = passwordHint(request.password.view()); hint.weak)
        host.notice(hint.text + ". " + kPassphraseAdvice);
    return true;
}

// Where a join gets the password of an encrypted set: --password-file, else the terminal.
// False, with the error said, when the file cannot give one, or when the set is encrypted,
// is to be decompressed and nobody can type its password: refused before anything is
// joined.
bool readJoinPassword(const Arguments& a, ConsoleHost& host)
{
    if (!a.passwordFile.empty()) {
        try {
            host.setGivenPassword(passwordFromFile(a.passwordFile));
        } catch (const RunError& error) {
            host.error(error.description());
            return false;
        }
    }
    if (a.noDecompress || host.canAskPassword() || !setIsEncrypted(a.source))
        return true;
    host.error("The pieces of " + GetFileNameFromPath(RemoveFileExtension(a.source))
               + " are encrypted and no password can be asked for: give it with --password-file "
                 "FILE, or run parcelo-cli on a terminal to type it.");
    return false;
}

std::string counted(std::size_t count, const std::string& what)
{
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

// "a", "a and b", "a, b and c".
std::string listed(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

// What the split wrote beside its pieces, recognised by content: what an earlier split of
// the name left is gone once a split succeeds, and a user's file is never one of them.
std::vector<std::string> companionsBeside(const std::string& setBase)
{
    std::vector<std::string> found;
    const std::string checksums = checksumFilePath(setBase);
    if (isOwnChecksumFile(checksums, GetFileNameFromPath(setBase)))
        found.push_back(GetFileNameFromPath(checksums));
    int recovery = 0;
    for (RecoveryHeader header; readRecoveryHeader(recoveryPieceName(setBase, recovery + 1), header)
                                == HeaderCheck::Sound;)
        ++recovery;
    if (recovery > 0)
        found.push_back(counted(static_cast<std::size_t>(recovery), "recovery piece"));
    const auto scripts = joinScriptPaths(setBase);
    if (std::all_of(scripts.begin(), scripts.end(), isOwnJoinScript))
        found.emplace_back("join scripts");
    return found;
}

// "wrote 4 pieces of up to 29.3 KB to p/ (data.bin.001 ... data.bin.004) plus
// data.bin.sha256, 2 recovery pieces and join scripts".
std::string splitResult(const Arguments& a, const std::string& destination,
                        const CollectedFiles& files)
{
    std::vector<std::string> pieces;
    for (const auto& row : files.rows)
        if (endsInPieceNumber(row.first))
            pieces.push_back(row.first);
    if (pieces.empty())
        return "wrote nothing";
    const bool compressed = a.compress || a.verb == Verb::Compress || givesPassword(a);
    const bool folder = a.source != "-" && folderExists(a.source);
    const std::string how = givesPassword(a) ? "compressed, encrypted and "
                            : compressed     ? "compressed and "
                                             : "";
    std::string text =
        (folder ? "packed the folder" + std::string(how.empty() ? " and " : ", ") : std::string())
        + how + "wrote " + counted(pieces.size(), a.plain ? "plain piece" : "piece");
    if (const std::string size = sizeText(pieces.front()); !size.empty())
        text += (pieces.size() == 1 ? " of " : " of up to ") + size;
    const std::string first = GetFileNameFromPath(pieces.front());
    const std::string last = GetFileNameFromPath(pieces.back());
    text += " to " + destination + " (" + first
            + (pieces.size() == 1   ? ""
               : pieces.size() == 2 ? ", " + last
                                    : " ... " + last)
            + ")";
    const std::vector<std::string> companions =
        companionsBeside(RemoveFileExtension(pieces.front()));
    return companions.empty() ? text : text + " plus " + listed(companions);
}

int split(const Arguments& a)
{
    Session s(a);
    s.engines.splitEngine().SetCompanions({!a.noChecksums, !a.noJoinScript});
    SplitRequest request = splitRequest(a);
    if (givesPassword(a) && !readSplitPassword(a, s.host, request))
        return kExitFailure;
    SplitServices services = s.engines.splitServices(s.recentFiles, s.exploreMenu);
    const CommandOutcome outcome = a.verb == Verb::Compress ? compressOnlyCommand(request, services)
                                                            : splitCommand(request, services);
    const std::string result =
        outcome.succeeded ? splitResult(a, request.destinationFolder, s.files) : std::string();
    finish(s.host, outcome.succeeded, result, outcome.notices);
    return outcome.succeeded ? kExitSuccess : kExitFailure;
}

// "joined 4 pieces into j/data.bin (97.7 KB); checked 4 pieces against data.bin.sha256".
std::string joinResult(modJoinFile& engine, const std::string& produced, bool decompressed,
                       const std::string& size)
{
    const auto pieces = static_cast<std::size_t>(engine.PieceCount());
    std::string text =
        "joined " + counted(pieces, engine.PlainSet() ? "plain piece" : "piece")
        + (decompressed ? (pieces == 1 ? " and decompressed it" : " and decompressed them") : "")
        + " into " + produced;
    if (!size.empty())
        text += " (" + size + ")";
    return engine.ChecksumNote().empty() ? text : text + "; " + engine.ChecksumNote();
}

// "-" for the destination: the joined bytes go to standard output, everything else to
// standard error; a reader that went away ends the join quietly.
int joinIntoStandardOutput(const Arguments& a, Session& s)
{
    s.host.setResultsOnStandardError(true);
    try {
        EnsureFolderExists(scratchFolder());
        const std::string stem = scratchFolder() + kSeparator + "parcelo-join";
        removeStaleTemporaries(stem); // what a killed run left
        const TemporaryFolder scratch(stem);
        JoinRequest request{a.source, scratch.path(), a.noDecompress, false};
        JoinServices services = s.engines.joinServices(s.recentFiles, s.exploreMenu);
        File out = File::adopt(::dup(STDOUT_FILENO), "standard output");
        const bool decompressed = !a.noDecompress && pickedPieceCompressed(a.source);
        const CommandOutcome outcome = joinIntoStreamCommand(request, services, out);
        if (!outcome.succeeded && standardOutputClosed())
            return kExitFailure;
        finish(s.host, outcome.succeeded,
               outcome.succeeded
                   ? joinResult(s.engines.joinEngine(), "standard output", decompressed, {})
                   : "",
               outcome.notices);
        return outcome.succeeded ? kExitSuccess : kExitFailure;
    } catch (const RunError& error) {
        s.host.error(error.description());
        return kExitFailure;
    }
}

int join(const Arguments& a)
{
    Session s(a);
    if (a.destination == "-") {
        if (!readJoinPassword(a, s.host))
            return kExitFailure;
        return joinIntoStandardOutput(a, s);
    }
    s.host.setReplaceFiles(a.force);
    s.host.setJoinPlain(a.plain);
    if (!readJoinPassword(a, s.host))
        return kExitFailure;
    JoinRequest request{a.source, a.destination, a.noDecompress, a.deletePieces};
    JoinServices services = s.engines.joinServices(s.recentFiles, s.exploreMenu);
    const CommandOutcome outcome = joinCommand(request, services);
    const std::string result =
        outcome.succeeded
            ? joinResult(s.engines.joinEngine(), outcome.producedFile,
                         outcome.producedFile != s.engines.joinEngine().JoinedFilePath(),
                         sizeText(outcome.producedFile))
            : "";
    finish(s.host, outcome.succeeded, result, outcome.notices);
    if (!outcome.succeeded && s.engines.joinEngine().PlainOfferDeclined())
        s.host.error("use --plain to join it as plain pieces");
    return outcome.succeeded ? kExitSuccess : kExitFailure;
}

// A file's state as sha256sum -c words it.
const char* stateWord(PieceState state)
{
    return state == PieceState::Damaged ? "FAILED" : pieceStateWord(state);
}

int exitStatusOf(SetOutlook outlook)
{
    switch (outlook) {
    case SetOutlook::Intact:
        return kExitSuccess;
    case SetOutlook::Repairable:
        return kExitRepairable;
    case SetOutlook::NotRepairable:
        break;
    }
    return kExitNotRepairable;
}

// verify --set: each file of the set with its state, then the set's verdict; the check's
// own message says no more than they do. Without them (no set was read) it is the result.
int verifySet(Session& s, const CommandOutcome& outcome, const ChecksumReport& checksums,
              const RepairOutlook& outlook)
{
    if (outlook.verdict.empty() || checksums.pieces.empty()) {
        finish(s.host, outcome.succeeded, {});
        return outcome.succeeded ? kExitSuccess : kExitFailure;
    }
    std::vector<HeldMessage> held = s.host.takeMessages();
    held.pop_back(); // the check's verdict message
    for (const HeldMessage& message : held) {
        if (message.failure)
            s.host.error(message.text);
        else
            s.host.notice(message.text);
    }
    for (const std::string& notice : {checksums.notice(), outlook.notice})
        if (!notice.empty())
            s.host.notice(notice);
    for (const ChecksumReport::Piece& piece : checksums.pieces)
        s.host.output(piece.path + ": " + stateWord(piece.state));
    s.host.result("the set " + outlook.verdict);
    return exitStatusOf(outlook.state);
}

int verify(const Arguments& a)
{
    Session s(a);
    ChecksumReport checksums;
    RepairOutlook outlook;
    VerifyRequest request{a.source};
    VerifyServices services = s.engines.verifyServices(s.recentFiles);
    services.checksums = &checksums;
    services.outlook = &outlook;
    if (a.wholeSet)
        return verifySet(s, verifySetCommand(request, services), checksums, outlook);
    const CommandOutcome outcome = verifyFileCommand(request, services);
    finish(s.host, outcome.succeeded, {});
    return outcome.succeeded ? kExitSuccess : kExitFailure;
}

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
