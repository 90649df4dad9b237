#include "format/line_reader.h"

#include "platform/file.h"
#include "platform/run_error.h"

namespace parcelo {

LineReader::LineReader(File& file, std::size_t blockSize) : file_(file), block_(blockSize) {}

bool LineReader::fill()
{
    if (begin_ < end_)
        return true;
    begin_ = 0;
    end_ = file_.read(block_.data(), block_.size());
    return end_ > 0;
}

bool LineReader::atEnd() { return !fill(); }

std::string LineReader::readLine()
{
    if (!fill())
        throw RunError(err::InputPastEndOfFile);
    std::string line;
    while (fill()) {
        const char c = block_[begin_++];
        ++consumed_;
        if (c != '\r') {
            line += c;
            continue;
        }
        if (fill() && block_[begin_] == '\n') {
            ++begin_;
            ++consumed_;
        }
        break;
    }
    return line;
}

} // namespace parcelo
