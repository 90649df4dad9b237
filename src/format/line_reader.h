#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parcelo {

class File;

// Reads a text file line by line: a line ends at CR LF, at a lone CR or at a lone LF,
// none of which is part of it; ending() tells which one ended the last complete line.
// Buffered, so a large file is read in blocks.
class LineReader {
public:
    explicit LineReader(File& file, std::size_t blockSize = 65536);

    // True when every byte has been read.
    bool atEnd();
    // The next line; throws RunError 62 (input past end of file) at the end.
    std::string readLine();
    // Appends at most `limit` more characters of the current line to `part` and returns
    // true when the line is complete (its ending consumed, or the file ended). A long line
    // can so be read in bounded parts. Throws RunError 62 when called at the end.
    bool readLinePart(std::string& part, std::size_t limit);
    // The ending of the last complete line: "\r\n", "\r", "\n", or "" when the file ended
    // the line.
    const char* ending() const { return ending_; }
    // Bytes consumed so far, line endings included.
    std::uint64_t consumed() const { return consumed_; }

private:
    bool fill();

    File& file_;
    std::vector<char> block_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::uint64_t consumed_ = 0;
    const char* ending_ = "";
};

} // namespace parcelo
