#include "integrity/piece_hasher.h"

#include "integrity/sha256.h"
#include "platform/file.h"
#include "platform/run_error.h"

#include <algorithm>

namespace parcelo {

namespace {
constexpr std::size_t kHashBlock = 1 << 20;
}

PieceHasher::~PieceHasher()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void PieceHasher::begin(const std::string& path, const std::string& name)
{
    {
        std::lock_guard lock(mutex_);
        Job job;
        job.digest.name = name;
        try {
            job.file = File(path, File::Mode::Read);
        } catch (const RunError& e) {
            job.digest.failure = e;
        }
        jobs_.push_back(std::move(job));
    }
    if (!worker_.joinable())
        worker_ = std::thread([this] { work(); });
    changed_.notify_all();
}

void PieceHasher::advance(std::uint64_t bytesInPlace)
{
    {
        std::lock_guard lock(mutex_);
        if (jobs_.empty())
            return;
        jobs_.back().ready = std::max(jobs_.back().ready, bytesInPlace);
    }
    changed_.notify_all();
}

void PieceHasher::end()
{
    {
        std::lock_guard lock(mutex_);
        if (jobs_.empty())
            return;
        jobs_.back().ended = true;
    }
    changed_.notify_all();
}

void PieceHasher::settle()
{
    std::unique_lock lock(mutex_);
    for (Job& job : jobs_)
        job.ended = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return next_ == jobs_.size(); });
}

std::vector<PieceHasher::Digest> PieceHasher::finish()
{
    settle();
    std::lock_guard lock(mutex_);
    std::vector<Digest> digests;
    for (Job& job : jobs_)
        digests.push_back(std::move(job.digest));
    jobs_.clear();
    next_ = 0;
    return digests;
}

void PieceHasher::work()
{
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return quit_ || next_ < jobs_.size(); });
            if (quit_)
                return;
            job = &jobs_[next_]; // a deque keeps its elements in place as it grows
        }
        hash(*job);
        {
            std::lock_guard lock(mutex_);
            ++next_;
        }
        changed_.notify_all();
    }
}

// Waits until more bytes are in place than are hashed, or the file has ended; false when
// the hasher is told to quit.
bool PieceHasher::waitForBytes(Job& job, std::uint64_t hashed, std::uint64_t& ready, bool& ended)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return quit_ || job.ended || job.ready > hashed; });
    ready = job.ready;
    ended = job.ended;
    return !quit_;
}

void PieceHasher::hash(Job& job)
{
    if (!job.file.isOpen())
        return;
    File& file = job.file;
    try {
        std::vector<char> buffer(kHashBlock);
        Sha256 sha;
        std::uint64_t hashed = 0;
        for (;;) {
            std::uint64_t ready = 0;
            bool ended = false;
            if (!waitForBytes(job, hashed, ready, ended))
                return;
            // Once the file has ended, everything in it is hashed.
            const std::size_t want =
                ended
                    ? kHashBlock
                    : static_cast<std::size_t>(std::min<std::uint64_t>(ready - hashed, kHashBlock));
            const std::size_t got = file.read(buffer.data(), want);
            sha.update(buffer.data(), got);
            hashed += got;
            if (ended && got == 0)
                break;
        }
        job.digest.hex = sha.finishHex();
        file.close();
    } catch (const RunError& e) {
        job.digest.failure = e;
    }
}

} // namespace parcelo
