#include "join/join_command.h"

#include "compress/compression_adapter.h"
#include "compress/piece_archive.h"
#include "compress/zip_reader.h"
#include "compress/zlib_tool.h"
#include "format/set_pieces.h"
#include "format/split_set.h"
#include "integrity/join_script.h"
#include "join/join_repair.h"
#include "join/join_start.h"
#include "join/mod_join_file.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/password.h"
#include "platform/paths.h"
#include "platform/recent_files.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"

#include <optional>

namespace parcelo {

namespace {

// What became of the decompression of the joined file.
struct Decompression {
    std::string joined; // the file the join wrote
    std::string result; // the file the user gets: the decompressed one when it was made
    std::string suffix; // " and decompressed" when it was
    std::string note;   // a notice of the success message when it was not, and why
    std::optional<RunError> failure; // it failed: the joined file is kept, the join failed
    bool stopped = false; // stopped by the user: the joined file is gone, the pieces stay
    bool refused = false; // no right password: the joined file is gone, the pieces stay
};

// The number of passwords a join tries on an encrypted archive before it gives up.
constexpr int kPasswordTries = 3;

std::string nothingWrittenLine()
{
    return std::string(CR) + "Nothing has been written and the pieces are kept.";
}

bool passwordFailure(const std::optional<RunError>& failure)
{
    const int number = failure ? failure->number() : 0;
    return number == kPasswordNeededNumber || number == kWrongPasswordNumber;
}

// Decompresses the joined archive; an encrypted one with a password the host is asked for,
// each wrong one told in the next question, kPasswordTries at most. A password the person
// does not give, or a wrong last one, fails the decompression with a sentence of its own.
// The password is wiped when the decompression ends.
bool decompressWithPassword(JoinServices& services, const std::string& joined, bool replace,
                            std::optional<RunError>& failure, File* stream = nullptr)
{
    CompressionAdapter& compressor = services.compressor;
    const std::string setName = GetFileNameFromPath(joined);
    Password password;
    int wrong = 0;
    for (;;) {
        compressor.SetPassword(password.empty() ? nullptr : &password);
        const bool done = compressor.decompress(joined, replace, stream);
        compressor.SetPassword(nullptr);
        failure = compressor.DecompressFailure();
        if (done || !passwordFailure(failure))
            return done;
        if (failure->number() == kWrongPasswordNumber && ++wrong == kPasswordTries)
            break;
        const int left = kPasswordTries - wrong;
        const std::string question =
            wrong == 0 ? "The pieces of " + setName
                             + " are encrypted. Type the password they were split with:"
                       : std::string(kWrongPasswordText) + CR + "Type the password of " + setName
                             + " again (" + std::to_string(left) + (left == 1 ? " try" : " tries")
                             + " left):";
        if (services.host.askPassword(question, password) != Answer::Ok || password.empty())
            break;
    }
    failure = RunError(failure->number(),
                       wrong > 0 ? std::string(kWrongPasswordText) + nothingWrittenLine()
                                 : "The pieces of " + setName
                                       + " are encrypted and no password was given."
                                       + nothingWrittenLine());
    return false;
}

// Decompresses a compressed joined file unless asked not to. The decompressed file goes
// into the destination folder under the joined file's name without its ".zip"; a name
// without one is left as joined. A failure keeps the joined file, except for a password
// that was wrong or not given: then the encrypted joined file goes too, and nothing is
// left of the join.
Decompression decompressIfAsked(const JoinRequest& request, JoinServices& services, bool replace)
{
    modJoinFile& engine = services.engine;
    Decompression d{engine.JoinedFilePath(), engine.JoinedFilePath(), {}, {}, {}};
    if (!engine.isCompressed() || request.keepCompressed) {
        if (engine.isCompressed() && setIsEncrypted(engine.PiecePath(1)))
            d.note = kEncryptedArchiveNote;
        return d;
    }
    const std::string target = DecompressedFileName(d.joined);
    if (target.empty()) {
        d.note = "It has not been decompressed: its name does not end in \".zip\".";
        return d;
    }
    try {
        if (!decompressWithPassword(services, d.joined, replace, d.failure)) {
            d.refused = passwordFailure(d.failure);
            if (d.refused)
                removeFileQuietly(d.joined);
            if (!d.failure)
                d.failure = ZlibToolError("The file " + d.joined + " cannot be decompressed.");
            return d;
        }
    } catch (const JobStopped&) {
        removeFileQuietly(d.joined);
        d.stopped = true;
        return d;
    }
    removeFileQuietly(d.joined);
    d.result = target;
    d.suffix = " and decompressed";
    return d;
}

// A compressed set's archive read straight from its pieces, without a joined file: the
// pieces of a byte set in a folder, holding one file that libzip is not needed for.
struct DirectArchive {
    bool used = false; // the set is decompressed from its pieces
    std::optional<PieceArchive> archive;
    std::optional<RunError> damaged; // why its archive cannot be read
};

DirectArchive directArchive(const modJoinFile& engine)
{
    if (engine.LineSet() || isDiskettePath(engine.PiecePath(1)))
        return {};
    const std::uint64_t header = engine.PlainSet() ? 0 : kPieceHeaderSize;
    std::vector<PieceData> pieces;
    try {
        for (int i = 1; i <= engine.PieceCount(); ++i) {
            const std::string path = engine.PiecePath(i);
            const std::uint64_t size = fileLength(path);
            if (size < header)
                return {}; // the join tells what is wrong with the piece
            pieces.push_back({path, header, size - header});
        }
        std::optional<PieceArchive> archive = openPieceArchive(std::move(pieces));
        const bool used = archive.has_value();
        return {used, std::move(archive), {}};
    } catch (const ZlibToolError& e) {
        return {true, std::nullopt, e};
    } catch (const RunError&) {
        return {}; // a piece that cannot be read: the join tells
    }
}

// Starts the decompression into the decompressed file while the pieces are checked: it
// takes its name only once they pass. One that cannot start now is made after the checks,
// which then tell why.
void startEarly(DirectArchive& direct, const std::string& target)
{
    if (!direct.archive)
        return;
    try {
        startExtractionFromPieces(*direct.archive, target);
    } catch (const RunError&) {
        direct.archive->early.reset();
    }
}

// Decompresses a set's archive straight from its pieces into its decompressed file (or the
// stream): the reason when that failed. A stop is thrown on.
std::optional<RunError> decompressPieces(JoinServices& services, DirectArchive& direct,
                                         bool replace, File* stream = nullptr)
{
    if (direct.damaged)
        return direct.damaged;
    CompressionAdapter& compressor = services.compressor;
    struct Release {
        CompressionAdapter& compressor;
        ~Release() { compressor.SetSourcePieces(nullptr); }
    } release{compressor};
    compressor.SetSourcePieces(&*direct.archive);
    const std::string joined = services.engine.JoinedFilePath();
    if (compressor.decompress(joined, replace, stream))
        return std::nullopt;
    if (compressor.DecompressFailure())
        return compressor.DecompressFailure();
    return ZlibToolError("The file " + joined + " cannot be decompressed.");
}

// The decompression of a set read straight from its pieces: a failure writes nothing and
// keeps the pieces.
Decompression decompressFromPieces(JoinServices& services, DirectArchive& direct, bool replace)
{
    const std::string joined = services.engine.JoinedFilePath();
    Decompression d{joined, joined, {}, {}, {}};
    try {
        if (const auto failure = decompressPieces(services, direct, replace)) {
            d.refused = true;
            d.failure = RunError(failure->number(), failure->description() + nothingWrittenLine());
            return d;
        }
    } catch (const JobStopped&) {
        d.stopped = true;
        return d;
    }
    d.result = DecompressedFileName(joined);
    d.suffix = " and decompressed";
    return d;
}

// The size of the file a compressed set's archive declares (in its first piece) when the
// join will decompress it; 0 otherwise, or when it is not known.
std::uint64_t decompressedBytes(const JoinRequest& request, const modJoinFile& engine)
{
    const std::string first = engine.PiecePath(1);
    if (request.keepCompressed || DecompressedFileName(engine.JoinedFilePath()).empty()
        || isDiskettePath(first))
        return 0;
    try {
        File piece(first, File::Mode::Read);
        const bool compressed = engine.PlainSet() ? engine.isCompressed()
                                                  : readPieceHeaderZeroFilled(piece).isCompressed();
        if (!compressed)
            return 0;
        return declaredEntry(piece, engine.JoinedBytes()).size;
    } catch (const RunError&) {
        return 0; // the join tells what is wrong with the piece
    }
}

// The file a decompression of the set will make, when it will make one.
std::string decompressedPathOf(const JoinRequest& request, const modJoinFile& engine)
{
    if (request.keepCompressed || !pickedPieceCompressed(engine.SourceFile()))
        return {};
    return DecompressedFileName(engine.JoinedFilePath());
}

std::string decompressionFailedText(const Decompression& d)
{
    return "The file: " + d.joined + CR
           + " has been created from all split files, but it could not be decompressed and "
             "has been kept."
           + CR + d.failure->description();
}

// The refusal of a request the join cannot start from, or nothing when the engine holds
// its source and destination.
std::optional<CommandOutcome> refuseToStart(JoinRequest& request, JoinServices& services)
{
    const JoinStart start =
        startJoin(request.piecePath, request.destinationFolder, services.engine, services.host);
    if (start.ready)
        return std::nullopt;
    return CommandOutcome{false, start.focus, {}};
}

} // namespace

bool setIsEncrypted(const std::string& anyPiece)
{
    const std::string first = RemoveFileExtension(anyPiece) + SplitFileExtension(1);
    if (isDiskettePath(first))
        return false;
    try {
        File piece(first, File::Mode::Read);
        if (!readPieceHeaderZeroFilled(piece).isCompressed())
            return false;
        return declaredEntry(piece, piece.size()).encrypted;
    } catch (const RunError&) {
        return false; // the join tells what is wrong with the piece
    }
}

CommandOutcome joinCommand(JoinRequest& request, JoinServices& services)
{
    if (auto refused = refuseToStart(request, services))
        return *refused;
    Host& host = services.host;
    modJoinFile& engine = services.engine;

    services.recentFiles.AddRecentFile(request.piecePath, "Joined");
    if (FileListBinding* list = asFileList(services.pane.fileList))
        list->clear();
    offerJoinFolder(services.exploreMenu, request.destinationFolder);
    // A set decompressed straight from its pieces makes no joined file: that file is asked
    // about once the set is known to need one.
    const bool decompressing = !decompressedPathOf(request, engine).empty();
    const JoinReplacing replacing =
        askBeforeReplacing(engine, host, decompressedPathOf(request, engine), !decompressing);
    if (!replacing.go)
        return {};
    engine.SetProgressBar(services.pane.progressBar);
    engine.SetStatusLabel(services.pane.statusLabel);
    engine.SetFileList(services.pane.fileList);

    const JoinRepair repair = repairBeforeJoin(engine, host);
    if (!repair.ok || !locateSet(engine, host))
        return {};

    DirectArchive direct = decompressing ? directArchive(engine) : DirectArchive{};
    if (decompressing && !direct.used && !askBeforeReplacingJoined(engine, host))
        return {};
    host.setBusy(true);
    Decompression d;
    if (direct.used) {
        startEarly(direct, DecompressedFileName(engine.JoinedFilePath()));
        engine.CheckSplitFiles();
        if (engine.ErrorFlag() == 0)
            d = decompressFromPieces(services, direct, replacing.decompressed);
        if (direct.archive)
            direct.archive->early.reset(); // stopped, and its temporary removed
    } else {
        engine.SetRoomAfterJoin(decompressedBytes(request, engine));
        engine.JoinSplitFiles();
        if (engine.ErrorFlag() == 0)
            d = decompressIfAsked(request, services, replacing.decompressed);
    }
    host.setBusy(false);
    engine.FinishJoin();
    engine.SetSourceFile(request.piecePath); // the user's pieces, not a repair folder's links

    if (engine.ErrorFlag() != 0) {
        reportFailure(host, joinErrorText(engine) + repairReport(repair));
        return {};
    }
    if (d.stopped) {
        reportFailure(host, kCancelledByUser);
        return {};
    }
    if (d.refused) {
        reportFailure(host, d.failure->description());
        return {};
    }
    // The pieces stay: the joined file is all the user has of the set.
    if (d.failure) {
        host.message(Question::Notice, decompressionFailedText(d), Buttons::Ok, Icon::Critical);
        return {false, {}, d.joined};
    }

    if (LabelBinding* label = asLabel(services.pane.statusLabel))
        label->setCaption("Completed joining files.");
    std::vector<std::string> notices;
    for (const std::string& notice : {d.note, engine.ChecksumNotice()})
        if (!notice.empty())
            notices.push_back(notice);
    for (std::string& notice : repairNotices(repair))
        notices.push_back(std::move(notice));
    std::string text = joinSucceededText(d.result, d.suffix);
    for (const std::string& notice : notices)
        text += CR + notice;
    host.showOutcome(text, request.destinationFolder);
    if (ProgressBarBinding* bar = asProgressBar(services.pane.progressBar))
        bar->setVisible(false);
    if (request.deletePiecesAfter) {
        engine.SetConfirmDelete(true);
        engine.DeleteBrokenFiles();
    }
    return {true, {}, d.result, notices};
}

CommandOutcome joinIntoStreamCommand(JoinRequest& request, JoinServices& services, File& stream)
{
    if (auto refused = refuseToStart(request, services))
        return *refused;
    Host& host = services.host;
    modJoinFile& engine = services.engine;
    const JoinRepair repair = repairBeforeJoin(engine, host);
    if (!repair.ok || !locateSet(engine, host))
        return {};
    // A compressed set is decompressed into the stream straight from its pieces once they
    // pass their checks; one libzip reads is joined into the scratch folder first.
    const bool decompress = !request.keepCompressed && pickedPieceCompressed(engine.SourceFile());
    DirectArchive direct = decompress ? directArchive(engine) : DirectArchive{};
    std::optional<RunError> failure;
    bool stopped = false;
    if (direct.used) {
        engine.CheckSplitFiles();
        try {
            if (engine.ErrorFlag() == 0)
                failure = decompressPieces(services, direct, false, &stream);
        } catch (const JobStopped&) {
            stopped = true;
        }
    } else {
        engine.SetStreamTarget(decompress ? nullptr : &stream);
        engine.JoinSplitFiles();
        engine.SetStreamTarget(nullptr);
    }
    if (engine.ErrorFlag() == 0 && decompress && !direct.used) {
        try {
            if (!decompressWithPassword(services, engine.JoinedFilePath(), false, failure, &stream)
                && !failure)
                failure = ZlibToolError("The file " + engine.JoinedFilePath()
                                        + " cannot be decompressed.");
        } catch (const JobStopped&) {
            stopped = true;
        }
    }
    engine.FinishJoin();
    engine.SetSourceFile(request.piecePath);
    if (engine.ErrorFlag() != 0 || stopped || failure) {
        reportFailure(host, engine.ErrorFlag() != 0 ? joinErrorText(engine) + repairReport(repair)
                            : stopped               ? std::string(kCancelledByUser)
                                                    : failure->description());
        return {};
    }
    std::vector<std::string> notices = repairNotices(repair);
    if (!engine.ChecksumNotice().empty())
        notices.insert(notices.begin(), engine.ChecksumNotice());
    return {true, {}, {}, notices};
}

void clearJoinCommand(JoinRequest& request, const PaneBindings& bindings)
{
    request.piecePath.clear();
    request.destinationFolder.clear();
    clearPaneDisplay(bindings);
}

} // namespace parcelo
