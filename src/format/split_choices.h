#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace parcelo {

// The units of the "Split By" size list, in its order.
enum class SizeUnit { Bytes, Kilobytes, Megabytes, Gigabytes, Lines };

// A row of the size list: its unit, its code in the split engine's documented Unit property,
// its caption in the Split pane, its suffix on parcelo-cli's command line ("" when it has
// none), its word in a split's outcome and the bytes one of it stands for (0 for lines).
struct SizeUnitRow {
    SizeUnit unit;
    const char* code;
    const char* caption;
    const char* suffix;
    const char* word;
    double bytes;
};

inline constexpr std::array<SizeUnitRow, 5> kSizeUnits = {{
    {SizeUnit::Bytes, "BT", "Bytes", "B", "Bytes", 1.0},
    {SizeUnit::Kilobytes, "KB", "KiloBytes", "KB", "Kilobytes", 1024.0},
    {SizeUnit::Megabytes, "MB", "MegaBytes", "MB", "Megabytes", 1024.0 * 1024.0},
    {SizeUnit::Gigabytes, "GB", "GigaBytes", "GB", "Gigabytes", 1024.0 * 1024.0 * 1024.0},
    {SizeUnit::Lines, "LN", "Lines", "", "lines", 0.0},
}};

// A ready-made piece size: the number, its unit, its caption in the Split pane, its
// name on parcelo-cli's command line and what it is meant for. The first seven give the
// data bytes of each piece (size times the unit; the header comes on top); the others
// name a limit of today and give the largest piece file, header included (fileBytes).
struct SizePreset {
    double size;
    SizeUnit unit;
    const char* caption;
    const char* name;
    std::uint64_t fileBytes; // 0: size times the unit bytes of data in each piece
    const char* use;         // what the size fits, or ""
};

inline constexpr std::array<SizePreset, 13> kSizePresets = {{
    {1.38, SizeUnit::Megabytes, "1.38 MegaBytes", "1.38MB", 0, "a 1.44 MB diskette"},
    {2.88, SizeUnit::Megabytes, "2.88 MegaBytes", "2.88MB", 0, "a 2.88 MB diskette"},
    {5, SizeUnit::Megabytes, "5 MegaBytes", "5MB", 0, ""},
    {10, SizeUnit::Megabytes, "10 MegaBytes", "10MB", 0, "chat uploads of 10 MB"},
    {100, SizeUnit::Megabytes, "100 MegaBytes", "100MB", 0, ""},
    {650, SizeUnit::Megabytes, "650 MegaBytes", "650MB", 0, "a 650 MB CD"},
    {1, SizeUnit::Gigabytes, "1 GigaByte", "1GB", 0, ""},
    {18, SizeUnit::Megabytes, "18 MegaBytes", "18MB", 18'000'000,
     "a mail attachment, under a 25 MB mail limit once a mail program encodes it in base64 "
     "with line breaks"},
    {700, SizeUnit::Megabytes, "700 MegaBytes", "700MB", 734'003'200,
     "a 700 MB CD, with room for its file system"},
    {2, SizeUnit::Gigabytes, "2 GigaBytes", "2GB", 2'000'000'000, "an upload limit of 2 GB"},
    {4, SizeUnit::Gigabytes, "4 GigaBytes", "4GB", 4'294'967'295,
     "a USB stick formatted FAT32, the largest file FAT32 holds"},
    {4.7, SizeUnit::Gigabytes, "4.7 GigaBytes", "4.7GB", 4'700'000'000, "a DVD"},
    {25, SizeUnit::Gigabytes, "25 GigaBytes", "25GB", 25'000'000'000, "a Blu-ray disc"},
}};

// The data bytes in each piece the preset gives: for a preset of piece files, those less
// the header when the pieces carry one (plain pieces carry none).
double presetDataBytes(const SizePreset& preset, bool plainPieces);

// What the preset gives and fits, with its exact byte counts, as its tooltip and parcelo-
// cli's help say it: "18,000,000 bytes a piece file, header included: a mail attachment:
// ..." or "1,447,035 bytes of data a piece (12 more with the header): a 1.44 MB diskette".
std::string presetDescription(const SizePreset& preset);

// 18000000 -> "18,000,000".
std::string groupedNumber(std::uint64_t value);

// The unit's row in kSizeUnits.
const SizeUnitRow& unitRow(SizeUnit unit);

// The bytes one unit stands for; 0 for lines.
double bytesPerUnit(SizeUnit unit);

// The unit at a list index; fallback when the index is out of the list.
SizeUnit unitAt(int index, SizeUnit fallback);

// The list index of a unit.
int unitIndex(SizeUnit unit);

// The unit of a code ("BT", "KB", "MB", "GB", "LN"), or nullopt.
std::optional<SizeUnit> unitOfCode(const std::string& code);

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
