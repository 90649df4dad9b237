#include "format/split_choices.h"

#include "format/split_set.h"

#include <algorithm>
#include <cmath>

namespace parcelo {

// A unit's list index is its value: the rows stand in the order of the enum.
static_assert([] {
    for (std::size_t i = 0; i < kSizeUnits.size(); ++i)
        if (static_cast<std::size_t>(kSizeUnits[i].unit) != i)
            return false;
    return true;
}());

const SizeUnitRow& unitRow(SizeUnit unit)
{
    return kSizeUnits[static_cast<std::size_t>(unitIndex(unit))];
}

double bytesPerUnit(SizeUnit unit)
{
    return unitRow(unit).bytes;
}

SizeUnit unitAt(int index, SizeUnit fallback)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kSizeUnits.size())
        return fallback;
    return kSizeUnits[static_cast<std::size_t>(index)].unit;
}

int unitIndex(SizeUnit unit)
{
    return static_cast<int>(unit);
}

std::optional<SizeUnit> unitOfCode(const std::string& code)
{
    for (const SizeUnitRow& row : kSizeUnits)
        if (code == row.code)
            return row.unit;
    return std::nullopt;
}

const SizePreset& presetAt(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kSizePresets.size())
        return kSizePresets[0];
    return kSizePresets[static_cast<std::size_t>(index)];
}

double presetDataBytes(const SizePreset& preset, bool plainPieces)
{
    if (preset.fileBytes == 0)
        return preset.size * bytesPerUnit(preset.unit);
    return static_cast<double>(preset.fileBytes - (plainPieces ? 0 : kPieceHeaderSize));
}

std::string groupedNumber(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

std::string presetDescription(const SizePreset& preset)
{
    std::string text;
    if (preset.fileBytes != 0) {
        text = groupedNumber(preset.fileBytes) + " bytes a piece file, header included";
    } else {
        const auto data = static_cast<std::uint64_t>(std::nearbyint(presetDataBytes(preset, true)));
        text = groupedNumber(data) + " bytes of data a piece (" + std::to_string(kPieceHeaderSize)
               + " more with the header)";
    }
    const std::string use = preset.use;
    return use.empty() ? text : text + ": " + use;
}

std::optional<RecoveryChoice> parseRecoveryChoice(std::string text)
{
    const bool percent = text.ends_with('%');
    if (percent)
        text.pop_back();
    if (text.empty() || text.size() > 5
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int count = std::stoi(text);
    if (count > (percent ? 100 : kMaxPieces))
        return std::nullopt;
    return RecoveryChoice{count, percent};
}

} // namespace parcelo
