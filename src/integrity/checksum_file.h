#pragma once

#include "integrity/piece_hasher.h"
#include "platform/safe_output.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parcelo {

// The checksum file of a set: base + ".sha256", where base is a piece's path without its
// number ("film.avi" for "film.avi.003").
std::string checksumFilePath(const std::string& setBase);

// One line as sha256sum prints it: "HASH  NAME\n"; a name holding a backslash, a line
// break or a carriage return is escaped and the line starts with a backslash, as
// sha256sum does.
std::string checksumLine(const std::string& hex, const std::string& name);

// The lines for the digests (names without folders), written complete under a temporary
// name for path; the caller commits it.
SafeOutput prepareChecksumFile(const std::string& path,
                               const std::vector<PieceHasher::Digest>& digests);

struct ChecksumEntry {
    std::string name; // as listed, unescaped
    std::string hex;  // 64 lower-case hex digits
};

// What a checksum file lists. It is well formed when every line but blank ones and "#"
// comments is a line sha256sum -c reads (either spacing, a "*" binary mark, the BSD
// "SHA256 (NAME) = HASH" form, upper- or lower-case hex, CR LF endings, a UTF-8 byte-order
// mark at its start), no name is listed twice and it is no larger than the checksum file
// of the largest set; entries then holds every line, in order.
struct ChecksumListing {
    std::vector<ChecksumEntry> entries;
    bool wellFormed = true;
};

// The most bytes a checksum file of the largest set takes: a line for each of 32767
// pieces and 32767 recovery pieces, each name 255 bytes long and every byte escaped.
extern const std::uint64_t kLongestChecksumFile;

ChecksumListing parseChecksumText(std::string_view text);

// The listing of the checksum file at path, read line by line (a larger file than
// kLongestChecksumFile is not read and is not well formed); nothing when there is no such
// file. A file that cannot be read throws RunError.
std::optional<ChecksumListing> readChecksumFile(const std::string& path);

} // namespace parcelo
