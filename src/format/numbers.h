#pragma once

#include <optional>
#include <string>

namespace parcelo {

// The number a text box holds: optional blanks around a decimal number with an optional
// sign; nullopt when the text is not a number.
std::optional<double> parseNumber(const std::string& text);

// A number as text the way the program prints it in messages: up to 15 significant
// digits, no exponent for ordinary sizes, no trailing zeros ("4", "1.46484375",
// "1447034.88").
std::string numberText(double value);

} // namespace parcelo
