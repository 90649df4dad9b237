#pragma once

#include "platform/host.h"

#include <string>

namespace parcelo::assembler {

// The maker's home page; the product and support pages are addresses on its site.
inline constexpr const char* kMakerWebPage = "https://www.norvane.example/";

// The program-wide values Parcelo Assembler sets at start.
struct AssemblerValues {
    std::string ProductName = kProductName;
    std::string AssemblerVersion = "1.1";
    std::string AssemblerDescription = "This is Parcelo Assembler.";
    std::string MakerWebPage = kMakerWebPage;
    std::string ProductWebPage;
    std::string SupportWebPage;
    // The first piece found beside the program (no folder), or "".
    std::string FirstPieceName;
};

// The values with the web pages filled from the maker's site.
AssemblerValues assemblerValues();

} // namespace parcelo::assembler
