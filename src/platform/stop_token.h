#pragma once

#include <atomic>

namespace parcelo {

// What a job throws where it finds it must stop: the token asks it to, or the user
// cancelled it at a question. Each engine's entry catches it once and ends as the cancel
// it documents, removing what the job made. It is no RunError and no std::exception, so
// that no handler of failures takes a stop for one.
class JobStopped {};

// A request to stop the running job. A signal handler or a Stop button sets it; the long
// loops (split, join, compression, recovery) call throwIfRequested at each chunk, stripe
// and piece. Setting and reading it are async-signal-safe.
class StopToken {
public:
    void request() noexcept { requested_.store(true, std::memory_order_relaxed); }
    bool requested() const noexcept { return requested_.load(std::memory_order_relaxed); }
    void reset() noexcept { requested_.store(false, std::memory_order_relaxed); }
    // Throws JobStopped once a stop has been asked for.
    void throwIfRequested() const
    {
        if (requested())
            throw JobStopped();
    }

private:
    static_assert(std::atomic<bool>::is_always_lock_free);
    std::atomic<bool> requested_{false};
};

// The process's one token, shared by every engine.
StopToken& jobStop() noexcept;

} // namespace parcelo
