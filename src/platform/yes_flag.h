#pragma once

#include <string>

namespace parcelo {

// The engines' documented flag properties (Compressed, TempCompressedFile, LineMode) read
// "Yes" when set and "" when not. Only those getters and setters use the text; everything
// else keeps the flags as bools.
inline std::string yesFlag(bool set)
{
    return set ? "Yes" : "";
}

inline bool isYesFlag(const std::string& flag)
{
    return flag == "Yes";
}

} // namespace parcelo
