#pragma once

namespace parcelo {

// The program's version, the project's version in CMakeLists.txt (the package's too), shown
// in the About box and by parcelo-cli --version: "1.2.0".
extern const char* const kParceloVersion;

// The terms Parcelo is given under, as the About box names them.
inline constexpr const char* kParceloLicence =
    "freeware: free of charge to use and to pass on whole and unchanged, without warranty";

// A library the programs are built with, and its licence as its Debian package names it.
struct ThirdPartyLibrary {
    const char* name;
    const char* licence;
    bool inJoiner; // Parcelo Assembler links it too
};

inline constexpr ThirdPartyLibrary kThirdPartyLibraries[] = {
    {"Qt 6", "LGPL-3.0 or GPL-2.0", true},
    {"libzip", "BSD-3-Clause", false},
    {"zlib", "Zlib", true},
    {"ISA-L", "BSD-3-Clause", true},
    {"OpenSSL 3", "Apache-2.0", true},
};

} // namespace parcelo
