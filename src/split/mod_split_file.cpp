#include "split/mod_split_file.h"

#include "format/captions.h"
#include "format/common.h"
#include "format/file_list.h"
#include "format/numbers.h"
#include "format/split_set.h"
#include "platform/bindings.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "split/split_messages.h"

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

std::int16_t modSplitFile::StartSplit()
{
    status_ = 0;
    message_.clear();
    try {
        if (!fileExists(sourceFile_)) {
            message_ = "File: " + sourceFile_ + " does not exist.";
            status_ = -1;
            return status_;
        }
        if (splitSize_ == 0) {
            message_ = "Specify file size for the file to be splitted.";
            status_ = -1;
            return status_;
        }
        currentPiece_ = 0;
        pieceCount_ = 0;
        if (FileListBinding* rows = list())
            rows->clear();
        status_ = unit_ == "LN" ? SplitFileByLines() : SplitFileBySize();
    } catch (const RunError& error) {
        fail(error);
    }
    if (status_ != 0 && currentPiece_ > 0)
        DeleteSplitFiles();
    CloseFiles();
    return status_;
}

std::int16_t modSplitFile::OpenNextSplitFile(double requiredFreeSpace)
{
    try {
        piece_.close();
    } catch (const RunError& error) {
        return fail(error); // the piece's data did not reach the disk
    }
    ++currentPiece_;
    const std::string name = pieceName(destFolder_, fileName_, currentPiece_);
    for (;;) {
        if (disketteMode() && waitForDisk(requiredFreeSpace) != 0)
            return status_;
        const StepResult created = runOpenStep([&] { createPiece(name); });
        if (created == StepResult::Stop)
            return status_;
        if (created == StepResult::Done)
            break;
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
    for (int number = 1; number <= currentPiece_; ++number) {
        const std::string name = pieceName(destFolder_, fileName_, number);
        if (fileExists(name))
            removeFileQuietly(name);
    }
}

void modSplitFile::CloseFiles() noexcept
{
    pendingLines_.clear();
    piece_ = File();
    source_ = File();
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

std::int16_t modSplitFile::fail(const RunError& error)
{
    CloseFiles();
    message_ = error.description();
    status_ = static_cast<std::int16_t>(error.number());
    return status_;
}

std::int16_t modSplitFile::cancelSplit()
{
    CloseFiles();
    if (tempCompressedFile_ == "Yes")
        removeFileQuietly(sourceFile_);
    message_ = split_text::kCancelled;
    status_ = -1;
    return status_;
}

bool modSplitFile::confirmCancel()
{
    return host_.message(Question::ConfirmCancel, split_text::confirmCancel(), Buttons::YesNo,
                         Icon::Information)
           == Answer::Yes;
}

Answer modSplitFile::askForDisk()
{
    return host_.message(Question::InsertDisk, split_text::insertDisk(currentPiece_),
                         Buttons::OkCancel, Icon::Information);
}

// One step of opening a piece. A failure stops the split, except in diskette mode, where
// the user is asked for the disk again: OK retries the step, and a declined cancel starts
// the disk prompt over (Restart).
modSplitFile::StepResult modSplitFile::runOpenStep(const std::function<void()>& step)
{
    for (;;) {
        try {
            step();
            return StepResult::Done;
        } catch (const RunError& error) {
            if (error.number() == err::BadFileNameOrNumber || !disketteMode()) {
                fail(error);
                return StepResult::Stop;
            }
        }
        if (askForDisk() == Answer::Ok)
            continue;
        if (confirmCancel()) {
            cancelSplit();
            return StepResult::Stop;
        }
        return StepResult::Restart;
    }
}

// The disk prompt before each piece on a diskette: 0 once a disk with enough free space
// is in the drive, otherwise Status (cancelled or failed).
std::int16_t modSplitFile::waitForDisk(double requiredFreeSpace)
{
    for (;;) {
        if (askForDisk() == Answer::Ok) {
            std::uint64_t freeSpace = 0;
            const StepResult checked = runOpenStep([&] {
                touchDisketteDrive();
                freeSpace = GetDriveFreeSpace("a");
            });
            if (checked == StepResult::Stop)
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
        if (confirmCancel())
            return cancelSplit();
    }
}

void modSplitFile::createPiece(const std::string& name)
{
    if (fileExists(name))
        deleteFile(name);
    piece_ = File(name, File::Mode::Write);
}

void modSplitFile::announcePiece(const std::string& name)
{
    if (LabelBinding* caption = label())
        caption->setCaption(generatingCaption(name));
    AddFileToList(fileList_, name, displaySize_, unit_);
}

// Runs a write into the open piece. A full disk asks the user for room: OK (or a declined
// cancel) writes the block again from its start, a confirmed cancel ends the split.
void modSplitFile::writeRetrying(const std::function<void()>& write, bool rewindSource)
{
    const std::uint64_t pieceAt = piece_.position();
    const std::uint64_t sourceAt = rewindSource ? source_.position() : 0;
    for (;;) {
        try {
            write();
            return;
        } catch (const RunError& error) {
            if (error.number() != err::DiskFull)
                throw;
        }
        if (host_.message(Question::DiskFull, split_text::diskFull(), Buttons::OkCancel,
                          Icon::Information)
                == Answer::Cancel
            && confirmCancel())
            throw Cancelled{};
        piece_.seek(pieceAt);
        if (rewindSource)
            source_.seek(sourceAt);
    }
}

} // namespace parcelo
