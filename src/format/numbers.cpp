#include "format/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace parcelo {

std::optional<double> parseNumber(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    const auto last = text.find_last_not_of(' ');
    std::string body = text.substr(first, last - first + 1);
    if (!body.empty() && body[0] == '+')
        body.erase(0, 1);
    double value = 0;
    const char* end = body.data() + body.size();
    const auto result = std::from_chars(body.data(), end, value, std::chars_format::fixed);
    if (body.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string numberText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

} // namespace parcelo
