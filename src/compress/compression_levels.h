#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace parcelo {

// The option button chosen under "Compression level:" in the Options pane.
enum class CompressionLevelOption {
    None,               // no button set
    HighestCompression, // optCLevel1 "Highest Compression (recommended)"
    MediumCompression,  // optCLevel2 "Medium Compression"
    HighestSpeed,       // optCLevel3 "Highest Speed"
};

// A compression level: its option, its name on parcelo-cli's command line and the level
// handed to the compression component.
struct CompressionLevelChoice {
    CompressionLevelOption option;
    const char* name;
    std::int32_t level;
};

inline constexpr std::array<CompressionLevelChoice, 3> kCompressionLevels = {{
    {CompressionLevelOption::HighestCompression, "best", 9},
    {CompressionLevelOption::MediumCompression, "medium", 7},
    {CompressionLevelOption::HighestSpeed, "fast", 2},
}};

// The level handed to the component; the highest compression when no button is set.
std::int32_t CompressionLevelFor(CompressionLevelOption option);

// The option of a level name; nullptr when the name is none of them.
const CompressionLevelChoice* CompressionLevelNamed(const std::string& name);

} // namespace parcelo
