#include "split/mod_split_file.h"

#include "format/numbers.h"
#include "format/split_set.h"
#include "integrity/sha256.h"
#include "platform/bindings.h"
#include "platform/diskette.h"
#include "platform/paths.h"
#include "platform/piece_workers.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "split/split_messages.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <optional>

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

// The bytes a piece's data takes: the size in its unit.
double requestedBytes(double size, const DisplayUnit& unit)
{
    return size * (unit ? bytesPerUnit(*unit) : 0.0);
}

} // namespace

std::int16_t modSplitFile::SplitFileBySize()
{
    if (streaming_)
        return SplitStreamBySize();
    try {
        const double requested = requestedBytes(splitSize_, unit_);
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

        source_ = openSource();
        ProgressBarBinding* bar = progress();
        if (bar) {
            bar->setMaximum(pieceCount_);
            bar->setVisible(true);
            bar->setValue(0);
        }
        const int workers = disketteMode() ? 1 : PieceWorkers::countFor(pieceCount_);
        if (workers > 1)
            return splitOnWorkers(workers, requested, pieceSize);
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

// The pieces are opened, announced and committed here, in order, as on one thread; the
// workers write them, each a whole piece at a time. A piece that fails ends the split as
// it would on one thread: the pieces after it are dropped and its failure is thrown here.
std::int16_t modSplitFile::splitOnWorkers(int workerCount, double requested,
                                          std::uint64_t pieceSize)
{
    pieceDigests_.assign(writesChecksums() ? static_cast<std::size_t>(pieceCount_) : 0, {});
    // The workers' own hold on the source: a failure here closes source_ at once.
    const auto source = std::make_shared<File>(std::move(source_));
    PieceWorkers workers(workerCount);
    int shown = 0; // the bar counts the pieces done in order, one by one as on one thread
    const auto showDone = [&] {
        showBytes(workers.bytesDone());
        for (const int done = workers.piecesDone(); shown < done;)
            setProgressValue(++shown);
    };
    const auto idle = [&] {
        jobStop().throwIfRequested();
        showDone();
        host_.processEvents();
    };
    for (int number = 1; number <= pieceCount_ && workers.waitForWorker(idle); ++number) {
        const std::uint64_t offset = static_cast<std::uint64_t>(number - 1) * pieceSize;
        const std::uint64_t dataSize = std::min(pieceSize, fileLength_ - offset);
        displaySize_ = static_cast<double>(dataSize);
        if (OpenNextSplitFile(requested) != 0)
            return status_;
        auto target = std::make_shared<File>(std::move(piece_)); // shared: copyable job
        finishedPieces_.push_back(std::move(pieceOutput_));
        Digest* digest = pieceDigests_.empty() ? nullptr : &pieceDigests_[number - 1];
        if (digest)
            digest->name = GetFileNameFromPath(finishedPieces_.back().finalPath());
        workers.start(number, [=, this](PieceWorkers::Piece& piece) {
            writePieceOnWorker(*source, *target, number, {offset, dataSize}, digest, piece);
        });
    }
    if (const int failed = workers.waitForAll(idle); failed > 0) {
        // Every piece's bytes took room when the disk filled, the ones dropped too.
        const std::uint64_t written = bytesWritten();
        finishedPieces_.resize(static_cast<std::size_t>(failed)); // one thread had not begun these
        try {
            workers.rethrowFailure();
        } catch (const RunError& error) {
            return fail(error, written);
        }
    }
    showDone();
    return status_;
}

// On a worker: the header and the piece's range of the source, read at its offset; when the
// set gets checksums, read into the worker's own buffer and hashed from there.
void modSplitFile::writePieceOnWorker(File& source, File& target, int number, ByteRange range,
                                      Digest* digest, PieceWorkers::Piece& piece) const
{
    std::optional<Sha256> sha;
    if (digest)
        sha.emplace();
    if (!plainPieces_) {
        const auto header = headerBytesOf(pieceCount_, number);
        target.write(header.data(), header.size());
        if (sha)
            sha->update(header.data(), header.size());
    }
    std::vector<char> buffer;
    for (std::uint64_t done = 0; done < range.size;) {
        const auto step =
            static_cast<std::size_t>(std::min<std::uint64_t>(range.size - done, kCopyChunk));
        if (sha) {
            buffer.resize(step);
            source.readExactAt(buffer.data(), step, range.offset + done);
            sha->update(buffer.data(), step);
            target.write(buffer.data(), step);
        } else {
            copyBytesAt(source, range.offset + done, target, step, kCopyChunk, buffer);
        }
        done += step;
        piece.advance(step);
    }
    target.close();
    if (sha)
        digest->hex = sha->finishHex();
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

File modSplitFile::openSource() const
{
    return streaming_ ? File::adopt(::dup(STDIN_FILENO), split_text::kStandardInput)
                      : File(sourceFile_, File::Mode::Read);
}

// A split of standard input by size learns the pieces' count only at the input's end: the
// headers are written again then, and the pieces hashed after that.
bool modSplitFile::headersAfterEnd() const
{
    return streaming_ && !byLines();
}

// Pieces of pieceSize bytes as long as standard input gives bytes, each under its temporary
// name; once it ends, every header gets the count and the pieces their digests.
std::int16_t modSplitFile::SplitStreamBySize()
{
    try {
        const double requested = requestedBytes(splitSize_, unit_);
        const std::uint64_t pieceSize = checkedPieceSize(requested);
        if (plainPieces_) {
            message_ = plainChecksumProblem(destFolder_ + fileName_);
            if (!message_.empty())
                return status_ = -1;
        }
        source_ = openSource();
        const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(pieceSize, kCopyChunk));
        buffer_.resize(chunk);
        std::uint64_t total = 0;
        std::size_t pending = source_.read(buffer_.data(), chunk);
        if (pending == 0) {
            message_ = split_text::kEmptyStream;
            return status_ = -1;
        }
        displaySize_ = static_cast<double>(pieceSize);
        while (pending > 0) {
            if (currentPiece_ >= kMaxPieces)
                throw RunError(err::Overflow, split_text::tooManyPieces(0));
            if (OpenNextSplitFile(requested) != 0)
                return status_;
            if (!plainPieces_)
                writeHeader(0, currentPiece_);
            std::uint64_t left = pieceSize;
            do {
                writeRetrying([&] { piece_.write(buffer_.data(), pending); }, false);
                left -= pending;
                total += pending;
                showBytes(total);
                host_.processEvents();
                const std::uint64_t next = left == 0 ? chunk : std::min<std::uint64_t>(left, chunk);
                pending = source_.read(buffer_.data(), static_cast<std::size_t>(next));
            } while (pending > 0 && left > 0);
        }
        jobStop().throwIfRequested(); // an end of input that a stop caused is no end
        source_.close();
        pieceCount_ = currentPiece_;
        commitPiece();
        checkRecoveryFor(companions_, pieceCount_);
        finishStreamPieces();
        return status_;
    } catch (const RunError& error) {
        return fail(error);
    }
}

void modSplitFile::finishStreamPieces()
{
    int number = 0;
    for (SafeOutput& piece : finishedPieces_) {
        ++number;
        if (!plainPieces_) {
            File file(piece.temporaryPath(), File::Mode::ReadWrite);
            const auto bytes = headerBytesOf(pieceCount_, number);
            file.write(bytes.data(), bytes.size());
            file.close();
        }
        if (writesChecksums()) {
            hasher_.begin(piece.temporaryPath(), GetFileNameFromPath(piece.finalPath()));
            hasher_.end();
        }
    }
}

std::array<unsigned char, kPieceHeaderSize> modSplitFile::headerBytesOf(int count, int number) const
{
    PieceHeader header;
    header.signature = compressed_ ? PieceSignatureCompressed : PieceSignaturePlain;
    header.count = count;
    header.number = number;
    return encodePieceHeader(header);
}

void modSplitFile::writeHeader(int count, int number)
{
    const auto bytes = headerBytesOf(count, number);
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
