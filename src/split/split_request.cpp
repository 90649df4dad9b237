#include "split/split_request.h"

#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "format/file_list.h"
#include "format/numbers.h"
#include "format/split_choices.h"
#include "format/split_set.h"
#include "integrity/set_companions.h"
#include "integrity/sha256.h"
#include "platform/diskette.h"
#include "platform/durability.h"
#include "platform/file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/recent_files.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"
#include "platform/stop_token.h"
#include "split/mod_split_file.h"
#include "split/single_piece.h"
#include "split/split_messages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace parcelo {

namespace {

// How the file is cut, as the request asked for it.
struct SizeChoice {
    bool byPieces = false;
    std::int64_t pieces = 0;
    double splitSize = 0;                // in `unit`
    SizeUnit unit = SizeUnit::Megabytes; // the engine's
    std::string sizeText;                // the size as the outcome message names it
    std::optional<SizeUnit> sizeUnit;    // the unit of sizeText when it is not the engine's
    double requestedBytes = 0;           // for the single-piece shortcut
};

struct Request {
    SplitRequest& request;
    SplitServices& services;
    std::string source;
    std::string destination;
    bool tempCompressed = false; // the compressed file goes to the Temp folder
    std::string fileToSplit;
    bool compressed = false;               // fileToSplit is a compressed file this request made
    bool folder = false;                   // the source is a folder, packed into an archive
    std::vector<std::string> packed = {};  // what packing the folder left out
    std::string firstPiece;                // of the set written
    std::vector<std::string> notices = {}; // the companions left out, after a split
};

CommandOutcome refuse(Host& host, const std::string& text, RequestField focus)
{
    host.message(Question::Notice, text, Buttons::Ok, Icon::Critical);
    return {false, focus, {}};
}

bool endsWithPathMark(const std::string& path)
{
    return !path.empty() && (path.back() == '\\' || path.back() == ':' || path.back() == '/');
}

// The source is packed or compressed into an archive before it is split.
bool compresses(const Request& r)
{
    return r.request.compressFirst || r.request.encrypt || r.folder;
}

// A split of standard input: nothing that needs the data's size or all of it first.
std::optional<CommandOutcome> checkStream(Request& r)
{
    Host& host = r.services.host;
    r.source = split_text::kStandardInput;
    if (r.request.mode == SplitMode::ByPieces)
        return refuse(host, split_text::kStreamByPieces, RequestField::PieceCount);
    if (r.request.compressFirst || r.request.encrypt)
        return refuse(host, split_text::kStreamCompressed, RequestField::CompressFirst);
    if (isDiskettePath(r.destination))
        return refuse(host, split_text::kStreamOnDiskettes, RequestField::DestinationFolder);
    return std::nullopt;
}

// Steps up to the mode: the boxes are filled, repaired and name things that exist.
std::optional<CommandOutcome> checkPaths(Request& r)
{
    Host& host = r.services.host;
    const bool stream = !r.request.streamName.empty();
    if (r.request.sourcePath.empty() && !stream)
        return refuse(host, "Please select a file to split/compress.", RequestField::SourcePath);
    r.request.sourcePath = repairPathColon(r.request.sourcePath);
    if (r.request.destinationFolder.empty())
        return refuse(host, "Please specify the folder where you want to save the generated files.",
                      RequestField::DestinationFolder);
    r.request.destinationFolder =
        withTrailingSeparator(repairPathColon(r.request.destinationFolder));
    r.source = r.request.sourcePath;
    r.destination = r.request.destinationFolder;
    if (stream) {
        if (auto refused = checkStream(r))
            return refused;
    } else {
        r.folder = folderExists(r.source);
        while (r.folder && r.source.size() > 1 && r.source.back() == '/')
            r.source.pop_back();
        r.tempCompressed = isDiskettePath(r.destination) && compresses(r);
        if (endsWithPathMark(r.source))
            return refuse(host, "Please enter a valid file name to continue with this operation.",
                          RequestField::SourcePath);
        if (!r.folder && !fileExists(r.source))
            return refuse(host, fileNotLocatedText(r.source), RequestField::SourcePath);
    }
    if (!isDiskettePath(r.destination) && !folderExists(r.destination))
        return refuse(host, folderNotLocatedText(r.destination), RequestField::DestinationFolder);
    return std::nullopt;
}

// An encrypted split needs a password typed the same twice; it is always compressed.
std::optional<CommandOutcome> checkPassword(Request& r)
{
    if (!r.request.encrypt)
        return std::nullopt;
    if (r.request.password.empty())
        return refuse(r.services.host, "Please type the password to encrypt the pieces with.",
                      RequestField::Password);
    if (!(r.request.password == r.request.passwordAgain))
        return refuse(r.services.host,
                      "The two passwords are not the same. Please type the same password twice.",
                      RequestField::PasswordAgain);
    r.request.compressFirst = true;
    return std::nullopt;
}

// Lends the request's password to the compressor for the length of the command, then
// wipes it.
class PasswordLoan {
public:
    explicit PasswordLoan(Request& r) : r_(r)
    {
        r_.services.compressor.SetPassword(r_.request.encrypt ? &r_.request.password : nullptr);
    }
    ~PasswordLoan()
    {
        r_.services.compressor.SetPassword(nullptr);
        r_.request.password.clear();
        r_.request.passwordAgain.clear();
    }
    PasswordLoan(const PasswordLoan&) = delete;
    PasswordLoan& operator=(const PasswordLoan&) = delete;

private:
    Request& r_;
};

std::optional<CommandOutcome> choosePieces(Request& r, SizeChoice& choice)
{
    const auto number = parseNumber(r.request.pieceCount);
    if (!number)
        return refuse(r.services.host, "Please enter a valid value for number of pieces!",
                      RequestField::PieceCount);
    const double whole = std::trunc(*number);
    if (whole < 1)
        return refuse(r.services.host, "Number of pieces should be more than zero!",
                      RequestField::PieceCount);
    choice.byPieces = true;
    choice.pieces = static_cast<std::int64_t>(std::min(whole, 1e18));
    return std::nullopt;
}

std::optional<CommandOutcome> chooseTypedSize(Request& r, SizeChoice& choice)
{
    Host& host = r.services.host;
    const auto number = parseNumber(r.request.pieceSize);
    if (!number || std::trunc(*number) < 0)
        return refuse(host, "Please enter a valid value for the size of split file(s)!",
                      RequestField::PieceSize);
    choice.unit = r.request.sizeUnit;
    if (choice.unit == SizeUnit::Lines) {
        if (r.request.plainPieces)
            return refuse(host, split_text::kPlainByLines, RequestField::PlainPieces);
        if (r.request.encrypt)
            return refuse(host, split_text::kEncryptByLines, RequestField::Encrypt);
        if (r.folder)
            return refuse(host, split_text::kFolderByLines, RequestField::SourcePath);
        if (r.request.compressFirst)
            return refuse(host,
                          std::string("You can not compress file if you want it to be split by "
                                      "number of lines.")
                              + LF + "Please uncheck 'Compress before Splitting' to continue.",
                          RequestField::CompressFirst);
        host.message(Question::Notice,
                     std::string("Please note that splitting files by number of lines is "
                                 "successful only for text files. e.g. *.txt, *.xml, *.dat etc..")
                         + LF + "It may not work for other types of files.",
                     Buttons::Ok, Icon::Information, std::string("Warning: ") + kProductName);
    }
    choice.splitSize = *number;
    choice.sizeText = numberText(*number);
    choice.requestedBytes = std::trunc(*number) * bytesPerUnit(choice.unit);
    return std::nullopt;
}

// A preset of piece files says exactly how many bytes of data each piece holds; its unit
// still shows the sizes in the list (the bytes divided by a power of two and multiplied
// back by the engine are the same bytes).
void choosePreset(const Request& r, SizeChoice& choice)
{
    const SizePreset& preset = presetAt(r.request.presetIndex);
    choice.unit = preset.unit;
    choice.requestedBytes = presetDataBytes(preset, r.request.plainPieces);
    if (preset.fileBytes == 0) {
        choice.splitSize = preset.size;
        choice.sizeText = numberText(preset.size);
        return;
    }
    choice.splitSize = choice.requestedBytes / bytesPerUnit(preset.unit);
    choice.sizeText = numberText(choice.requestedBytes);
    choice.sizeUnit = SizeUnit::Bytes;
}

// The size of each piece when the file is cut into a number of pieces.
void sizeForPieces(std::uint64_t length, SizeChoice& choice)
{
    const auto count = static_cast<std::uint64_t>(choice.pieces);
    const std::uint64_t roundedUp = length / count + (length % count != 0 ? 1 : 0);
    const auto pieceBytes = static_cast<double>(roundedUp);
    if (pieceBytes < 1e3)
        choice.unit = SizeUnit::Bytes;
    else if (pieceBytes < 1e6)
        choice.unit = SizeUnit::Kilobytes;
    else if (pieceBytes < 1e9)
        choice.unit = SizeUnit::Megabytes;
    else
        choice.unit = SizeUnit::Gigabytes;
    choice.sizeText = numberText(pieceBytes / bytesPerUnit(choice.unit));
    choice.splitSize = *parseNumber(choice.sizeText);
}

// The recovery pieces the request asks for, into the engine's companions; none for lines.
// Every piece is read to make them, so they cannot follow pieces onto diskettes.
std::optional<CommandOutcome> chooseRecovery(Request& r, const SizeChoice& choice)
{
    modSplitFile& engine = r.services.engine;
    CompanionOptions companions = engine.Companions();
    companions.recovery = 0;
    companions.recoveryPercent = false;
    const std::string& text = r.request.recoveryCount;
    if (choice.unit != SizeUnit::Lines && !text.empty()) {
        const std::optional<RecoveryChoice> recovery = parseRecoveryChoice(text);
        if (!recovery)
            return refuse(r.services.host,
                          "Recovery pieces takes a number of recovery pieces or a percentage, "
                          "such as 10%.",
                          RequestField::RecoveryCount);
        companions.recovery = recovery->count;
        companions.recoveryPercent = recovery->percent;
    }
    if (companions.recovery > 0 && isDiskettePath(r.destination))
        return refuse(r.services.host,
                      "Recovery pieces cannot be written onto diskettes: they are made from "
                      "every piece of the set, and the pieces are on other disks by then.",
                      RequestField::RecoveryCount);
    engine.SetCompanions(companions);
    return std::nullopt;
}

// Plain pieces are known by their checksum file alone, which would be on a disk of its
// own, away from the pieces.
std::optional<CommandOutcome> choosePlainPieces(Request& r)
{
    if (r.request.plainPieces && isDiskettePath(r.destination))
        return refuse(r.services.host, split_text::kPlainOnDiskettes, RequestField::PlainPieces);
    r.services.engine.setPlainPieces(r.request.plainPieces);
    return std::nullopt;
}

// Compresses the source when asked; afterwards r.fileToSplit names what is split. When
// no compressed file was made the source is split as it is, and nothing marks it as a
// temporary file.
void compressSource(Request& r)
{
    r.fileToSplit = r.source;
    if (!compresses(r))
        return;
    CompressionAdapter& compressor = r.services.compressor;
    compressor.SetDestFolder(r.destination);
    compressor.markTempCompressedFile(r.tempCompressed);
    compressor.SetStored(r.folder && !r.request.compressFirst && !r.request.encrypt);
    compressor.SetSkipUnreadable(r.request.skipUnreadable);
    const bool done = compressor.compress(r.source);
    compressor.SetStored(false);
    if (done) {
        r.fileToSplit = compressor.CompressedFileFor(r.source);
        r.compressed = true;
        if (r.folder)
            r.notices = r.packed = compressor.Packing().notices();
    } else {
        r.tempCompressed = false;
        // never split in the clear what was to be encrypted, nor a folder as a file
        if (r.request.encrypt || r.folder)
            r.fileToSplit.clear();
    }
}

// Splitting with compression must not overwrite a file the user already has.
std::optional<CommandOutcome> refuseExistingCompressedFile(Request& r)
{
    if (!compresses(r) || r.tempCompressed)
        return std::nullopt;
    CompressionAdapter& compressor = r.services.compressor;
    compressor.SetDestFolder(r.destination);
    compressor.markTempCompressedFile(r.tempCompressed);
    const std::string target = compressor.CompressedFileFor(r.source);
    if (!fileExists(target))
        return std::nullopt;
    return refuse(r.services.host,
                  "The file " + target
                      + " already exists. Compressing before splitting would replace it; please "
                        "move or rename it, or choose another destination folder.",
                  RequestField::DestinationFolder);
}

// How the set can be joined without Parcelo, as its companions allow.
std::string withoutParceloLine(const Request& r, const std::string& setName, int pieces,
                               const std::vector<std::string>& companions)
{
    const bool scripts = std::any_of(companions.begin(), companions.end(), [](const auto& path) {
        return companionKind(path) == FileRowKind::JoinScript;
    });
    const JoinScriptSet set{.name = setName,
                            .pieceCount = pieces,
                            .compressed = r.compressed,
                            .plain = r.request.plainPieces,
                            .encrypted = r.compressed && r.request.encrypt};
    const std::string text = joinWithoutParceloText(set, scripts);
    return text.empty() ? text : CR + text;
}

// The outcome of a split: what was written beside the pieces, how to join them without
// Parcelo, and a line for each companion that was left out.
std::string splitDoneText(const Request& r, const std::string& setName, int pieces,
                          const SizeChoice& choice, const std::vector<std::string>& companions,
                          const std::vector<std::string>& notices)
{
    const SizeUnit sizeUnit = choice.sizeUnit.value_or(choice.unit);
    std::string text = (r.folder ? "The folder " : "The file ") + r.source + " has been "
                       + (r.compressed ? "compressed and " : "") + "split into "
                       + std::to_string(pieces) + " files. " + CR + "Each file contains "
                       + choice.sizeText + " " + unitRow(sizeUnit).word + " or less.";
    if (r.compressed && r.request.encrypt)
        text += CR + split_text::kEncryptedOutcome;
    if (const std::string written = writtenSummary(pieces, companions); !written.empty())
        text += CR + written;
    if (choice.unit != SizeUnit::Lines)
        text += withoutParceloLine(r, setName, pieces, companions);
    for (const std::string& notice : notices)
        text += CR + notice;
    return text;
}

void showOutcome(Request& r, const SizeChoice& choice)
{
    modSplitFile& engine = r.services.engine;
    Host& host = r.services.host;
    LabelBinding* label = asLabel(r.services.pane.statusLabel);
    ProgressBarBinding* bar = asProgressBar(r.services.pane.progressBar);
    if (engine.Status() != 0) {
        reportFailure(host, engine.Status() == -1 ? engine.Message()
                                                  : "Error: " + std::to_string(engine.Status())
                                                        + " : " + engine.Message());
        if (bar)
            bar->setValue(0);
        return;
    }
    if (r.compressed) {
        if (label)
            label->setCaption("Completed compressing and splitting.");
    } else if (label) {
        label->setCaption("Completed splitting.");
    }
    r.notices = r.packed;
    r.notices.insert(r.notices.end(), engine.CompanionNotices().begin(),
                     engine.CompanionNotices().end());
    host.showOutcome(splitDoneText(r, engine.FileName(), engine.PieceCount(), choice,
                                   engine.CompanionFiles(), r.notices),
                     r.destination);
    if (bar)
        bar->setVisible(false);
}

bool runSplit(Request& r, const SizeChoice& choice)
{
    modSplitFile& engine = r.services.engine;
    if (r.request.streamName.empty())
        engine.SetSourceFile(r.fileToSplit);
    else
        engine.SetSourceStream(r.request.streamName);
    engine.SetDestFolder(r.destination);
    engine.SetSplitSize(choice.splitSize);
    engine.setSizeUnit(choice.unit);
    engine.SetSplitByPieces(choice.byPieces);
    engine.markTempCompressedFile(r.tempCompressed);
    engine.SetProgressBar(r.services.pane.progressBar);
    engine.SetStatusLabel(r.services.pane.statusLabel);
    engine.SetFileList(r.services.pane.fileList);
    r.services.host.setBusy(true);
    engine.SetStatus(0);
    engine.SetMessage("");
    engine.markCompressed(r.compressed);
    engine.markEncrypted(r.compressed && r.request.encrypt);
    engine.StartSplit();
    r.services.host.setBusy(false);
    r.firstPiece = pieceName(r.destination, engine.FileName(), 1);
    if (r.compressed)
        removeFileQuietly(r.fileToSplit); // this request's own: gone before the outcome shows
    r.services.compressor.ReleaseTemporaryFolder();
    showOutcome(r, choice);
    return engine.Status() == 0;
}

// True when the compressed file is sure to make one piece: one piece was asked for, or
// the piece size holds the source with room for the most a deflated archive can grow.
bool compressedFileFitsOnePiece(const Request& r, const SizeChoice& choice)
{
    if (choice.byPieces)
        return choice.pieces == 1;
    const double length = static_cast<double>(fileLength(r.source));
    const double archiveBound =
        length + length / 1000 + 4096 + 2.0 * static_cast<double>(r.source.size());
    return choice.requestedBytes + 100 >= archiveBound;
}

void showCompressedPieceError(SplitServices& services, const RunError& error)
{
    reportFailure(services.host,
                  "Error: " + std::to_string(error.number()) + " : " + error.description());
}

// An encrypted split whose compression failed splits nothing: the source is never cut
// into pieces in the clear.
bool refuseUnencrypted(Request& r)
{
    const std::optional<RunError>& failure = r.services.compressor.CompressFailure();
    showCompressedPieceError(r.services, failure.value_or(ZlibToolError(
                                             "The file " + r.source + " cannot be compressed.")));
    return false;
}

// The one piece's companions and the outcome, as a split of the compressed file into one
// piece gives them. False (after the message) when a companion could not be written;
// then the piece is gone too.
bool finishCompressedPiece(Request& r, SizeChoice& choice, const std::string& piece)
{
    SplitServices& services = r.services;
    modSplitFile& engine = services.engine;
    const std::uint64_t archiveLength = fileLength(piece) - kPieceHeaderSize;
    if (!choice.byPieces) {
        showStoredPiece(r.source, piece, archiveLength, services);
        return true;
    }
    sizeForPieces(archiveLength, choice);
    const std::string name = GetFileNameFromPath(piece);
    std::vector<std::string>& notices = r.notices;
    std::vector<std::string> written;
    try {
        DurableJob durable;
        CompanionWork work;
        work.afterStripe = [&services] { services.host.processEvents(); };
        const std::string setName = RemoveFileExtension(name);
        PreparedCompanions companions = prepareSetCompanions(
            r.destination,
            {.name = setName, .pieceCount = 1, .compressed = true, .encrypted = r.request.encrypt},
            {{name, sha256OfFile(piece), {}}}, engine.Companions(), work);
        SafeOutput::syncAll({companions.files});
        commitSetCompanions(r.destination + setName, companions);
        notices = std::move(companions.notices);
        written = committedCompanions(companions);
        durable.syncFolders();
    } catch (const RunError& error) {
        removeFileQuietly(piece);
        showCompressedPieceError(services, error);
        return false;
    } catch (const JobStopped&) {
        removeFileQuietly(piece); // the split's cancel follows
        throw;
    }
    engine.setSizeUnit(choice.unit);
    AddFileToList(services.pane.fileList, piece, static_cast<double>(archiveLength),
                  engine.displayUnit());
    listCompanions(services.pane.fileList, written, engine.displayUnit());
    if (LabelBinding* label = asLabel(services.pane.statusLabel))
        label->setCaption("Completed compressing and splitting.");
    services.host.showOutcome(
        splitDoneText(r, RemoveFileExtension(name), 1, choice, written, notices), r.destination);
    if (ProgressBarBinding* bar = asProgressBar(services.pane.progressBar))
        bar->setVisible(false);
    return true;
}

// A compressed file that is sure to make one piece is written once, straight after the
// piece header, instead of as an archive that is then copied into the piece. Returns
// nullopt when that does not apply or the compression failed (r.fileToSplit is then the
// source, to be split as it is); else whether the piece was made.
std::optional<bool> compressStraightIntoPiece(Request& r, SizeChoice& choice)
{
    if (!r.request.compressFirst || r.folder || r.tempCompressed || r.request.plainPieces
        || !compressedFileFitsOnePiece(r, choice))
        return std::nullopt;
    try {
        if (choice.byPieces) // the one piece gets the companions: refused before it is made
            checkRecoveryFor(r.services.engine.Companions(), 1);
    } catch (const RunError& error) {
        showCompressedPieceError(r.services, error);
        return false;
    }
    CompressionAdapter& compressor = r.services.compressor;
    compressor.SetDestFolder(r.destination);
    compressor.markTempCompressedFile(false);
    const std::string piece = compressor.CompressedFileFor(r.source) + SplitFileExtension(1);
    r.firstPiece = piece;
    const auto header = encodePieceHeader({PieceSignatureCompressed, 1, 1});
    r.services.engine.SetStatus(0);
    r.services.engine.SetMessage("");
    if (!compressor.compressInto(r.source, piece, std::string(header.begin(), header.end()))) {
        if (r.request.encrypt)
            return refuseUnencrypted(r);
        r.fileToSplit = r.source;
        return std::nullopt;
    }
    r.compressed = true;
    return finishCompressedPiece(r, choice, piece);
}

// Compresses the source first when asked (unless that already failed) and splits what
// there is to split; a compressed file that fits is stored as the one piece.
bool compressAndSplit(Request& r, SizeChoice& choice)
{
    if (r.fileToSplit.empty())
        compressSource(r);
    if (r.fileToSplit.empty())
        return refuseUnencrypted(r);
    if (choice.byPieces)
        sizeForPieces(fileLength(r.fileToSplit), choice);
    // The compressed file is this request's own, wherever it lies: both ways remove it, and
    // the private folder it lies in, after a split that stored it and after one that failed,
    // so that a retry is not refused.
    // A plain piece is the compressed file itself, split like any other file so that it
    // gets the checksum file that names it.
    if (!choice.byPieces && r.compressed && !r.request.plainPieces
        && choice.requestedBytes + 100 >= static_cast<double>(fileLength(r.fileToSplit))) {
        const SinglePieceJob job{r.source, r.fileToSplit, r.destination, choice.requestedBytes};
        r.firstPiece = storedPiecePath(job);
        return storeAsSinglePiece(job, r.services);
    }
    return runSplit(r, choice);
}

// Compresses (when asked) and splits. A stop of the compression or of the one piece's
// companions ends as a stopped split does (the split and the single piece end their own
// stops).
bool compressAndSplitStoppable(Request& r, SizeChoice& choice)
{
    try {
        if (!r.request.streamName.empty())
            return runSplit(r, choice);
        const std::optional<bool> stored = compressStraightIntoPiece(r, choice);
        return stored ? *stored : compressAndSplit(r, choice);
    } catch (const JobStopped&) {
        SplitServices& services = r.services;
        services.compressor.ReleaseTemporaryFolder();
        reportFailure(services.host, split_text::kCancelled);
        if (ProgressBarBinding* bar = asProgressBar(services.pane.progressBar))
            bar->setValue(0);
        return false;
    }
}

} // namespace

CommandOutcome splitCommand(SplitRequest& request, SplitServices& services)
{
    Request r{request, services, {}, {}, {}, {}, false, false, {}, {}, {}};
    const PasswordLoan password(r);
    if (auto refused = checkPaths(r))
        return *refused;
    if (auto refused = checkPassword(r))
        return *refused;
    if (FileListBinding* list = asFileList(services.pane.fileList))
        list->clear();
    offerSplitFolder(services.exploreMenu, r.destination);

    SizeChoice choice;
    std::optional<CommandOutcome> refused;
    if (request.mode == SplitMode::ByPieces)
        refused = choosePieces(r, choice);
    else if (request.mode == SplitMode::BySize)
        refused = chooseTypedSize(r, choice);
    else
        choosePreset(r, choice);
    if (!refused)
        refused = chooseRecovery(r, choice);
    if (!refused)
        refused = choosePlainPieces(r);
    if (!refused)
        refused = refuseExistingCompressedFile(r);
    if (refused)
        return *refused;

    if (request.streamName.empty())
        services.recentFiles.AddRecentFile(r.source, "Split");
    const bool succeeded = compressAndSplitStoppable(r, choice);
    if (succeeded && request.deleteSourceAfter && !r.folder) {
        services.engine.SetSourceFile(r.source);
        services.engine.SetConfirmDelete(true);
        ConfirmDeleteSource(services.engine, services.host);
    }
    if (!succeeded)
        return {false, {}, {}, {}};
    return {true, {}, r.firstPiece, r.notices};
}

CommandOutcome compressOnlyCommand(SplitRequest& request, SplitServices& services)
{
    request.mode = SplitMode::ByPieces;
    request.pieceCount.assign(1, '1'); // one piece (GCC 12 misreads the copy of "1" at -O3)
    request.recoveryCount.clear();
    services.host.processEvents();
    CommandOutcome outcome = splitCommand(request, services);
    if (outcome.focus == RequestField::None)
        outcome.focus = RequestField::SourcePath;
    return outcome;
}

void ConfirmDeleteSource(modSplitFile& engine, Host& host)
{
    if (engine.Status() != 0 || !fileExists(engine.SourceFile()))
        return;
    if (engine.ConfirmDelete()) {
        const Answer answer =
            host.message(Question::DeleteSource,
                         "The file: " + engine.SourceFile() + " has been split successfully." + CR
                             + "Do you wish to delete it?",
                         Buttons::YesNo, Icon::Question);
        if (answer != Answer::Yes)
            return;
    }
    try {
        deleteFile(engine.SourceFile());
    } catch (const RunError& error) {
        host.message(Question::Notice,
                     "Error: " + std::to_string(error.number()) + " : " + error.description(),
                     Buttons::Ok, Icon::Critical);
    }
}

void clearSplitCommand(SplitRequest& request, const PaneBindings& bindings)
{
    const bool deleteOption = request.deleteSourceAfter;
    const bool encrypt = request.encrypt;
    request = SplitRequest{};
    request.deleteSourceAfter = deleteOption;
    request.encrypt = encrypt;
    clearPaneDisplay(bindings);
}

} // namespace parcelo
