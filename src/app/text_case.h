#pragma once

#include <string>

namespace parcelo {

// The text in lower case, as the application shell compares paths without regard to case.
std::string lowerCase(const std::string& text);

// The number of characters (not bytes) of a UTF-8 text.
int characterCount(const std::string& text);

} // namespace parcelo
