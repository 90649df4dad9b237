#include "compress/compression_levels.h"

namespace parcelo {

std::int32_t CompressionLevelFor(CompressionLevelOption option)
{
    for (const CompressionLevelChoice& choice : kCompressionLevels)
        if (choice.option == option)
            return choice.level;
    return kCompressionLevels[0].level;
}

const CompressionLevelChoice* CompressionLevelNamed(const std::string& name)
{
    for (const CompressionLevelChoice& choice : kCompressionLevels)
        if (name == choice.name)
            return &choice;
    return nullptr;
}

} // namespace parcelo
