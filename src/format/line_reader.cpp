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

bool LineReader::atEnd()
{
    return !fill();
}

std::string LineReader::readLine()
{
    std::string line;
    readLinePart(line, std::string::npos);
    return line;
}

bool LineReader::readLinePart(std::string& part, std::size_t limit)
{
    if (!fill())
        throw RunError(err::InputPastEndOfFile);
    for (std::size_t taken = 0;; ++taken) {
        if (!fill()) {
            ending_ = ""; // a last line without an ending
            return true;
        }
        if (taken == limit)
            return false;
        const char c = block_[begin_++];
        ++consumed_;
        if (c == '\n') {
            ending_ = "\n";
            return true;
        }
        if (c != '\r') {
            part += c;
            continue;
        }
        ending_ = "\r";
        if (fill() && block_[begin_] == '\n') {
            ++begin_;
            ++consumed_;
            ending_ = "\r\n";
        }
        return true;
    }
}

} // namespace parcelo
