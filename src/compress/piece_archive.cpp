#include "compress/piece_archive.h"

#include "compress/zip_support.h"
#include "compress/zlib_tool.h"
#include "platform/file.h"
#include "platform/stop_token.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace parcelo {

namespace {

constexpr std::size_t kInputChunk = std::size_t{1} << 20;
constexpr std::size_t kOutputChunk = std::size_t{4} << 20;
constexpr std::uint32_t kCountCeiling = std::uint32_t{1} << 31;
constexpr std::uint32_t kCountFloor = std::uint32_t{1} << 20; // well past the 32 KiB window

ArchiveReader readerOf(SetData& data)
{
    return [&data](std::uint64_t offset, unsigned char* into, std::size_t count) {
        data.readAt(offset, into, count);
    };
}

// Feeds the entry's compressed bytes in chunks, from the first to the last.
class EntryInput {
public:
    EntryInput(const ArchiveReader& read, const OnlyEntryLayout& layout)
        : read_(read), next_(layout.dataStart), left_(layout.compressedSize), buffer_(kInputChunk)
    {
    }
    // The next chunk (empty when all is read).
    std::pair<unsigned char*, std::size_t> next()
    {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left_, kInputChunk));
        if (count > 0)
            read_(next_, buffer_.data(), count);
        next_ += count;
        left_ -= count;
        return {buffer_.data(), count};
    }
    bool done() const { return left_ == 0; }

private:
    const ArchiveReader& read_;
    std::uint64_t next_;
    std::uint64_t left_;
    std::vector<unsigned char> buffer_;
};

void copyStored(EntryInput& input, File& target, PercentProgress& progress, std::uint32_t& crc)
{
    std::uint64_t done = 0;
    while (!input.done()) {
        jobStop().throwIfRequested();
        const auto [bytes, count] = input.next();
        crc = crc32_gzip_refl(crc, bytes, count);
        target.write(bytes, count);
        done += count;
        progress.advanceTo(done);
    }
}

// Inflates into target; returns the bytes written. The output window is cut one byte past
// the declared size, so a stream that runs longer is found without writing that byte.
std::uint64_t inflateInto(EntryInput& input, const OnlyEntryLayout& layout, File& target,
                          PercentProgress& progress, const std::string& name, std::uint32_t& crc)
{
    auto state = std::make_unique<inflate_state>();
    isal_inflate_init(state.get());
    state->crc_flag = ISAL_GZIP_NO_HDR;
    std::vector<unsigned char> output(kOutputChunk);
    std::uint64_t done = 0;
    bool outputFull = false; // the last step may have left output inside the state
    while (state->block_state != ISAL_BLOCK_FINISH) {
        jobStop().throwIfRequested();
        if (state->avail_in == 0 && !input.done()) {
            const auto [bytes, count] = input.next();
            state->next_in = bytes;
            state->avail_in = static_cast<std::uint32_t>(count);
        } else if (state->avail_in == 0 && !outputFull) {
            throw zipsupport::damaged(name, "it holds less data than recorded");
        }
        // ISA-L checks each distance against its 32-bit count of the bytes out: kept from
        // wrapping, an entry of 4 GiB and more does not fail there.
        if (state->total_out > kCountCeiling)
            state->total_out = kCountFloor;
        const std::uint64_t room = std::min<std::uint64_t>(layout.size - done + 1, output.size());
        state->next_out = output.data();
        state->avail_out = static_cast<std::uint32_t>(room);
        const std::uint32_t inBefore = state->avail_in;
        if (isal_inflate(state.get()) != ISAL_DECOMP_OK)
            throw zipsupport::damaged(name, "its compressed data cannot be read");
        const std::uint64_t made = room - state->avail_out;
        if (made > layout.size - done)
            throw zipsupport::damaged(name, "it holds more data than recorded");
        // A step that neither takes input nor gives output would be taken again forever.
        if (made == 0 && state->avail_in == inBefore && inBefore != 0
            && state->block_state != ISAL_BLOCK_FINISH)
            throw zipsupport::damaged(name, "its compressed data cannot be read");
        outputFull = state->avail_out == 0;
        target.write(output.data(), static_cast<std::size_t>(made));
        done += made;
        progress.advanceTo(done);
    }
    // Nothing of the entry's data may be left over after its stream's end.
    if (state->avail_in != 0 || !input.done())
        throw zipsupport::damaged(name, "its contents are inconsistent");
    crc = state->crc;
    return done;
}

} // namespace

void inflateEntry(const ArchiveReader& read, const OnlyEntryLayout& layout, File& target,
                  PercentProgress& progress, const std::string& archiveName)
{
    EntryInput input(read, layout);
    std::uint32_t crc = 0;
    std::uint64_t done = layout.compressedSize;
    if (layout.deflated)
        done = inflateInto(input, layout, target, progress, archiveName, crc);
    else
        copyStored(input, target, progress, crc);
    if (done != layout.size)
        throw zipsupport::damaged(archiveName, "it holds less data than recorded");
    if (crc != layout.crc)
        throw zipsupport::damaged(archiveName, "its data does not match its checksum");
}

std::optional<PieceArchive> openPieceArchive(std::vector<PieceData> pieces)
{
    const std::string name = pieces.empty() ? std::string() : pieces.front().path;
    SetData data(std::move(pieces));
    const std::optional<OnlyEntryLayout> entry =
        readOnlyEntryLayout(readerOf(data), data.size(), name);
    if (!entry)
        return std::nullopt;
    return PieceArchive{std::move(data), *entry, name, {}};
}

// An extraction into a temporary file on a thread of its own, reading its own handles on
// the pieces; the thread touches nothing else, and reports only the bytes it wrote.
class EarlyExtraction {
public:
    EarlyExtraction(const PieceArchive& archive, const std::string& targetPath)
        : data_(archive.data.pieces()), entry_(archive.entry), name_(archive.name),
          targetPath_(targetPath), output_(zipsupport::checkedTarget(targetPath, entry_.size))
    {
        worker_ = std::thread([this] { run(); });
    }
    ~EarlyExtraction()
    {
        dropped_.store(true);
        if (worker_.joinable())
            worker_.join();
    }
    EarlyExtraction(const EarlyExtraction&) = delete;
    EarlyExtraction& operator=(const EarlyExtraction&) = delete;

    const std::string& targetPath() const { return targetPath_; }

    // Waits for the thread, moving progress along and answering a stop; its failure is
    // thrown here. The file is committed when it is complete.
    void finish(PercentProgress& progress, bool replace)
    {
        constexpr auto kStep = std::chrono::milliseconds(50);
        std::unique_lock<std::mutex> lock(mutex_);
        while (!ended_.wait_for(lock, kStep, [this] { return done_; })) {
            lock.unlock();
            jobStop().throwIfRequested();
            progress.advanceTo(written_.load());
            lock.lock();
        }
        lock.unlock();
        worker_.join();
        try {
            if (failure_)
                std::rethrow_exception(failure_);
        } catch (const RunError& error) {
            throw zipsupport::writeFailure(error, targetPath_, entry_.size,
                                           output_.file().position());
        }
        jobStop().throwIfRequested(); // the last moment a stop keeps the folder as it was
        if (replace)
            output_.commit();
        else
            output_.commitWithoutReplacing();
    }

private:
    void run() noexcept
    {
        try {
            const ArchiveReader pieces = readerOf(data_);
            const ArchiveReader read = [this, &pieces](std::uint64_t offset, unsigned char* into,
                                                       std::size_t count) {
                if (dropped_.load())
                    throw JobStopped();
                pieces(offset, into, count);
            };
            PercentProgress progress(entry_.size, {}, [this](std::uint64_t done, std::uint64_t) {
                written_.store(done);
            });
            inflateEntry(read, entry_, output_.file(), progress, name_);
        } catch (...) {
            failure_ = std::current_exception();
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
        ended_.notify_all();
    }

    SetData data_;
    OnlyEntryLayout entry_;
    std::string name_;
    std::string targetPath_;
    SafeOutput output_;
    std::atomic<bool> dropped_{false};
    std::atomic<std::uint64_t> written_{0};
    std::exception_ptr failure_; // set by the thread before done_
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread worker_;
};

void startExtractionFromPieces(PieceArchive& archive, const std::string& targetPath)
{
    archive.early = std::make_shared<EarlyExtraction>(archive, targetPath);
}

void extractFromPieces(PieceArchive& archive, const std::string& targetPath,
                       const PercentProgress::Report& report,
                       const PercentProgress::BytesReport& bytes, bool replace)
{
    PercentProgress progress(archive.entry.size, report, bytes);
    if (archive.early && archive.early->targetPath() == targetPath) {
        archive.early->finish(progress, replace);
        archive.early.reset();
    } else {
        zipsupport::writeCheckedTarget(targetPath, archive.entry.size, replace, [&](File& target) {
            inflateEntry(readerOf(archive.data), archive.entry, target, progress, archive.name);
        });
    }
    progress.finish();
}

void streamFromPieces(PieceArchive& archive, File& target, const PercentProgress::Report& report,
                      const PercentProgress::BytesReport& bytes)
{
    PercentProgress progress(archive.entry.size, report, bytes);
    inflateEntry(readerOf(archive.data), archive.entry, target, progress, archive.name);
    progress.finish();
}

} // namespace parcelo
