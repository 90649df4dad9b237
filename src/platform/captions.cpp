#include "platform/captions.h"

#include "platform/host.h"

namespace parcelo {

namespace {
bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
} // namespace

std::size_t characterCount(const std::string& text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += isContinuationByte(c) ? 0 : 1;
    return count;
}

std::string lastCharacters(const std::string& text, std::size_t count)
{
    std::size_t at = text.size();
    for (std::size_t seen = 0; at > 0 && seen < count;) {
        --at;
        if (!isContinuationByte(text[at]))
            ++seen;
    }
    return text.substr(at);
}

std::string pathCaption(const std::string& prefix, const std::string& path, std::size_t longest,
                        std::size_t tail)
{
    std::string whole = prefix + path;
    if (characterCount(whole) <= longest)
        return whole;
    return prefix + "..." + lastCharacters(path, tail);
}

std::string cancelProcessQuestion()
{
    return std::string("This action will cancel the process completely.") + CR
           + "Are you sure you want to cancel the process?";
}

} // namespace parcelo
