#include "compress/parallel_deflate.h"

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

namespace parcelo {

namespace {

constexpr std::size_t kBlockSize = std::size_t{512} * 1024; // the input deflated as one job
constexpr std::size_t kWindow = std::size_t{32} * 1024;     // what deflate can refer back to
constexpr std::size_t kTrialSize = std::size_t{64} * 1024;  // sampled to decide on storing a block
constexpr std::size_t kStoredMax = 65535;                   // the largest stored deflate block
constexpr unsigned kMaxThreads = 32;
constexpr std::size_t kMaxInFlight = 32;

struct Job {
    std::vector<char> data; // the dictionary, then the block's own bytes
    std::size_t dictionary = 0;
    bool last = false;
    std::vector<char> out;
    std::uint32_t crc = 0;
    bool done = false;
    std::exception_ptr error;

    const Bytef* input() const { return reinterpret_cast<const Bytef*>(data.data() + dictionary); }
    std::size_t length() const { return data.size() - dictionary; }
};

// Deflates one block of the stream into out and returns the bytes produced: the whole
// stream's end when last, else a piece that ends on a byte boundary without a final block,
// so the next block's piece follows it in the same stream.
class BlockCodec {
public:
    virtual ~BlockCodec() = default;
    virtual std::size_t run(const Bytef* dictionary, std::size_t dictionaryLength,
                            const Bytef* input, std::size_t length, bool last,
                            std::vector<char>& out) = 0;
};

// ISA-L's deflate (levels 1 to 3) kept open for reuse across blocks; it takes the
// dictionary and ends a block with a sync flush itself.
class IsalCodec : public BlockCodec {
public:
    explicit IsalCodec(std::uint32_t level) : buffer_(levelBufferSize(level))
    {
        isal_deflate_init(&z_);
        z_.level = level;
        z_.level_buf = buffer_.data();
        z_.level_buf_size = static_cast<std::uint32_t>(buffer_.size());
    }
    IsalCodec(const IsalCodec&) = delete;
    IsalCodec& operator=(const IsalCodec&) = delete;

    std::size_t run(const Bytef* dictionary, std::size_t dictionaryLength, const Bytef* input,
                    std::size_t length, bool last, std::vector<char>& out) override
    {
        isal_deflate_reset(&z_);
        z_.end_of_stream = last ? 1 : 0;
        z_.flush = last ? NO_FLUSH : SYNC_FLUSH;
        if (dictionaryLength > 0
            && isal_deflate_set_dict(&z_, const_cast<Bytef*>(dictionary),
                                     static_cast<std::uint32_t>(dictionaryLength))
                   != COMP_OK)
            throw std::runtime_error("deflate failed");
        z_.next_in = const_cast<Bytef*>(input);
        z_.avail_in = static_cast<std::uint32_t>(length);
        out.resize(length + length / 16 + 1024);
        z_.next_out = reinterpret_cast<Bytef*>(out.data());
        z_.avail_out = static_cast<std::uint32_t>(out.size());
        for (;;) {
            if (isal_deflate(&z_) != COMP_OK)
                throw std::runtime_error("deflate failed");
            const std::size_t produced = z_.total_out;
            if (last ? z_.internal_state.state == ZSTATE_END
                     : (z_.avail_in == 0 && z_.avail_out != 0))
                return produced;
            out.resize(out.size() * 2);
            z_.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
            z_.avail_out = static_cast<std::uint32_t>(out.size() - produced);
        }
    }

private:
    static std::size_t levelBufferSize(std::uint32_t level)
    {
        return level == 1   ? ISAL_DEF_LVL1_DEFAULT
               : level == 2 ? ISAL_DEF_LVL2_DEFAULT
                            : ISAL_DEF_LVL3_DEFAULT;
    }

    isal_zstream z_{};
    std::vector<std::uint8_t> buffer_;
};

// Where a complete raw deflate stream's last block starts and where its bits end, found by
// inflating it a block at a time.
struct LastBlock {
    std::size_t headerBit = 0;
    std::size_t endBit = 0;
};

LastBlock findLastBlock(const Bytef* stream, std::size_t size, std::vector<Bytef>& scratch)
{
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        throw std::bad_alloc();
    z.next_in = const_cast<Bytef*>(stream);
    z.avail_in = static_cast<uInt>(size);
    LastBlock found;
    // data_type: the unused bits of the last byte read, 64 in the last block, 128 at a
    // block's end
    const auto bitsRead = [&] { return (size - z.avail_in) * 8 - (z.data_type & 7); };
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = scratch.data();
        z.avail_out = static_cast<uInt>(scratch.size());
        rc = inflate(&z, Z_BLOCK);
        if ((z.data_type & 128) == 0)
            continue;
        if ((z.data_type & 64) == 0) {
            found.headerBit = bitsRead();
        } else {
            found.endBit = bitsRead();
            break;
        }
    }
    inflateEnd(&z);
    if (rc != Z_OK || found.endBit == 0 || (found.endBit + 7) / 8 != size)
        throw std::runtime_error("deflate produced a stream it cannot read back");
    return found;
}

// libdeflate at its level, which has no dictionary and always ends what it makes with the
// final block: unless last, that block's final bit is cleared and an empty stored block
// brings the piece to a byte boundary.
class LibdeflateCodec : public BlockCodec {
public:
    explicit LibdeflateCodec(int level)
        : compressor_(libdeflate_alloc_compressor(level)), scratch_(kBlockSize)
    {
        if (compressor_ == nullptr)
            throw std::bad_alloc();
    }
    ~LibdeflateCodec() override { libdeflate_free_compressor(compressor_); }
    LibdeflateCodec(const LibdeflateCodec&) = delete;
    LibdeflateCodec& operator=(const LibdeflateCodec&) = delete;

    std::size_t run(const Bytef*, std::size_t, const Bytef* input, std::size_t length, bool last,
                    std::vector<char>& out) override
    {
        const std::size_t bound = libdeflate_deflate_compress_bound(compressor_, length);
        out.resize(bound + 5); // room for the empty stored block
        std::size_t size =
            libdeflate_deflate_compress(compressor_, input, length, out.data(), bound);
        if (size == 0)
            throw std::runtime_error("deflate failed");
        if (last)
            return size;
        auto* bytes = reinterpret_cast<Bytef*>(out.data());
        const LastBlock block = findLastBlock(bytes, size, scratch_);
        bytes[block.headerBit / 8] &= static_cast<Bytef>(~(1u << (block.headerBit % 8)));
        const std::size_t unused = size * 8 - block.endBit;
        bytes[size - 1] &= static_cast<Bytef>(0xffu >> unused);
        // the stored block's three header bits, then zero bits to the byte, then its
        // length 0 and the length's complement
        if (unused < 3)
            bytes[size++] = 0;
        for (const Bytef b : {0x00, 0x00, 0xff, 0xff})
            bytes[size++] = b;
        return size;
    }

private:
    libdeflate_compressor* compressor_;
    std::vector<Bytef> scratch_;
};

// The codec for a zip level, the one place that chooses: ISA-L's level 3 for the fast
// levels (1, 2), libdeflate's 6 for the normal ones (3 to 7) and its 8 for the maximum
// ones (8, 9), the efforts a zip entry's flags record. libdeflate's 9 saves about 0.03 %
// more on mixed text and binary data for 40 % more time; both stay smaller than zip -9.
std::unique_ptr<BlockCodec> codecFor(int level)
{
    if (level <= 2)
        return std::make_unique<IsalCodec>(3);
    return std::make_unique<LibdeflateCodec>(level <= 7 ? 6 : 8);
}

// Appends input as stored deflate blocks, starting on a byte boundary.
void appendStored(const char* input, std::size_t length, bool last, std::vector<char>& out)
{
    do {
        const std::size_t step = std::min(length, kStoredMax);
        const bool final = last && step == length;
        const auto len = static_cast<unsigned>(step);
        const unsigned char header[5] = {
            static_cast<unsigned char>(final ? 1 : 0), static_cast<unsigned char>(len & 0xff),
            static_cast<unsigned char>(len >> 8), static_cast<unsigned char>(~len & 0xff),
            static_cast<unsigned char>((~len >> 8) & 0xff)};
        out.insert(out.end(), header, header + sizeof header);
        out.insert(out.end(), input, input + step);
        input += step;
        length -= step;
    } while (length > 0);
}

// One worker's codecs: the level's own and ISA-L's fastest for the storing trial.
class BlockDeflater {
public:
    explicit BlockDeflater(int level) : main_(codecFor(level)), trial_(1) {}

    void deflateJob(Job& job)
    {
        const std::size_t length = job.length();
        job.crc = static_cast<std::uint32_t>(crc32_z(0, job.input(), length));
        if (length > 0 && notWorthDeflating(job)) {
            job.out.clear();
            job.out.reserve(length + (length / kStoredMax + 1) * 5);
            appendStored(job.data.data() + job.dictionary, length, job.last, job.out);
            return;
        }
        const auto* dictionary = reinterpret_cast<const Bytef*>(job.data.data());
        job.out.resize(
            main_->run(dictionary, job.dictionary, job.input(), length, job.last, job.out));
    }

private:
    // A block whose first 64 KiB save under 3 % at the fastest level is stored.
    bool notWorthDeflating(const Job& job)
    {
        const std::size_t sample = std::min(job.length(), kTrialSize);
        const std::size_t produced = trial_.run(nullptr, 0, job.input(), sample, true, scratch_);
        return produced * 100 >= sample * 97;
    }

    std::unique_ptr<BlockCodec> main_;
    IsalCodec trial_;
    std::vector<char> scratch_;
};

} // namespace

struct ParallelDeflate::State {
    int level;
    Input input;
    std::size_t maxInFlight;

    std::mutex mutex;
    std::condition_variable workReady;
    std::condition_variable jobDone;
    std::deque<Job*> todo;
    bool shuttingDown = false;
    std::vector<std::thread> workers;

    // Used by the reading thread only.
    std::deque<std::unique_ptr<Job>> inFlight;
    std::unique_ptr<Job> current;
    std::size_t handedOut = 0;
    std::vector<char> tail; // the last input bytes, up to the window
    bool inputEnded = false;
    bool finished = false;
    std::uint32_t crc = 0;

    void work()
    {
        std::unique_ptr<BlockDeflater> deflater;
        std::exception_ptr setupError;
        try {
            deflater = std::make_unique<BlockDeflater>(level);
        } catch (...) {
            setupError = std::current_exception();
        }
        for (;;) {
            Job* job = nullptr;
            {
                std::unique_lock lock(mutex);
                workReady.wait(lock, [&] { return shuttingDown || !todo.empty(); });
                if (shuttingDown)
                    return;
                job = todo.front();
                todo.pop_front();
            }
            try {
                if (setupError)
                    std::rethrow_exception(setupError);
                deflater->deflateJob(*job);
            } catch (...) {
                job->error = std::current_exception();
            }
            {
                std::lock_guard lock(mutex);
                job->done = true;
            }
            jobDone.notify_all();
        }
    }

    void stopWorkers()
    {
        {
            std::lock_guard lock(mutex);
            shuttingDown = true;
        }
        workReady.notify_all();
        for (auto& worker : workers)
            worker.join();
        workers.clear();
    }

    void submitNext()
    {
        auto job = std::make_unique<Job>();
        job->dictionary = tail.size();
        job->data.resize(tail.size() + kBlockSize);
        if (!tail.empty()) // the first block has no dictionary
            std::memcpy(job->data.data(), tail.data(), tail.size());
        std::size_t got = 0;
        while (got < kBlockSize) {
            const std::size_t step =
                input(job->data.data() + job->dictionary + got, kBlockSize - got);
            if (step == 0)
                break;
            got += step;
        }
        job->data.resize(job->dictionary + got);
        job->last = got < kBlockSize;
        inputEnded = job->last;
        rememberTail(*job);
        Job* raw = job.get();
        inFlight.push_back(std::move(job));
        {
            std::lock_guard lock(mutex);
            todo.push_back(raw);
        }
        workReady.notify_one();
    }

    void rememberTail(const Job& job)
    {
        const std::size_t keep = std::min(job.data.size(), kWindow);
        tail.assign(job.data.end() - static_cast<std::ptrdiff_t>(keep), job.data.end());
    }

    // Moves on to the oldest block once it is deflated.
    void takeNext()
    {
        while (inFlight.size() < maxInFlight && !inputEnded)
            submitNext();
        {
            std::unique_lock lock(mutex);
            jobDone.wait(lock, [&] { return inFlight.front()->done; });
        }
        current = std::move(inFlight.front());
        inFlight.pop_front();
        handedOut = 0;
        if (current->error)
            std::rethrow_exception(current->error);
        crc = static_cast<std::uint32_t>(
            crc32_combine(crc, current->crc, static_cast<z_off_t>(current->length())));
        // The input is no longer needed once the block is deflated.
        std::vector<char>().swap(current->data);
    }
};

ParallelDeflate::ParallelDeflate(int level, Input input) : state_(std::make_unique<State>())
{
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    state_->level = level;
    state_->input = std::move(input);
    state_->maxInFlight = std::clamp<std::size_t>(std::size_t{2} * threads, 3, kMaxInFlight);
    try {
        for (unsigned i = 0; i < threads; ++i)
            state_->workers.emplace_back([s = state_.get()] { s->work(); });
    } catch (...) {
        state_->stopWorkers();
        throw;
    }
}

ParallelDeflate::~ParallelDeflate()
{
    state_->stopWorkers();
}

std::size_t ParallelDeflate::read(char* out, std::size_t capacity)
{
    State& s = *state_;
    for (;;) {
        if (s.current && s.handedOut < s.current->out.size()) {
            const std::size_t step = std::min(capacity, s.current->out.size() - s.handedOut);
            std::memcpy(out, s.current->out.data() + s.handedOut, step);
            s.handedOut += step;
            return step;
        }
        if (s.current) {
            s.finished = s.current->last;
            s.current.reset();
        }
        if (s.finished)
            return 0;
        s.takeNext();
    }
}

bool ParallelDeflate::finished() const
{
    return state_->finished;
}

std::uint32_t ParallelDeflate::crc() const
{
    return state_->crc;
}

} // namespace parcelo
