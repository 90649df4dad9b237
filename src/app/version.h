#pragma once

namespace parcelo {

// The program's version, the project's version in CMakeLists.txt: shown in the About box
// and by parcelo-cli --version, and given to the package.
inline constexpr const char* kParceloVersion = PARCELO_VERSION;

inline constexpr const char* kParceloCopyright = "Copyright (C) Norvane. All rights reserved.";
inline constexpr const char* kParceloLicence =
    "Licence: proprietary; provided as is, without warranty of any kind.";

} // namespace parcelo
