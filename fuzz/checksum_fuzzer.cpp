// Reads any bytes as a checksum file. Nothing may crash, hang, leak or grow past the
// bounds of the largest set; a well-formed listing names each file once with 64
// lower-case hex digits, and every entry written back as a line reads back alike.
#include "integrity/checksum_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

namespace {

using namespace parcelo;

// The longest line written back that must read back: a name of 255 bytes, each escaped.
constexpr std::size_t kLongestWrittenLine = 1 + 64 + 2 + 2 * 255 + 1;

bool isLowerHex(const std::string& hex)
{
    if (hex.size() != 64)
        return false;
    for (const char c : hex)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ChecksumListing listing = parseChecksumText(text);
    if (!listing.wellFormed)
        return 0;
    std::set<std::string> names;
    for (const ChecksumEntry& entry : listing.entries) {
        if (entry.name.empty() || !isLowerHex(entry.hex) || !names.insert(entry.name).second)
            std::abort();
        const std::string line = checksumLine(entry.hex, entry.name);
        if (line.size() > kLongestWrittenLine)
            continue;
        const ChecksumListing again = parseChecksumText(line);
        if (!again.wellFormed || again.entries.size() != 1 || again.entries[0].name != entry.name
            || again.entries[0].hex != entry.hex)
            std::abort();
    }
    return 0;
}
