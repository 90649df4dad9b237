#include "split/mod_split_file.h"

#include "format/file_list.h"
#include "format/numbers.h"
#include "format/split_set.h"
#include "platform/bindings.h"
#include "platform/captions.h"
#include "platform/durability.h"
#include "platform/job_progress.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "recovery/recovery.h"
#include "split/split_messages.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace parcelo {

namespace {

// A name shows whole in the status label while "Creating File: " + name stays below 81
// characters; a longer one shows as "..." and its tail.
constexpr std::size_t kWholeNameLimit = 65;
constexpr std::size_t kShownNameTail = 51;

std::string generatingCaption(const std::string& name)
{
    const std::string prefix = "Generating File: ";
    return pathCaption(prefix, name, characterCount(prefix) + kWholeNameLimit, kShownNameTail);
}

} // namespace

modSplitFile::modSplitFile(Host& host) : host_(host) {}

modSplitFile::~modSplitFile() = default;

void modSplitFile::SetSourceFile(const std::string& path)
{
    streaming_ = false;
    try {
        if (fileExists(path)) {
            fileLength_ = fileLength(path);
            sourceFile_ = path;
            fileName_ = GetFileNameFromPath(path);
            return;
        }
    } catch (const RunError&) {
        // unreadable: reported below like a missing file
    }
    host_.message(Question::Notice, "File: " + path + " does not exist!", Buttons::Ok,
                  Icon::Critical);
    sourceFile_.clear();
    fileLength_ = 0;
}

void modSplitFile::SetSourceStream(const std::string& name)
{
    streaming_ = true;
    sourceFile_.clear();
    fileLength_ = 0;
    fileName_ = name;
}

std::int16_t modSplitFile::StartSplit()
{
    status_ = 0;
    message_.clear();
    DurableJob durable; // the pieces' folder is synced once, after the last rename
    try {
        if (!streaming_ && !fileExists(sourceFile_)) {
            message_ = "File: " + sourceFile_ + " does not exist.";
            status_ = -1;
            return status_;
        }
        if (splitSize_ == 0) {
            message_ = "Specify file size for the file to be splitted.";
            status_ = -1;
            return status_;
        }
        hasher_.finish(); // drops what a failed split left
        pieceDigests_.clear();
        companionNotices_.clear();
        room_ = {};
        companionFiles_.clear();
        currentPiece_ = 0;
        pieceCount_ = 0;
        committedPieces_ = 0;
        removeStalePieces();
        if (FileListBinding* rows = list())
            rows->clear();
        meter_ =
            std::make_unique<JobProgress>(host_, statusLabel_, "Splitting", fileName_, fileLength_);
        status_ = byLines() ? SplitFileByLines() : SplitFileBySize();
        if (status_ == 0) {
            commitPiece();
            finishSet();
            durable.syncFolders();
        }
    } catch (const JobStopped&) {
        cancelSplit();
    } catch (const RunError& error) {
        fail(error);
    }
    meter_.reset();
    if (status_ != 0 && currentPiece_ > 0)
        DeleteSplitFiles();
    CloseFiles();
    return status_;
}

std::int16_t modSplitFile::OpenNextSplitFile(double requiredFreeSpace)
{
    try {
        commitPiece();
    } catch (const RunError& error) {
        return fail(error); // the piece's data did not reach the disk
    }
    jobStop().throwIfRequested();
    ++currentPiece_;
    const std::string name = pieceName(destFolder_, fileName_, currentPiece_);
    for (;;) {
        if (disketteMode() && waitForDisk(requiredFreeSpace) != 0)
            return status_;
        const StepResult created = runOpenStep([&] { createPiece(name); });
        if (created == StepResult::Failed)
            return status_;
        if (created == StepResult::Done)
            break;
    }
    if (currentPiece_ == 1 && anotherJobWritesSet()) {
        CloseFiles();
        message_ = split_text::anotherJob(fileName_);
        return status_ = -1;
    }
    announcePiece(name);
    host_.processEvents();
    return 0;
}

void modSplitFile::DeleteSplitFiles()
{
    CloseFiles();
    if (disketteMode())
        return; // pieces on diskettes stay where they are
    for (int number = 1; number <= committedPieces_; ++number) {
        const std::string name = pieceName(destFolder_, fileName_, number);
        if (fileExists(name))
            removeFileQuietly(name);
    }
}

void modSplitFile::CloseFiles() noexcept
{
    pendingLines_.clear();
    piece_ = File();
    pieceOutput_.discard();
    finishedPieces_.clear();
    source_ = File();
}

// The bytes each piece has before its data.
std::uint64_t modSplitFile::headerBytes() const
{
    return plainPieces_ ? 0 : kPieceHeaderSize;
}

bool modSplitFile::writesChecksums() const
{
    return companions_.checksums || plainPieces_;
}

bool modSplitFile::disketteMode() const
{
    return isDiskettePath(destFolder_);
}

ProgressBarBinding* modSplitFile::progress() const
{
    return asProgressBar(progressBar_);
}
LabelBinding* modSplitFile::label() const
{
    return asLabel(statusLabel_);
}
FileListBinding* modSplitFile::list() const
{
    return asFileList(fileList_);
}

void modSplitFile::setProgressValue(int value)
{
    if (ProgressBarBinding* bar = progress())
        bar->setValue(value);
}

// A full disk outside diskettes is told with the room the split still needed: what it
// needs less what the disk took (written, when measured before pieces were dropped).
std::int16_t modSplitFile::fail(const RunError& error, std::optional<std::uint64_t> measured)
{
    const bool full = error.number() == err::DiskFull && !disketteMode() && room_.bytes > 0;
    const std::uint64_t written = full ? measured.value_or(bytesWritten()) : 0;
    message_ = full ? diskFullText(destFolder_, room_.bytes - std::min(written, room_.bytes))
                    : error.description();
    CloseFiles();
    status_ = static_cast<std::int16_t>(error.number());
    return status_;
}

// The bytes in the pieces written so far (as far as they can be measured).
std::uint64_t modSplitFile::bytesWritten() const noexcept
{
    std::uint64_t total = 0;
    try {
        total = piece_.isOpen() ? piece_.size() : 0;
        for (const SafeOutput& piece : finishedPieces_)
            total += fileLength(piece.temporaryPath());
    } catch (const RunError&) {
        // a piece that cannot be measured counts as empty
    }
    return total;
}

// What the set takes in its folder: pieces of pieceBytes together, recovery pieces of the
// size of a whole piece, the checksum file and the join scripts (at most the room kept for
// each).
RoomNeed modSplitFile::roomForSet(int pieces, std::uint64_t pieceBytes,
                                  std::uint64_t largestPiece) const
{
    constexpr std::uint64_t kChecksumLine = 64 + 2 + 8; // digest, separator, number, end
    constexpr std::uint64_t kJoinScriptRoom = 16 << 10;
    RoomNeed need{pieceBytes, static_cast<std::uint64_t>(pieces), largestPiece};
    const int recovery = byLines() ? 0 : recoveryPiecesFor(companions_, pieces);
    if (recovery > 0) {
        const std::uint64_t each =
            largestPiece - headerBytes() + recoveryHeaderSize(pieces, recovery);
        need.bytes += each * static_cast<std::uint64_t>(recovery);
        need.files += static_cast<std::uint64_t>(recovery);
        need.largestFile = std::max(need.largestFile, each);
    }
    if (writesChecksums()) {
        need.bytes +=
            static_cast<std::uint64_t>(pieces + recovery) * (kChecksumLine + fileName_.size() + 4);
        ++need.files;
    }
    if (companions_.joinScript) {
        need.bytes += 2 * kJoinScriptRoom;
        need.files += 2;
    }
    return need;
}

// Refuses the split before its first byte when the folder cannot take the set; 0 when it
// can. Diskettes are asked for one by one instead.
std::int16_t modSplitFile::refuseWithoutRoom(const RoomNeed& need)
{
    if (disketteMode())
        return 0;
    room_ = need;
    if (const auto refusal = roomRefusal(destFolder_, need, LargeFileAdvice::SmallerPieces)) {
        message_ = refusal->description();
        status_ = -1;
    }
    return status_;
}

void modSplitFile::cancelSplit()
{
    CloseFiles();
    if (tempCompressedFile_)
        removeFileQuietly(sourceFile_);
    message_ = split_text::kCancelled;
    status_ = -1;
}

void modSplitFile::stopIfConfirmed()
{
    if (host_.message(Question::ConfirmCancel, split_text::confirmCancel(), Buttons::YesNo,
                      Icon::Information)
        == Answer::Yes)
        throw JobStopped();
}

Answer modSplitFile::askForDisk()
{
    return host_.message(Question::InsertDisk, split_text::insertDisk(currentPiece_),
                         Buttons::OkCancel, Icon::Information);
}

// One step of opening a piece. A failure stops the split, except in diskette mode, where
// the user is asked for the disk again: OK retries the step, a confirmed cancel stops the
// split and a declined one starts the disk prompt over (Restart).
modSplitFile::StepResult modSplitFile::runOpenStep(const std::function<void()>& step)
{
    for (;;) {
        try {
            step();
            return StepResult::Done;
        } catch (const RunError& error) {
            if (error.number() == err::BadFileNameOrNumber || !disketteMode()) {
                fail(error);
                return StepResult::Failed;
            }
        }
        if (askForDisk() == Answer::Ok)
            continue;
        stopIfConfirmed();
        return StepResult::Restart;
    }
}

// The disk prompt before each piece on a diskette: 0 once a disk with enough free space
// is in the drive, otherwise Status (failed); a cancel stops the split.
std::int16_t modSplitFile::waitForDisk(double requiredFreeSpace)
{
    for (;;) {
        jobStop().throwIfRequested();
        if (askForDisk() == Answer::Ok) {
            std::uint64_t freeSpace = 0;
            const StepResult checked = runOpenStep([&] {
                touchDisketteDrive();
                freeSpace = GetDriveFreeSpace("a");
            });
            if (checked == StepResult::Failed)
                return status_;
            if (checked == StepResult::Restart)
                continue;
            if (static_cast<double>(freeSpace) >= requiredFreeSpace)
                return 0;
            if (host_.message(Question::DiskFull,
                              split_text::notEnoughSpace(numberText(requiredFreeSpace)),
                              Buttons::OkCancel, Icon::Information)
                == Answer::Ok)
                continue;
        }
        stopIfConfirmed();
    }
}

// The piece is written under a temporary name; a piece of that name already there stays
// until commitPiece replaces it with the complete one.
void modSplitFile::createPiece(const std::string& name)
{
    if (disketteMode())
        removeStaleTemporaries(name);
    pieceOutput_ = SafeOutput(name);
    piece_ = std::move(pieceOutput_.file());
    if (writesChecksums() && !headersAfterEnd() && pieceDigests_.empty())
        hasher_.begin(pieceOutput_.temporaryPath(), GetFileNameFromPath(name));
}

// Closes the open piece (a failure to store its data throws). A piece on a diskette takes
// its name at once and is on the disk before the disk is changed; in a folder it waits for
// the others.
void modSplitFile::commitPiece()
{
    piece_.close();
    if (pieceOutput_.temporaryPath().empty())
        return;
    hasher_.end();
    finishedPieces_.push_back(std::move(pieceOutput_));
    if (disketteMode()) {
        hasher_.settle(); // the disk is changed next
        commitFinishedPieces();
        syncRenamedFolders();
    }
}

// Makes the checksum file, join scripts and recovery pieces beside the pieces before any
// piece takes its name, then gives the pieces and them their names: a failure before that
// leaves an older set of this name as it was. On diskettes the pieces have their names
// already and the companions follow them. Once the set has its names, what an older set
// of the name left beside it goes.
void modSplitFile::finishSet()
{
    const std::string folder = GetFolderFromPath(pieceName(destFolder_, fileName_, 1));
    const auto digests =
        pieceDigests_.empty() ? hasher_.finish() : std::exchange(pieceDigests_, {});
    const JoinScriptSet set{.name = fileName_,
                            .pieceCount = pieceCount_,
                            .lineSet = byLines(),
                            .compressed = compressed_,
                            .plain = plainPieces_,
                            .encrypted = compressed_ && encrypted_};
    if (disketteMode()) {
        writeDisketteCompanions(folder, set, digests);
        return;
    }
    CompanionWork work;
    work.afterStripe = [this] { host_.processEvents(); };
    work.piecePaths = [this](int n) {
        const auto index = static_cast<std::size_t>(n - 1 - committedPieces_);
        return n > committedPieces_ && index < finishedPieces_.size()
                   ? finishedPieces_[index].temporaryPath()
                   : std::string();
    };
    PreparedCompanions companions = prepareSetCompanions(folder, set, digests, companions_, work);
    SafeOutput::syncAll(
        {finishedPieces_, companions.files}); // on the disk before the first renames
    const std::optional<ChecksumListing> older = olderChecksums(folder);
    commitFinishedPieces();
    commitCompanions(folder, companions);
    if (!plainPieces_)
        return;
    for (const std::string& name : removeOlderPiecesBeyond(folder + fileName_, pieceCount_, older))
        companionNotices_.push_back(split_text::notAPieceBeyond(name));
}

// The checksum file an older split of the name left, which tells its pieces, before this
// split's replaces it: plain pieces beyond the new count are known by it.
std::optional<ChecksumListing> modSplitFile::olderChecksums(const std::string& folder) const
{
    try {
        return plainPieces_ ? readChecksumFile(checksumFilePath(folder + fileName_)) : std::nullopt;
    } catch (const RunError&) {
        return std::nullopt; // unreadable: its pieces are not recognised
    }
}

// Gives the prepared companions their names and lists them after the pieces.
void modSplitFile::commitCompanions(const std::string& folder, PreparedCompanions& companions)
{
    commitSetCompanions(folder + fileName_, companions);
    companionNotices_ = std::move(companions.notices);
    companionFiles_ = committedCompanions(companions);
    listCompanions(fileList_, companionFiles_, unit_);
}

// The companions go onto the last disk or, when they cannot be written there, onto one
// more disk asked for as the pieces' disks are. Without that disk they are left out with a
// notice: the set is whole on its disks without them.
void modSplitFile::writeDisketteCompanions(const std::string& folder, const JoinScriptSet& set,
                                           const std::vector<PieceHasher::Digest>& digests)
{
    for (;;) {
        try {
            PreparedCompanions companions = prepareSetCompanions(folder, set, digests, companions_);
            commitCompanions(folder, companions);
            syncRenamedFolders();
            return;
        } catch (const RunError&) {
            // no room, or no disk: one more disk is asked for
        }
        jobStop().throwIfRequested();
        if (host_.message(Question::InsertDisk, split_text::insertDisk(pieceCount_ + 1),
                          Buttons::OkCancel, Icon::Information)
            == Answer::Cancel) {
            host_.message(Question::Notice,
                          split_text::companionsLeftOut(fileName_, companions_.checksums,
                                                        companions_.joinScript),
                          Buttons::Ok, Icon::Information);
            return;
        }
    }
}

void modSplitFile::commitFinishedPieces()
{
    for (SafeOutput& piece : finishedPieces_) {
        piece.commit();
        ++committedPieces_;
    }
    finishedPieces_.clear();
}

// Clears the temporary files of this set that a killed split left in the destination. On
// diskettes each piece's disk is cleared when it is in the drive (createPiece).
void modSplitFile::removeStalePieces() const
{
    if (!disketteMode())
        removeStaleTemporaries(destFolder_, setFileFilter());
}

// A final name of this set: a piece, a recovery piece, the checksum file or a join script.
FinalNameFilter modSplitFile::setFileFilter() const
{
    return [stem = fileName_ + "."](const std::string& name) {
        if (!name.starts_with(stem))
            return false;
        std::string_view rest(name);
        rest.remove_prefix(stem.size());
        if (rest == "sha256" || rest == "join.sh" || rest == "join.cmd")
            return true;
        if (rest.starts_with("rec"))
            rest.remove_prefix(3);
        return !rest.empty() && rest.find_first_not_of("0123456789") == std::string_view::npos;
    };
}

// Asked once this split's first piece is there, so that of two splits of one set that
// start together at least one sees the other.
bool modSplitFile::anotherJobWritesSet() const
{
    return !disketteMode()
           && temporaryInUse(destFolder_, setFileFilter(), pieceOutput_.temporaryPath());
}

void modSplitFile::announcePiece(const std::string& name)
{
    if (LabelBinding* caption = label())
        caption->setCaption(generatingCaption(name));
    AddFileToList(fileList_, name, displaySize_, unit_);
}

void modSplitFile::showBytes(std::uint64_t done)
{
    if (meter_)
        meter_->advanceTo(done);
}

// Runs a write into the open piece. A full diskette asks the user for room: OK (or a
// declined cancel) writes the block again from its start, a confirmed cancel stops the
// split. Elsewhere a full disk fails the split (see fail).
void modSplitFile::writeRetrying(const std::function<void()>& write, bool rewindSource)
{
    jobStop().throwIfRequested();
    const std::uint64_t pieceAt = piece_.position();
    const std::uint64_t sourceAt = rewindSource ? source_.position() : 0;
    for (;;) {
        try {
            write();
            return;
        } catch (const RunError& error) {
            if (error.number() != err::DiskFull || !disketteMode())
                throw;
        }
        if (host_.message(Question::DiskFull, split_text::diskFull(), Buttons::OkCancel,
                          Icon::Information)
            == Answer::Cancel)
            stopIfConfirmed();
        piece_.seek(pieceAt);
        if (rewindSource)
            source_.seek(sourceAt);
    }
}

} // namespace parcelo
