#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parcelo {

class File;

// Byte-set signatures: the first four bytes of every piece, little-endian.
inline constexpr std::uint32_t PieceSignatureCompressed = 0x5F33E01F;
inline constexpr std::uint32_t PieceSignaturePlain = 0x5F33E020;
inline constexpr std::size_t kPieceHeaderSize = 12;
// What recovery pieces record as the signature of a plain set's pieces, which carry no
// header at all (the pieces are the bytes of the file and nothing else).
inline constexpr std::uint32_t kNoPieceHeader = 0;

// The first line of every piece of a line set.
inline constexpr const char* kLineMarker = "PcxLineBreak9174";
inline constexpr const char* kCrLf = "\r\n";

// A set has at most this many pieces (counts and numbers are 16-bit signed).
inline constexpr int kMaxPieces = 32767;

// The numeric extension of a piece, with its point: 7 -> ".007", 42 -> ".042",
// 123 -> ".123", 1234 -> ".1234".
std::string SplitFileExtension(int pieceNumber);
// The same with at least `width` digits, as other tools number their pieces too:
// (7, 1) -> ".7", (0, 3) -> ".000", (12, 2) -> ".12".
std::string numberedExtension(int number, int width);

// folder + base name + SplitFileExtension(number).
std::string pieceName(const std::string& folder, const std::string& baseName, int pieceNumber);

struct PieceHeader {
    std::uint32_t signature = 0;
    std::int32_t count = 0;
    std::int32_t number = 0;

    bool hasByteSignature() const
    {
        return signature == PieceSignatureCompressed || signature == PieceSignaturePlain;
    }
    bool isCompressed() const { return signature == PieceSignatureCompressed; }
};

// The 12 header bytes: signature, count, number, each 32-bit little-endian.
std::array<unsigned char, kPieceHeaderSize> encodePieceHeader(const PieceHeader& header);
PieceHeader decodePieceHeader(const unsigned char* bytes);

// Read the header at the file's current position. A file shorter than a header reads as
// zeros past its end with the first (a check then names what is wrong) and throws
// RunError 62 with the second.
PieceHeader readPieceHeaderZeroFilled(File& file);
PieceHeader readPieceHeaderOrFail(File& file);

// When the open file's first text line is exactly the line-set marker: the offset of the
// first byte after that line. Otherwise (an empty file too) nullopt.
std::optional<std::uint64_t> markerLineEnd(File& file);
// The numbers above `after` of the pieces basePath + SplitFileExtension(n) in basePath's
// folder that begin with the line-set marker line, in ascending order. Files that are no
// line piece are never among them.
std::vector<int> linePiecesAbove(const std::string& basePath, int after);

std::uint32_t readLittleEndian32(const unsigned char* bytes);
void writeLittleEndian32(unsigned char* bytes, std::uint32_t value);

} // namespace parcelo
