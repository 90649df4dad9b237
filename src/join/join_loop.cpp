#include "join/mod_join_file.h"

#include "platform/captions.h"

#include "format/file_list.h"
#include "format/set_pieces.h"
#include "format/split_set.h"
#include "integrity/set_companions.h"
#include "join/line_copy.h"
#include "platform/bindings.h"
#include "platform/file_system.h"
#include "platform/host.h"
#include "platform/job_progress.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"

namespace parcelo {

namespace {

constexpr const char* kOpenFailed =
    "Split files could not be located or process was cancelled by user.";
constexpr const char* kJoiningFile = "Joining File: ";
constexpr std::size_t kLongestCaption = 80;
constexpr std::size_t kShownPathTail = 51;

std::string notASplitPiece(const std::string& path)
{
    return "File " + path
           + " is not a valid split file. This file was not split by Parcelo application.";
}

std::string notOfTheSet(const std::string& path)
{
    return "The file " + path + " is not a valid file of the set.";
}

// The status caption for a piece: the whole path when the caption stays within 80
// characters, otherwise "..." and the path's last 51 characters.
std::string joiningCaption(const std::string& path)
{
    return pathCaption(kJoiningFile, path, kLongestCaption, kShownPathTail);
}

// Holds a flag up, and the busy pointer, for the length of a scope.
class JoinRun {
public:
    JoinRun(Host& host, bool& joining) : host_(host), joining_(joining)
    {
        joining_ = true;
        host_.setBusy(true);
    }
    ~JoinRun()
    {
        host_.setBusy(false);
        joining_ = false;
    }
    JoinRun(const JoinRun&) = delete;
    JoinRun& operator=(const JoinRun&) = delete;

private:
    Host& host_;
    bool& joining_;
};

} // namespace

void modJoinFile::JoinSplitFiles()
{
    if (pieceCount_ == 0)
        LocateSplitFiles();
    if (errorFlag_ != 0 || joining_)
        return;
    {
        JoinRun run(host_, joining_);
        try {
            if (stream_ != nullptr || checkOnly_) {
                // the checks first, into nothing; then the same bytes into the stream
                File sink(kNullDevice, File::Mode::Write);
                if (joinPass(sink) && (checkOnly_ || joinPass(*stream_)))
                    input_ = File();
            } else {
                removeStaleTemporaries(JoinedFilePath());
                refuseWithoutRoom();
                output_ = SafeOutput(JoinedFilePath());
                if (joinPass(output_.file())) {
                    input_ = File();
                    // a joined file that could not be stored fails here
                    if (replaceJoinedFile_)
                        output_.commit();
                    else
                        output_.commitWithoutReplacing();
                    outputCreated_ = true;
                }
            }
        } catch (const JobStopped&) {
            fail(-1, kCancelledByUser);
        } catch (const RunError& e) {
            fail(e.number(), failureText(e));
        }
    }
    meter_.reset();
    std::vector<char>().swap(buffer_);
    if (errorFlag_ != 0) {
        closeFiles();
        DeleteJoinedFile();
    }
}

void modJoinFile::CheckSplitFiles()
{
    checkOnly_ = true;
    JoinSplitFiles();
    checkOnly_ = false;
}

// One pass over the pieces into target: true when every piece was joined and the checksum
// file (when the set has one) holds.
bool modJoinFile::joinPass(File& target)
{
    target_ = &target;
    startProgress();
    startMeter();
    currentPiece_ = 0;
    checksumNote_.clear();
    checksumNotice_.clear();
    checksums_ = std::make_unique<ChecksumWatch>(checksumSet());
    if (!(lineSet_ ? joinLines() : joinBytes()) || !checksumsHold())
        return false;
    if (ProgressBarBinding* bar = asProgressBar(progressBar_))
        bar->setValue(bar->maximum());
    return true;
}

bool modJoinFile::joinBytes()
{
    const auto pulse = [this] { this->pulse(); };
    for (int i = 1; i <= pieceCount_; ++i) {
        pulse();
        lineMode_ = false;
        if (OpenNextJoinFile() != 0) {
            openFailed();
            return false;
        }
        if (!plainSet_) {
            const PieceHeader header = readPieceHeaderZeroFilled(input_);
            if (!header.hasByteSignature())
                return rejectPiece(notASplitPiece(currentPiecePath_));
            compressed_ = header.isCompressed();
            // Every piece must name this set's count and its own place in it; a piece of
            // another set under the same name would corrupt the joined file.
            if (header.count != pieceCount_ || header.number != i)
                return rejectPiece(notOfTheSet(currentPiecePath_));
        }
        const std::uint64_t remaining = input_.size() - input_.position();
        watchPiece([&] { copyBytes(input_, *target_, remaining, kCopyChunk, buffer_, pulse); });
        pieceDone();
        showProgress(i);
        host_.processEvents();
    }
    return true;
}

bool modJoinFile::joinLines()
{
    const auto pulse = [this] { this->pulse(); };
    lineMode_ = true;
    for (int i = 1; i <= pieceCount_; ++i) {
        pulse();
        if (OpenNextJoinFile() != 0) {
            openFailed();
            return false;
        }
        const auto textStart = markerLineEnd(input_);
        if (!textStart)
            return rejectPiece(notASplitPiece(currentPiecePath_));
        input_.seek(*textStart);
        watchPiece([&] { copyLinesAsWritten(input_, *target_, buffer_, pulse); });
        pieceDone();
        showProgress(i);
        host_.processEvents();
    }
    return true;
}

// A piece that does not belong: the user is told which, and the join fails.
bool modJoinFile::rejectPiece(const std::string& message)
{
    if (ProgressBarBinding* bar = asProgressBar(progressBar_))
        bar->setValue(bar->maximum());
    host_.message(Question::Notice, message, Buttons::Ok, Icon::Critical);
    if (errorFlag_ == 0)
        fail(1, message);
    return false;
}

// A piece that could not be opened, or a cancel at a diskette prompt.
void modJoinFile::openFailed()
{
    fail(1, kOpenFailed);
    showProgress(0);
}

int modJoinFile::OpenNextJoinFile()
{
    try {
        input_ = File();
        ++currentPiece_;
        currentPiecePath_ = PiecePath(currentPiece_);
        if (!openPiece()) {
            fail(-1, kCancelledByUser);
            return 1;
        }
        showProgress(currentPiece_);
        showPieceInLabel();
        // Pieces in a folder were listed when the set was located; diskettes one by one.
        if (isDiskettePath(currentPiecePath_))
            AddFileToList(fileList_, currentPiecePath_, static_cast<double>(input_.size()), *unit_);
        host_.processEvents();
        return 0;
    } catch (const RunError& e) {
        fail(e.number(), e.description());
        return e.number();
    }
}

// Opens the current piece; on the diskette drive asks for its disk until it is there.
// False when the user cancelled.
bool modJoinFile::openPiece()
{
    const bool onDiskette = isDiskettePath(currentPiecePath_);
    for (;;) {
        try {
            if (!onDiskette || fileExists(currentPiecePath_)) {
                input_ = File(currentPiecePath_, File::Mode::Read);
                return true;
            }
        } catch (const RunError& e) {
            // 52 on the diskette drive: no disk in it
            if (!onDiskette || e.number() != err::BadFileNameOrNumber)
                throw;
        }
        jobStop().throwIfRequested();
        if (!askForDisk(host_, currentPiece_, pieceCount_))
            return false;
    }
}

void modJoinFile::startProgress()
{
    ProgressBarBinding* bar = asProgressBar(progressBar_);
    if (bar == nullptr)
        return;
    bar->setVisible(true);
    bar->setMaximum(pieceCount_);
    bar->setValue(0);
}

void modJoinFile::showProgress(int value)
{
    if (ProgressBarBinding* bar = asProgressBar(progressBar_))
        bar->setValue(value);
}

// The meter's total: the pieces' sizes, as far as they can be read now (pieces on
// diskettes come one by one and count only once read).
void modJoinFile::startMeter()
{
    std::uint64_t total = 0;
    for (int i = 1; i <= pieceCount_; ++i) {
        const std::string path = PiecePath(i);
        try {
            if (!isDiskettePath(path))
                total += fileLength(path);
        } catch (const RunError&) {
            // the join reports a piece it cannot read when it gets there
        }
    }
    piecesRead_ = 0;
    meter_ = std::make_unique<JobProgress>(host_, statusLabel_, "Joining", joinedFileName_, total);
}

void modJoinFile::pulse()
{
    jobStop().throwIfRequested();
    if (input_.isOpen()) {
        checksums_->advance(input_.position());
        if (meter_)
            meter_->advanceTo(piecesRead_ + input_.position());
    }
    host_.processEvents();
}

void modJoinFile::pieceDone()
{
    piecesRead_ += input_.size();
    input_ = File();
}

void modJoinFile::showPieceInLabel()
{
    if (LabelBinding* label = asLabel(statusLabel_))
        label->setCaption(joiningCaption(currentPiecePath_));
}

std::uint64_t modJoinFile::JoinedBytes() const
{
    std::uint64_t total = 0;
    for (int i = 1; i <= pieceCount_; ++i) {
        const std::string path = PiecePath(i);
        if (isDiskettePath(path))
            return 0;
        try {
            const std::uint64_t size = fileLength(path);
            total += lineSet_ || plainSet_ ? size
                                           : size - std::min<std::uint64_t>(size, kPieceHeaderSize);
        } catch (const RunError&) {
            return 0; // the join reports a piece it cannot read when it gets there
        }
    }
    return total;
}

// Throws the reason before the first byte when the destination cannot take the joined file
// and what follows it (diskettes are not asked).
void modJoinFile::refuseWithoutRoom() const
{
    const std::uint64_t joined = JoinedBytes();
    if (joined == 0 || isDiskettePath(destinationFolder_))
        return;
    const RoomNeed need{joined + roomAfterJoin_, roomAfterJoin_ > 0 ? 2u : 1u,
                        std::max(joined, roomAfterJoin_)};
    if (const auto refusal = roomRefusal(destinationFolder_, need, LargeFileAdvice::AnotherDrive))
        throw *refusal;
}

// A write that found the disk full tells how much more room the join needed.
std::string modJoinFile::failureText(const RunError& error)
{
    if (error.number() != err::DiskFull || !output_.isOpen() || isDiskettePath(destinationFolder_))
        return error.description();
    const std::uint64_t total = JoinedBytes() + roomAfterJoin_;
    const std::uint64_t written = output_.file().position();
    return diskFullText(destinationFolder_, total - std::min(written, total));
}

void modJoinFile::closeFiles() noexcept
{
    input_ = File();
    output_.discard();
}

void modJoinFile::FinishJoin()
{
    progressBar_ = nullptr;
    statusLabel_ = nullptr;
    fileList_ = nullptr;
    compressed_ = false;
    closeFiles();
    if (errorFlag_ != 0)
        DeleteJoinedFile();
}

void modJoinFile::DeleteJoinedFile()
{
    // Only a file this join wrote: a file of that name that was there before a join
    // that failed early is the user's own.
    if (!outputCreated_)
        return;
    output_.discard();
    const std::string path = JoinedFilePath();
    if (!path.empty() && fileExists(path))
        removeFileQuietly(path);
    outputCreated_ = false;
}

bool modJoinFile::DeleteBrokenFiles(const std::string& question)
{
    if (errorFlag_ != 0 || isDiskettePath(sourceFile_))
        return true;
    if (confirmDelete_
        && host_.message(Question::DeletePieces, question, Buttons::YesNo, Icon::Question)
               != Answer::Yes)
        return true;
    closeFiles();
    bool allDeleted = true;
    for (int i = 1; i <= pieceCount_; ++i) {
        const std::string path = PiecePath(i);
        if (fileExists(path) && !removeFileQuietly(path))
            allDeleted = false;
    }
    // Another tool's set has no companions of Parcelo's: a checksum file beside it is not ours.
    if (allDeleted && !foreignSet_)
        removeSetCompanions(RemoveFileExtension(PiecePath(1)));
    if (FileListBinding* list = asFileList(fileList_))
        list->clear();
    return allDeleted;
}

} // namespace parcelo
