#pragma once

#include <string>

namespace parcelo {

// The text in lower case, as the application shell compares paths without regard to case.
std::string lowerCase(const std::string& text);

} // namespace parcelo
