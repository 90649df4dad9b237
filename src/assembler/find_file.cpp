#include "assembler/find_file.h"

#include "platform/paths.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace parcelo::assembler {

namespace {

bool sameLetter(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a))
           == std::tolower(static_cast<unsigned char>(b));
}

} // namespace

bool matchesPattern(const std::string& name, const std::string& pattern)
{
    // Greedy match with one back-track point: the last "*" seen.
    std::size_t n = 0, p = 0;
    std::size_t starAt = std::string::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || sameLetter(pattern[p], name[n]))) {
            ++n;
            ++p;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool FindFileInFolder(const std::string& folder, const std::string& pattern, std::string& fileName)
{
    try {
        std::error_code error;
        std::filesystem::directory_iterator entries(toNativePath(folder), error);
        for (; !error && entries != std::filesystem::directory_iterator();
             entries.increment(error)) {
            std::string name = fromNativePath(entries->path().filename());
            std::error_code kindError;
            if (!matchesPattern(TrimAtNull(name), pattern) || !entries->is_regular_file(kindError))
                continue;
            fileName = name;
            return true;
        }
    } catch (const std::exception&) {
        // a folder that cannot be named or read holds nothing to find
    }
    return false;
}

std::string& TrimAtNull(std::string& text)
{
    if (const auto end = text.find('\0'); end != std::string::npos)
        text.erase(end);
    return text;
}

} // namespace parcelo::assembler
