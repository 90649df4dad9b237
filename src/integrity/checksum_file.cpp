#include "integrity/checksum_file.h"

#include "format/split_set.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"

#include <cctype>
#include <unordered_set>

namespace parcelo {

namespace {

constexpr std::size_t kHexLength = 64;
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kMostListed = 2 * static_cast<std::size_t>(kMaxPieces);
// Either form with its escape mark, a name of kLongestName bytes all escaped, and room to
// spare for blanks around the parts.
constexpr std::size_t kLongestLine = 1 + kHexLength + 16 + 2 * kLongestName;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kTag = "SHA256";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isHex(std::string_view text)
{
    if (text.size() != kHexLength)
        return false;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// sha256sum's escapes: "\\", "\n" and "\r"; any other use of a backslash is no name.
std::optional<std::string> unescaped(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            out += name[i];
            continue;
        }
        const char next = ++i < name.size() ? name[i] : '\0';
        if (next != '\\' && next != 'n' && next != 'r')
            return std::nullopt;
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
    }
    return out;
}

std::string_view afterBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

// "(NAME) = HASH", the rest of a line "SHA256 (NAME) = HASH"; the name ends at the last ")".
bool splitTagged(std::string_view rest, std::string_view& name, std::string_view& hex)
{
    if (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    const auto close = rest.rfind(')');
    if (rest.empty() || rest.front() != '(' || close == std::string_view::npos)
        return false;
    name = rest.substr(1, close - 1);
    rest = afterBlanks(rest.substr(close + 1));
    if (rest.empty() || rest.front() != '=')
        return false;
    hex = afterBlanks(rest.substr(1));
    return true;
}

// "HASH  NAME", "HASH *NAME" or "HASH NAME".
bool splitPlain(std::string_view line, std::string_view& name, std::string_view& hex)
{
    if (line.size() < kHexLength + 2 || !isBlank(line[kHexLength]))
        return false;
    hex = line.substr(0, kHexLength);
    name = line.substr(kHexLength + 1);
    if (name.size() > 1 && (name.front() == ' ' || name.front() == '*'))
        name.remove_prefix(1);
    return true;
}

// One checksum line, without its line break; nothing for any other line.
std::optional<ChecksumEntry> parseLine(std::string_view line)
{
    line = afterBlanks(line);
    const bool escaped = !line.empty() && line.front() == '\\';
    if (escaped)
        line.remove_prefix(1);
    std::string_view name;
    std::string_view hex;
    const bool split = line.starts_with(kTag) ? splitTagged(line.substr(kTag.size()), name, hex)
                                              : splitPlain(line, name, hex);
    if (!split || !isHex(hex) || name.empty() || name.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::optional<std::string> plain = escaped ? unescaped(name) : std::string(name);
    if (!plain)
        return std::nullopt;
    return ChecksumEntry{std::move(*plain), lowered(hex)};
}

// Takes a checksum file line by line.
class ListingParser {
public:
    // False once the file is known not to be well formed: nothing more need be read.
    bool add(std::string_view line)
    {
        if (first_ && line.starts_with(kByteOrderMark))
            line.remove_prefix(kByteOrderMark.size());
        first_ = false;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.size() > kLongestLine)
            return refuse();
        if (afterBlanks(line).empty() || line.front() == '#')
            return true;
        std::optional<ChecksumEntry> entry = parseLine(line);
        if (!entry || listing_.entries.size() >= kMostListed || !names_.insert(entry->name).second)
            return refuse();
        listing_.entries.push_back(std::move(*entry));
        return true;
    }
    bool refuse()
    {
        listing_.wellFormed = false;
        return false;
    }
    // Hands text on line by line; what follows the last line break waits in pending.
    bool feed(std::string_view text)
    {
        for (auto end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
            pending_.append(text.substr(0, end));
            text.remove_prefix(end + 1);
            if (!add(pending_))
                return false;
            pending_.clear();
        }
        pending_.append(text);
        return pending_.size() <= kLongestLine + kByteOrderMark.size() + 1 || add(pending_);
    }
    // The listing once the text has ended (a last line without a line break counts).
    ChecksumListing finish()
    {
        if (listing_.wellFormed && !pending_.empty())
            add(pending_);
        return std::move(listing_);
    }

private:
    ChecksumListing listing_;
    std::unordered_set<std::string> names_;
    std::string pending_;
    bool first_ = true;
};

} // namespace

const std::uint64_t kLongestChecksumFile = kMostListed * (kLongestLine + 2);

std::string checksumFilePath(const std::string& setBase)
{
    return setBase + ".sha256";
}

std::string checksumLine(const std::string& hex, const std::string& name)
{
    if (name.find_first_of("\\\n\r") == std::string::npos)
        return hex + "  " + name + "\n";
    std::string escaped;
    for (const char c : name)
        escaped += c == '\\'   ? std::string("\\\\")
                   : c == '\n' ? std::string("\\n")
                   : c == '\r' ? std::string("\\r")
                               : std::string(1, c);
    return "\\" + hex + "  " + escaped + "\n";
}

SafeOutput prepareChecksumFile(const std::string& path,
                               const std::vector<PieceHasher::Digest>& digests)
{
    std::string text;
    for (const PieceHasher::Digest& digest : digests) {
        if (digest.hex.empty())
            throw digest.failure.value_or(
                RunError(err::PathFileAccessError,
                         describeRunError(err::PathFileAccessError) + ": " + digest.name));
        text += checksumLine(digest.hex, digest.name);
    }
    removeStaleTemporaries(path);
    SafeOutput output(path);
    output.file().write(text);
    return output;
}

ChecksumListing parseChecksumText(std::string_view text)
{
    ListingParser parser;
    if (text.size() > kLongestChecksumFile)
        parser.refuse();
    else
        parser.feed(text);
    return parser.finish();
}

std::optional<ChecksumListing> readChecksumFile(const std::string& path)
{
    if (!fileExists(path))
        return std::nullopt;
    File file(path, File::Mode::Read);
    ListingParser parser;
    if (file.size() > kLongestChecksumFile) {
        parser.refuse();
        return parser.finish();
    }
    std::string block(std::size_t{1} << 16, '\0');
    std::uint64_t total = 0;
    for (std::size_t got = 0; (got = file.read(block.data(), block.size())) > 0;) {
        total += got;
        if (total > kLongestChecksumFile) { // it grew while it was read
            parser.refuse();
            break;
        }
        if (!parser.feed(std::string_view(block.data(), got)))
            break;
    }
    return parser.finish();
}

} // namespace parcelo
