#include "join/line_copy.h"

#include "platform/file.h"

#include <cstring>
#include <string>

namespace parcelo {

namespace {

constexpr std::size_t kLineBlock = 1 << 16;

// The lines of one block turned into CR LF lines, carrying across blocks whether a CR
// ended the previous block (its LF may start the next) and whether a line is open.
class CrLfWriter {
public:
    CrLfWriter(File& target, const std::function<void()>& afterLine)
        : target_(target), afterLine_(afterLine)
    {
    }

    void add(const char* data, std::size_t size)
    {
        std::string out;
        out.reserve(size + size / 8 + 2);
        std::size_t at = 0;
        if (size > 0 && pendingCr_ && data[0] == '\n')
            at = 1;
        pendingCr_ = false;
        while (at < size) {
            const void* found = std::memchr(data + at, '\r', size - at);
            const std::size_t end =
                found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - data)
                                 : size;
            out.append(data + at, end - at);
            lineOpen_ = lineOpen_ || end > at;
            if (found == nullptr)
                break;
            endLine(out);
            at = end + 1;
            if (at < size && data[at] == '\n')
                ++at;
            else if (at == size)
                pendingCr_ = true;
        }
        target_.write(out.data(), out.size());
    }

    void finish()
    {
        if (!lineOpen_)
            return;
        std::string out;
        endLine(out);
        target_.write(out.data(), out.size());
    }

private:
    void endLine(std::string& out)
    {
        out += "\r\n";
        lineOpen_ = false;
        if (afterLine_)
            afterLine_();
    }

    File& target_;
    const std::function<void()>& afterLine_;
    bool pendingCr_ = false;
    bool lineOpen_ = false;
};

} // namespace

void copyLinesAsCrLf(File& source, File& target, std::vector<char>& buffer,
                     const std::function<void()>& pulse)
{
    if (buffer.size() < kLineBlock)
        buffer.resize(kLineBlock);
    CrLfWriter writer(target, pulse);
    for (;;) {
        const std::size_t got = source.read(buffer.data(), kLineBlock);
        if (got == 0)
            break;
        writer.add(buffer.data(), got);
        if (pulse)
            pulse();
    }
    writer.finish();
}

} // namespace parcelo
