#include "join/line_copy.h"

#include "platform/file.h"

namespace parcelo {

namespace {

constexpr std::size_t kLineBlock = 1 << 16;

} // namespace

void copyLinesAsWritten(File& source, File& target, std::vector<char>& buffer,
                        const std::function<void()>& pulse)
{
    copyBytes(source, target, source.size() - source.position(), kLineBlock, buffer, pulse);
}

} // namespace parcelo
