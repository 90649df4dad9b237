#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace parcelo {

// Deflates a byte stream on several threads into one standard raw deflate stream.
// The input is cut into blocks; each block is deflated on its own by the level's codec
// (primed with the last 32 KiB before it as its dictionary where the codec takes one) and
// ended on a byte boundary without a final block, so the blocks chain into one stream any
// inflater reads. Blocks that a quick trial shows will not compress are stored. At most a
// fixed number of blocks are in flight, so the memory used does not grow with the input.
class ParallelDeflate {
public:
    // Fills buffer with up to capacity input bytes and returns how many; 0 only at the
    // end of the input. Called on the thread that calls read().
    using Input = std::function<std::size_t(char* buffer, std::size_t capacity)>;

    // Deflates at level (1 to 9) with one worker thread per core.
    ParallelDeflate(int level, Input input);
    ~ParallelDeflate();
    ParallelDeflate(const ParallelDeflate&) = delete;
    ParallelDeflate& operator=(const ParallelDeflate&) = delete;

    // Copies up to capacity bytes of the deflate stream into out, in order; returns 0
    // once the whole stream has been handed out. Rethrows a failure of a worker.
    std::size_t read(char* out, std::size_t capacity);

    bool finished() const;
    // The CRC-32 of the input; complete once finished().
    std::uint32_t crc() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace parcelo
