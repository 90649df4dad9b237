#include "format/split_set.h"

#include "platform/file.h"

#include <cstdio>

namespace parcelo {

std::string SplitFileExtension(int pieceNumber)
{
    char text[16];
    std::snprintf(text, sizeof text, ".%03d", pieceNumber);
    return text;
}

std::string pieceName(const std::string& folder, const std::string& baseName, int pieceNumber)
{
    return folder + baseName + SplitFileExtension(pieceNumber);
}

std::uint32_t readLittleEndian32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8
           | static_cast<std::uint32_t>(bytes[2]) << 16
           | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void writeLittleEndian32(unsigned char* bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::array<unsigned char, kPieceHeaderSize> encodePieceHeader(const PieceHeader& header)
{
    std::array<unsigned char, kPieceHeaderSize> bytes{};
    writeLittleEndian32(bytes.data(), header.signature);
    writeLittleEndian32(bytes.data() + 4, static_cast<std::uint32_t>(header.count));
    writeLittleEndian32(bytes.data() + 8, static_cast<std::uint32_t>(header.number));
    return bytes;
}

PieceHeader decodePieceHeader(const unsigned char* bytes)
{
    PieceHeader header;
    header.signature = readLittleEndian32(bytes);
    header.count = static_cast<std::int32_t>(readLittleEndian32(bytes + 4));
    header.number = static_cast<std::int32_t>(readLittleEndian32(bytes + 8));
    return header;
}

PieceHeader readPieceHeader(File& file)
{
    std::array<unsigned char, kPieceHeaderSize> bytes{};
    file.read(bytes.data(), bytes.size());
    return decodePieceHeader(bytes.data());
}

} // namespace parcelo
