#pragma once

namespace parcelo {

// The program's version, the project's version in CMakeLists.txt (the package's too), shown
// in the About box and by parcelo-cli --version: "1.2.0".
extern const char* const kParceloVersion;

inline constexpr const char* kParceloCopyright = "Copyright (C) Norvane. All rights reserved.";

// The licence in one phrase, as packaging/copyright states it in full, and its warranty;
// whoever shows them puts "Licence: " before the phrase (parcelo-cli --version, About).
inline constexpr const char* kParceloLicence =
    "freeware: free of charge, may be copied whole and unchanged";
inline constexpr const char* kParceloWarranty = "Provided as is, without warranty of any kind.";

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
    {"libdeflate", "MIT", false},
    {"OpenSSL 3", "Apache-2.0", true},
};

} // namespace parcelo
