#include "platform/piece_workers.h"

#include "platform/stop_token.h"

#include <algorithm>
#include <chrono>

namespace parcelo {

namespace {

constexpr int kMostWorkers = 2;
// How often the job's thread looks up from waiting for its workers.
constexpr std::chrono::milliseconds kIdleStep{25};

std::optional<int> g_forcedCount;

} // namespace

int PieceWorkers::countFor(int pieces)
{
    if (g_forcedCount)
        return *g_forcedCount;
    const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    return std::clamp(std::min(cores, pieces), 1, kMostWorkers);
}

void PieceWorkers::forceCount(std::optional<int> count)
{
    g_forcedCount = count;
}

PieceWorkers::~PieceWorkers()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void PieceWorkers::Piece::advance(std::uint64_t bytes)
{
    {
        const std::lock_guard lock(workers_.mutex_);
        workers_.bytes_ += bytes;
    }
    if (jobStop().requested() || workers_.abandoned(number_))
        throw JobStopped();
}

bool PieceWorkers::abandoned(int number) const
{
    const std::lock_guard lock(mutex_);
    return quit_ || (abandonAbove_ > 0 && number > abandonAbove_);
}

bool PieceWorkers::waitForWorker(const Idle& idle)
{
    waitWhile(idle,
              [this] { return failures_.empty() && running_ + std::ssize(queue_) >= count_; });
    const std::lock_guard lock(mutex_);
    return failures_.empty();
}

void PieceWorkers::start(int number, Job job)
{
    {
        const std::lock_guard lock(mutex_);
        queue_.emplace_back(number, std::move(job));
        if (done_.size() < static_cast<std::size_t>(number))
            done_.resize(static_cast<std::size_t>(number), false);
    }
    if (std::ssize(threads_) < count_)
        threads_.emplace_back([this] { work(); });
    changed_.notify_all();
}

int PieceWorkers::waitForAll(const Idle& idle)
{
    waitWhile(idle, [this] { return running_ > 0 || !queue_.empty(); });
    const std::lock_guard lock(mutex_);
    return failures_.empty() ? 0 : failures_.begin()->first;
}

void PieceWorkers::rethrowFailure()
{
    std::exception_ptr failure;
    {
        const std::lock_guard lock(mutex_);
        if (!failures_.empty())
            failure = failures_.begin()->second;
    }
    if (failure)
        std::rethrow_exception(failure);
}

std::uint64_t PieceWorkers::bytesDone() const
{
    const std::lock_guard lock(mutex_);
    return bytes_;
}

int PieceWorkers::piecesDone() const
{
    const std::lock_guard lock(mutex_);
    return static_cast<int>(std::find(done_.begin(), done_.end(), false) - done_.begin());
}

void PieceWorkers::work()
{
    for (;;) {
        std::pair<int, Job> next;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            if (quit_)
                return;
            next = std::move(queue_.front());
            queue_.pop_front();
            ++running_;
        }
        run(next.first, next.second);
        {
            const std::lock_guard lock(mutex_);
            --running_;
        }
        changed_.notify_all();
    }
}

void PieceWorkers::run(int number, const Job& job)
{
    std::exception_ptr failure;
    try {
        Piece piece(*this, number);
        job(piece);
    } catch (...) {
        failure = std::current_exception();
    }
    const std::lock_guard lock(mutex_);
    if (!failure) {
        done_[static_cast<std::size_t>(number - 1)] = true;
        return;
    }
    failures_.emplace(number, failure);
    if (abandonAbove_ == 0 || number < abandonAbove_)
        abandonAbove_ = number;
}

void PieceWorkers::waitWhile(const Idle& idle, const std::function<bool()>& busy)
{
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (!busy())
                return;
            changed_.wait_for(lock, kIdleStep);
            if (!busy())
                return;
        }
        if (idle)
            idle();
    }
}

} // namespace parcelo
