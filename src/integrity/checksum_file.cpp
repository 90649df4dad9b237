#include "integrity/checksum_file.h"

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"

#include <cctype>
#include <sstream>

namespace parcelo {

namespace {

constexpr std::size_t kHexLength = 64;

bool isHex(const std::string& text)
{
    if (text.size() != kHexLength)
        return false;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string unescaped(const std::string& name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 1 < name.size()) {
            ++i;
            out += name[i] == 'n' ? '\n' : name[i];
        } else {
            out += name[i];
        }
    }
    return out;
}

// One line "HASH  NAME" (or "HASH *NAME" for binary mode); nothing for any other line.
std::optional<std::pair<std::string, std::string>> parseLine(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const bool escaped = !line.empty() && line.front() == '\\';
    if (escaped)
        line.erase(0, 1);
    if (line.size() < kHexLength + 3 || line[kHexLength] != ' '
        || (line[kHexLength + 1] != ' ' && line[kHexLength + 1] != '*'))
        return std::nullopt;
    const std::string hex = line.substr(0, kHexLength);
    if (!isHex(hex))
        return std::nullopt;
    std::string name = line.substr(kHexLength + 2);
    return std::make_pair(escaped ? unescaped(name) : name, lowered(hex));
}

} // namespace

std::string checksumFilePath(const std::string& setBase)
{
    return setBase + ".sha256";
}

std::string checksumLine(const std::string& hex, const std::string& name)
{
    if (name.find_first_of("\\\n") == std::string::npos)
        return hex + "  " + name + "\n";
    std::string escaped;
    for (const char c : name)
        escaped += c == '\\'   ? std::string("\\\\")
                   : c == '\n' ? std::string("\\n")
                               : std::string(1, c);
    return "\\" + hex + "  " + escaped + "\n";
}

SafeOutput prepareChecksumFile(const std::string& path,
                               const std::vector<PieceHasher::Digest>& digests)
{
    std::string text;
    for (const PieceHasher::Digest& digest : digests) {
        if (digest.hex.empty())
            throw RunError(err::DeviceIoError, digest.error);
        text += checksumLine(digest.hex, digest.name);
    }
    removeStaleTemporaries(path);
    SafeOutput output(path);
    output.file().write(text);
    return output;
}

std::optional<std::vector<std::pair<std::string, std::string>>>
readChecksumFile(const std::string& path)
{
    if (!fileExists(path))
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> entries;
    std::istringstream lines(readWholeFile(path)); // one that cannot be read says so
    std::string line;
    while (std::getline(lines, line)) {
        if (auto entry = parseLine(line))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

} // namespace parcelo
