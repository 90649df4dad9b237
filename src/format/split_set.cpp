#include "format/split_set.h"

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace parcelo {

std::string SplitFileExtension(int pieceNumber)
{
    return numberedExtension(pieceNumber, 3);
}

std::string numberedExtension(int number, int width)
{
    char text[32];
    std::snprintf(text, sizeof text, ".%0*d", width, number);
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

PieceHeader readPieceHeaderZeroFilled(File& file)
{
    std::array<unsigned char, kPieceHeaderSize> bytes{};
    file.read(bytes.data(), bytes.size());
    return decodePieceHeader(bytes.data());
}

PieceHeader readPieceHeaderOrFail(File& file)
{
    std::array<unsigned char, kPieceHeaderSize> bytes{};
    file.readExact(bytes.data(), bytes.size());
    return decodePieceHeader(bytes.data());
}

std::optional<std::uint64_t> markerLineEnd(File& file)
{
    // The marker and what follows it: a CR, and the LF of a CR LF.
    const std::size_t markerLength = std::strlen(kLineMarker);
    std::array<char, 32> bytes{};
    const std::size_t got = file.read(bytes.data(), markerLength + 2);
    if (got < markerLength || std::memcmp(bytes.data(), kLineMarker, markerLength) != 0)
        return std::nullopt;
    if (got == markerLength)
        return markerLength;
    if (bytes[markerLength] != '\r')
        return std::nullopt; // the first line goes on after the marker
    const bool crLf = got > markerLength + 1 && bytes[markerLength + 1] == '\n';
    return markerLength + (crLf ? 2 : 1);
}

namespace {

// The piece number of a file name base + "." + digits, when the digits are exactly the
// extension a split gives that number; otherwise 0.
int pieceNumberAfter(const std::string& name, const std::string& base)
{
    if (name.size() <= base.size() + 1 || name.compare(0, base.size(), base) != 0
        || name[base.size()] != '.')
        return 0;
    const std::string digits = name.substr(base.size() + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int number = std::stoi(digits);
    if (number < 1 || number > kMaxPieces || SplitFileExtension(number) != "." + digits)
        return 0;
    return number;
}

bool beginsWithMarker(const std::string& path)
{
    try {
        File file(path, File::Mode::Read);
        return markerLineEnd(file).has_value();
    } catch (const RunError&) {
        return false;
    }
}

} // namespace

std::vector<int> linePiecesAbove(const std::string& basePath, int after)
{
    const std::filesystem::path native = toNativePath(basePath);
    const std::filesystem::path folder =
        native.has_parent_path() ? native.parent_path() : std::filesystem::path(".");
    const std::string base = native.filename().string();
    std::vector<int> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const int number = pieceNumberAfter(it->path().filename().string(), base);
        if (number > after && beginsWithMarker(basePath + SplitFileExtension(number)))
            found.push_back(number);
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace parcelo
