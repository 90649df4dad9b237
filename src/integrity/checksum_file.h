#pragma once

#include "integrity/piece_hasher.h"
#include "platform/safe_output.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace parcelo {

// The checksum file of a set: base + ".sha256", where base is a piece's path without its
// number ("film.avi" for "film.avi.003").
std::string checksumFilePath(const std::string& setBase);

// One line as sha256sum prints it: "HASH  NAME\n"; a name holding a backslash or a line
// break is escaped and the line starts with a backslash, as sha256sum does.
std::string checksumLine(const std::string& hex, const std::string& name);

// The lines for the digests (names without folders), written complete under a temporary
// name for path; the caller commits it.
SafeOutput prepareChecksumFile(const std::string& path,
                               const std::vector<PieceHasher::Digest>& digests);

// The (name, hash) pairs of a checksum file, in order; nothing when there is no such file.
// Lines that are not checksum lines are skipped; a file that cannot be read throws RunError.
std::optional<std::vector<std::pair<std::string, std::string>>>
readChecksumFile(const std::string& path);

} // namespace parcelo
