#pragma once

#include <string>
#include <vector>

namespace parcelo {

// The four numbered lines that tell a recipient how to use Parcelo Assembler; the last
// names the support address and the maker's web page.
std::vector<std::string> assemblerInstructionLines(const std::string& makerWebPage);

// The note that Parcelo Assembler cannot decompress.
std::string assemblerNote(const std::string& makerWebPage);

} // namespace parcelo
