#pragma once

namespace parcelo {

// The program's version, shown in the About box and by parcelo-cli --version.
inline constexpr const char* kParceloVersion = "1.2";

} // namespace parcelo
