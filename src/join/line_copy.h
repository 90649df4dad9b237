#pragma once

#include <functional>
#include <vector>

namespace parcelo {

class File;

// Copies the text from the source's current position to its end into the target as it
// stands: every line keeps the ending it has in the piece (CR LF, CR or LF), so the joined
// file is the split source byte for byte. Reads in bounded blocks, so a line of any length
// takes no more memory; pulse runs once per block, so a host can handle its events.
void copyLinesAsWritten(File& source, File& target, std::vector<char>& buffer,
                        const std::function<void()>& pulse);

} // namespace parcelo
