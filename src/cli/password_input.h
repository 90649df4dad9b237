#pragma once

#include "platform/password.h"

#include <cstdio>
#include <string>

namespace parcelo::cli {

// The longest password a file or the terminal may give, in bytes.
inline constexpr std::size_t kLongestPassword = 1024;

// Shows prompt on out and reads one line from the terminal `in` (without its line end)
// while the terminal does not echo what is typed: the echo goes off, and what was typed
// ahead is dropped, before the prompt shows; it comes back whatever happens. False at the
// end of input, on a signal (Ctrl-C) or for a line over kLongestPassword bytes.
bool readHiddenLine(std::FILE* in, std::FILE* out, const std::string& prompt, Password& password);

// The first line of the file at path, without its line end. Throws RunError naming the
// file and the reason when it cannot be read, is empty (or starts with an empty line), or
// its first line is over kLongestPassword bytes; no more than that is ever read.
Password passwordFromFile(const std::string& path);

} // namespace parcelo::cli
