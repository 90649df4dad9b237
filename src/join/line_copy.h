#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace parcelo {

class File;

// Copies the text from the source's current position to its end into the target, each
// line followed by CR LF: a line ends at CR LF or at a lone CR, a lone LF stays inside
// its line, and a last line without an ending gets one. Reads in blocks of the buffer's
// size, so a line of any length takes no more memory. pulse runs once per line written
// and once per block, so a host can handle its events however long the lines are.
void copyLinesAsCrLf(File& source, File& target, std::vector<char>& buffer,
                     const std::function<void()>& pulse);

} // namespace parcelo
