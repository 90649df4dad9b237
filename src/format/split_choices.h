#pragma once

#include <array>
#include <optional>
#include <string>

namespace parcelo {

// A unit of the "Split By" size list: its code in split requests, its caption in the
// Split pane, its suffix on parcelo-cli's command line ("" when it has none) and the
// bytes one of it stands for (0 for lines).
struct SizeUnit {
    const char* code;
    const char* caption;
    const char* suffix;
    double bytes;
};

inline constexpr std::array<SizeUnit, 5> kSizeUnits = {{
    {"BT", "Bytes", "B", 1.0},
    {"KB", "KiloBytes", "KB", 1024.0},
    {"MB", "MegaBytes", "MB", 1024.0 * 1024.0},
    {"GB", "GigaBytes", "GB", 1024.0 * 1024.0 * 1024.0},
    {"LN", "Lines", "", 0.0},
}};

inline constexpr const char* kLinesUnit = "LN";

// A ready-made piece size: the number, its unit code, its caption in the Split pane and
// its name on parcelo-cli's command line.
struct SizePreset {
    double size;
    const char* unit;
    const char* caption;
    const char* name;
};

inline constexpr std::array<SizePreset, 7> kSizePresets = {{
    {1.38, "MB", "1.38 MegaBytes", "1.38MB"},
    {2.88, "MB", "2.88 MegaBytes", "2.88MB"},
    {5, "MB", "5 MegaBytes", "5MB"},
    {10, "MB", "10 MegaBytes", "10MB"},
    {100, "MB", "100 MegaBytes", "100MB"},
    {650, "MB", "650 MegaBytes", "650MB"},
    {1, "GB", "1 GigaByte", "1GB"},
}};

// The bytes one unit stands for; 0 for lines and unknown codes.
double bytesPerUnit(const std::string& unit);

// The unit code at a list index; fallback when the index is out of the list.
const char* unitCodeAt(int index, const char* fallback);

// The list index of a unit code, or -1.
int unitIndexOf(const std::string& code);

// The preset at a list index; the first preset when the index is out of the list.
const SizePreset& presetAt(int index);

// The recovery pieces a byte split is asked for: count of them, or count percent of the
// piece count. Written "N" or "N%" in the Split pane, on parcelo-cli's command line and in
// the configuration file.
struct RecoveryChoice {
    int count = 0;
    bool percent = false;
};

// Reads "N" (0 to the most pieces a set has) or "N%" (up to 100); nullopt for anything else.
std::optional<RecoveryChoice> parseRecoveryChoice(std::string text);

} // namespace parcelo
