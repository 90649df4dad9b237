#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parcelo::test {

// Writes pieces by the split-set format, so join and verify tests need no split engine.

// One byte piece: the 12-byte header, then the data.
void writeBytePiece(const std::string& path, std::uint32_t signature, std::int32_t count,
                    std::int32_t number, const std::string& data);

// A byte set of `data` in pieces of `pieceSize` data bytes: base + ".001" and on.
// Returns the piece paths.
std::vector<std::string> writeByteSet(const std::string& base, const std::string& data,
                                      std::size_t pieceSize, bool compressed = false);

// One line piece: the marker line, then each line followed by CR LF.
std::string linePiece(const std::vector<std::string>& lines);

// A line set, one piece per entry: base + ".001" and on. Returns the piece paths.
std::vector<std::string> writeLineSet(const std::string& base,
                                      const std::vector<std::vector<std::string>>& pieces);

} // namespace parcelo::test
