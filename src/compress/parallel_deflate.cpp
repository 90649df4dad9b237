#include "compress/parallel_deflate.h"

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

// A raw deflate stream kept open for reuse across blocks.
class Deflater {
public:
    explicit Deflater(int level)
    {
        if (deflateInit2(&z_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Deflates input after a reset (and the dictionary, if any) into out; ends with
    // the final block when last, else on a byte boundary. Returns the bytes produced.
    std::size_t run(const Bytef* dictionary, std::size_t dictionaryLength, const Bytef* input,
                    std::size_t length, bool last, std::vector<char>& out)
    {
        deflateReset(&z_);
        if (dictionaryLength > 0)
            deflateSetDictionary(&z_, dictionary, static_cast<uInt>(dictionaryLength));
        z_.next_in = const_cast<Bytef*>(input);
        z_.avail_in = static_cast<uInt>(length);
        out.resize(deflateBound(&z_, length) + 64);
        std::size_t produced = 0;
        for (;;) {
            z_.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
            z_.avail_out = static_cast<uInt>(out.size() - produced);
            const int rc = deflate(&z_, last ? Z_FINISH : Z_SYNC_FLUSH);
            produced = out.size() - z_.avail_out;
            if (rc == Z_STREAM_ERROR)
                throw std::runtime_error("deflate failed");
            if (last ? rc == Z_STREAM_END : (z_.avail_in == 0 && z_.avail_out != 0))
                return produced;
            out.resize(out.size() * 2);
        }
    }

private:
    z_stream z_{};
};

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

// One worker's streams: the real level and a fast one for the storing trial.
class BlockDeflater {
public:
    explicit BlockDeflater(int level) : main_(level), trial_(1) {}

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
            main_.run(dictionary, job.dictionary, job.input(), length, job.last, job.out));
    }

private:
    // A block whose first 64 KiB save under 3 % at the fastest level is stored.
    bool notWorthDeflating(const Job& job)
    {
        const std::size_t sample = std::min(job.length(), kTrialSize);
        const std::size_t produced = trial_.run(nullptr, 0, job.input(), sample, true, scratch_);
        return produced * 100 >= sample * 97;
    }

    Deflater main_;
    Deflater trial_;
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
