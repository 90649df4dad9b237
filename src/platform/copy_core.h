#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace parcelo {

class File;

namespace copycore {

// The ways the kernel can move bytes between two files without them passing through
// the program, fastest first; Buffer is the program's own read and write.
enum class Method { Splice, CopyRange, Buffer };

// Moves exactly size bytes from the current position of source to the current
// position of target, both positions advancing, through a 1 MiB pipe where the kernel
// allows it and with copy_file_range otherwise. Returns the bytes moved: size, or fewer
// (possibly 0) when the kernel cannot copy between these files, in which case the
// caller moves the rest through a buffer. Failures throw RunError naming the file that
// failed; running out of source bytes throws 62.
std::size_t kernelCopy(File& source, File& target, std::size_t size);

// As kernelCopy, but reads the source from offset without moving its position, so that
// several threads can copy from one source at once. Only splice is used: copy_file_range
// into a piece's unaligned position is slower than the buffer.
std::size_t kernelCopyAt(File& source, std::uint64_t offset, File& target, std::size_t size);

// For tests: makes kernelCopy start at the given method (the slower ones remain its
// fallbacks); std::nullopt restores the normal choice.
void forceMethod(std::optional<Method> method);

} // namespace copycore
} // namespace parcelo
