#pragma once

namespace parcelo {

// The program's version, the project's version in CMakeLists.txt: shown in the About box
// and by parcelo-cli --version, and given to the package.
inline constexpr const char* kParceloVersion = PARCELO_VERSION;

inline constexpr const char* kParceloCopyright = "Copyright (C) Norvane. All rights reserved.";

// The licence in one phrase, as packaging/copyright states it in full, and its warranty;
// whoever shows them puts "Licence: " before the phrase (parcelo-cli --version, About).
inline constexpr const char* kParceloLicence =
    "freeware: free of charge, may be copied whole and unchanged";
inline constexpr const char* kParceloWarranty = "Provided as is, without warranty of any kind.";

} // namespace parcelo
