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

// The colon repair of a typed path. On Windows a path whose second character is not ":"
// gets one after its first character (C\data -> C:\data), except UNC paths (\\server);
// elsewhere paths have no drive letters and stay as typed.
std::string repairPathColon(const std::string& path);

// The repair by the rules of a system with drive letters (true) or without (false).
std::string repairPathColon(const std::string& path, bool driveLetters);

} // namespace parcelo
