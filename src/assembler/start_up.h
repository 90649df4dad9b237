#pragma once

#include "assembler/frm_main.h"

#include <memory>
#include <string>

namespace parcelo::assembler {

// The file pattern of the first piece of a set.
inline constexpr const char* kFirstPiecePattern = "*.001";

// Parcelo Assembler's start: the program-wide values, the first piece beside the program
// (appFolder, without a final separator) in the source box, the joined file's folder for
// it as the destination, and the window shown. With no first piece there (the installed
// program, say) both boxes start empty.
std::unique_ptr<frmMain> Main(const std::string& appFolder, const AssemblerServices& services);

} // namespace parcelo::assembler
