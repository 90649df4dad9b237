#pragma once

#include "temp_folder.h"

#include "format/split_set.h"
#include "integrity/checksum_file.h"
#include "integrity/sha256.h"
#include "platform/paths.h"

#include <cstdint>
#include <string>
#include <vector>

namespace parcelo::test {

// Writes pieces by the split-set format, so join and verify tests need no split engine.

// One byte piece: the 12-byte header, then the data.
inline void writeBytePiece(const std::string& path, std::uint32_t signature, std::int32_t count,
                           std::int32_t number, const std::string& data)
{
    const auto header = encodePieceHeader({signature, count, number});
    writeFile(path, std::string(header.begin(), header.end()) + data);
}

// A byte set of `data` in pieces of `pieceSize` data bytes: base + ".001" and on.
// Returns the piece paths.
inline std::vector<std::string> writeByteSet(const std::string& base, const std::string& data,
                                             std::size_t pieceSize, bool compressed = false)
{
    const auto count = static_cast<std::int32_t>((data.size() + pieceSize - 1) / pieceSize);
    std::vector<std::string> paths;
    for (std::int32_t i = 1; i <= count; ++i) {
        paths.push_back(base + SplitFileExtension(i));
        writeBytePiece(paths.back(), compressed ? PieceSignatureCompressed : PieceSignaturePlain,
                       count, i, data.substr((i - 1) * pieceSize, pieceSize));
    }
    return paths;
}

// A line set, one piece per entry: base + ".001" and on, each the marker line and its
// lines, each followed by CR LF. Returns the piece paths.
inline std::vector<std::string> writeLineSet(const std::string& base,
                                             const std::vector<std::vector<std::string>>& pieces)
{
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::string text = std::string(kLineMarker) + kCrLf;
        for (const auto& line : pieces[i])
            text += line + kCrLf;
        paths.push_back(base + SplitFileExtension(static_cast<int>(i + 1)));
        writeFile(paths.back(), text);
    }
    return paths;
}

// A plain set of `data` in pieces of `pieceSize` bytes, no header, and the checksum file
// that names it, as a split writes them: base + ".001" and on. Returns the piece paths.
inline std::vector<std::string> writePlainSet(const std::string& base, const std::string& data,
                                              std::size_t pieceSize)
{
    std::vector<std::string> paths;
    std::string sums;
    for (std::size_t at = 0; at < data.size(); at += pieceSize) {
        paths.push_back(base + SplitFileExtension(static_cast<int>(paths.size() + 1)));
        writeFile(paths.back(), data.substr(at, pieceSize));
        sums += checksumLine(sha256OfFile(paths.back()), GetFileNameFromPath(paths.back()));
    }
    writeFile(checksumFilePath(base), sums);
    return paths;
}

} // namespace parcelo::test
