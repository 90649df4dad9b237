#include "format/split_choices.h"

#include "format/split_set.h"

#include <algorithm>

namespace parcelo {

double bytesPerUnit(const std::string& unit)
{
    const int index = unitIndexOf(unit);
    return index < 0 ? 0.0 : kSizeUnits[static_cast<std::size_t>(index)].bytes;
}

const char* unitCodeAt(int index, const char* fallback)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kSizeUnits.size())
        return fallback;
    return kSizeUnits[static_cast<std::size_t>(index)].code;
}

int unitIndexOf(const std::string& code)
{
    for (std::size_t i = 0; i < kSizeUnits.size(); ++i)
        if (code == kSizeUnits[i].code)
            return static_cast<int>(i);
    return -1;
}

const SizePreset& presetAt(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kSizePresets.size())
        return kSizePresets[0];
    return kSizePresets[static_cast<std::size_t>(index)];
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
