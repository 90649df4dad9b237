#pragma once

#include <atomic>

namespace parcelo {

// A request to stop the running job. A signal handler or a Stop button sets it; the long
// loops (split, join, compression) poll it at each chunk and piece and then end as a
// cancel, removing what they made. Setting and reading it are async-signal-safe.
class StopToken {
public:
    void request() noexcept { requested_.store(true, std::memory_order_relaxed); }
    bool requested() const noexcept { return requested_.load(std::memory_order_relaxed); }
    void reset() noexcept { requested_.store(false, std::memory_order_relaxed); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free);
    std::atomic<bool> requested_{false};
};

// The process's one token, shared by every engine.
StopToken& jobStop() noexcept;

} // namespace parcelo
