#pragma once

#include <cstddef>
#include <string>

namespace parcelo {

// Characters (not bytes) in a UTF-8 text.
std::size_t characterCount(const std::string& text);

// The last `count` characters of a UTF-8 text, never cutting one in two.
std::string lastCharacters(const std::string& text, std::size_t count);

// A status caption naming a path: prefix + path while that stays within `longest`
// characters, otherwise prefix + "..." + the path's last `tail` characters.
std::string pathCaption(const std::string& prefix, const std::string& path, std::size_t longest,
                        std::size_t tail);

// The question every cancel of a long operation asks before it gives up.
std::string cancelProcessQuestion();

} // namespace parcelo
