#pragma once

#include <string>

namespace parcelo::assembler {

// Looks once through the folder for a file whose name matches the pattern ("*" any run
// of characters, "?" any one; letters in either case) and takes the first match in the
// order the file system lists them. On a match sets fileName to the name (no folder) and
// returns true; otherwise leaves fileName unchanged and returns false. Folders never
// match, and a folder that cannot be read holds no match.
bool FindFileInFolder(const std::string& folder, const std::string& pattern, std::string& fileName);

// True when the whole name matches the pattern, by the rules of FindFileInFolder.
bool matchesPattern(const std::string& name, const std::string& pattern);

// Cuts the text before its first character 0, in place, and returns the result.
std::string& TrimAtNull(std::string& text);

} // namespace parcelo::assembler
