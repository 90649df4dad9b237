#include "split/mod_split_file.h"

#include "format/numbers.h"
#include "format/split_set.h"
#include "platform/bindings.h"
#include "platform/diskette.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "split/split_messages.h"

#include <algorithm>
#include <cmath>

namespace parcelo {

namespace {

constexpr int kDivisionByZero = 11;
// A piece never needs to be larger than this; bigger requests mean "one piece".
constexpr double kLargestPieceSize = 4611686018427387904.0; // 2^62
// What the buffer of the one-buffer strategy holds beyond a piece.
constexpr std::uint64_t kBufferSlack = 100;

// How far the file may fall short of the requested size and still count as large enough.
double shortfallTolerance(double requested)
{
    if (requested < 1e7)
        return 1e-8;
    if (requested > 1e7 && requested < 1e8)
        return 1e-6;
    if (requested > 1e8 && requested < 1e9)
        return 1e-5;
    return 1e-4;
}

} // namespace

std::int16_t modSplitFile::SplitFileBySize()
{
    try {
        const double requested = splitSize_ * (unit_ ? bytesPerUnit(*unit_) : 0.0);
        if (!splitByPieces_
            && static_cast<double>(fileLength_) + shortfallTolerance(requested) < requested) {
            message_ = "The file you want to split is smaller than the size you specified!";
            return status_ = -1;
        }
        const std::uint64_t pieceSize = checkedPieceSize(requested);
        const std::uint64_t count = (fileLength_ + pieceSize - 1) / pieceSize;
        if (count > static_cast<std::uint64_t>(kMaxPieces))
            throw RunError(err::Overflow, split_text::tooManyPieces(count));
        pieceCount_ = static_cast<int>(count);
        checkRecoveryFor(companions_, pieceCount_);
        if (plainPieces_) {
            message_ = plainChecksumProblem(destFolder_ + fileName_);
            if (!message_.empty())
                return status_ = -1;
        }

        if (disketteMode()) {
            if (requested > static_cast<double>(kDisketteCapacity)) {
                message_ = "The split file size you specified is greater than the diskette "
                           "storage size!";
                return status_ = -1;
            }
            const std::string question =
                "To split the original file you need " + std::to_string(pieceCount_)
                + " 1.44MB diskettes with at least " + numberText(requested)
                + " bytes of free space." + CR + "Do you want to continue?";
            askDisketteCount(question);
        }
        const std::uint64_t largest = std::min(pieceSize, fileLength_) + headerBytes();
        if (refuseWithoutRoom(roomForSet(pieceCount_, fileLength_ + headerBytes() * count, largest))
            != 0)
            return status_;

        source_ = File(sourceFile_, File::Mode::Read);
        ProgressBarBinding* bar = progress();
        if (bar) {
            bar->setMaximum(pieceCount_);
            bar->setVisible(true);
            bar->setValue(0);
        }
        // A piece that fits one buffer is copied in one step; larger ones in chunks, with
        // pending events handled after each so that the window stays responsive.
        const bool chunked = pieceSize + kBufferSlack > kCopyChunk;
        const auto chunk = static_cast<std::size_t>(chunked ? kCopyChunk : pieceSize);
        for (int number = 1; number <= pieceCount_; ++number) {
            host_.processEvents();
            const std::uint64_t dataSize =
                number < pieceCount_ ? pieceSize : fileLength_ - (count - 1) * pieceSize;
            displaySize_ = static_cast<double>(dataSize);
            if (OpenNextSplitFile(requested) != 0)
                break;
            if (!plainPieces_)
                writeHeader(pieceCount_, number);
            copyPieceData(dataSize, chunk, chunked);
            piece_.close();
            bar = progress();
            if (bar && number <= bar->maximum())
                bar->setValue(number);
        }
        source_.close();
        return status_;
    } catch (const RunError& error) {
        return fail(error);
    }
}

// The requested size as whole bytes (halves to the even neighbour); a size below half a
// byte cannot divide the file.
std::uint64_t modSplitFile::checkedPieceSize(double requested) const
{
    const double rounded = std::nearbyint(std::min(requested, kLargestPieceSize));
    if (!(rounded >= 1))
        throw RunError(kDivisionByZero, "Division by zero");
    return static_cast<std::uint64_t>(rounded);
}

// Asks whether to go on with the number of diskettes the split needs; a no stops it.
void modSplitFile::askDisketteCount(const std::string& question)
{
    if (host_.message(Question::DisketteCount, question, Buttons::YesNo, Icon::Question)
        == Answer::Yes)
        return;
    setProgressValue(0);
    throw JobStopped();
}

void modSplitFile::writeHeader(int count, int number)
{
    PieceHeader header;
    header.signature = compressed_ ? PieceSignatureCompressed : PieceSignaturePlain;
    header.count = count;
    header.number = number;
    const auto bytes = encodePieceHeader(header);
    writeRetrying([&] { piece_.write(bytes.data(), bytes.size()); }, false);
}

void modSplitFile::copyPieceData(std::uint64_t size, std::size_t chunk, bool eventsPerChunk)
{
    if (!host_.processesEvents()) {
        // Nothing to keep responsive: the whole piece in one retryable step, which stops
        // between chunks when a stop is requested.
        writeRetrying(
            [&] {
                copyBytes(source_, piece_, size, chunk, buffer_, [this] {
                    jobStop().throwIfRequested();
                    hasher_.advance(piece_.position());
                    showBytes(source_.position());
                });
            },
            true);
        return;
    }
    for (std::uint64_t left = size; left > 0;) {
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk));
        writeRetrying([&] { copyBytes(source_, piece_, step, chunk, buffer_); }, true);
        hasher_.advance(piece_.position());
        left -= step;
        showBytes(source_.position());
        if (eventsPerChunk)
            host_.processEvents();
    }
}

} // namespace parcelo
