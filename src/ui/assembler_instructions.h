#pragma once

#include <string>
#include <vector>

namespace parcelo {

// The joiner's file name beside the main program; the texts that tell people to copy or
// run it name this file.
#ifdef _WIN32
inline constexpr const char* kAssemblerProgram = "PcxAssembler.exe";
#else
inline constexpr const char* kAssemblerProgram = "PcxAssembler";
#endif

// The numbered lines that tell a recipient how to use Parcelo Assembler (the fourth names
// the support address and the maker's web page) and how to join with the join scripts.
std::vector<std::string> assemblerInstructionLines(const std::string& makerWebPage);

// The note that Parcelo Assembler cannot decompress.
std::string assemblerNote(const std::string& makerWebPage);

} // namespace parcelo
