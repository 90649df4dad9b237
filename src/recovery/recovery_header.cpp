#include "recovery/recovery.h"

#include "format/split_set.h"
#include "platform/file.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace parcelo {

namespace {

constexpr char kMagic[8] = {'P', 'c', 'x', 'R', 'e', 'c', '0', '1'};
constexpr std::size_t kFixedPart = 64;

void putU64(unsigned char* at, std::uint64_t value)
{
    writeLittleEndian32(at, static_cast<std::uint32_t>(value));
    writeLittleEndian32(at + 4, static_cast<std::uint32_t>(value >> 32));
}

std::uint64_t getU64(const unsigned char* at)
{
    return readLittleEndian32(at) | (std::uint64_t{readLittleEndian32(at + 4)} << 32);
}

std::uint32_t crcOf(const unsigned char* bytes, std::size_t size)
{
    return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), bytes, static_cast<uInt>(size)));
}

int ceilDiv(int a, int b)
{
    return (a + b - 1) / b;
}

} // namespace

SetIdentifier newSetIdentifier()
{
    std::random_device device;
    SetIdentifier id{};
    for (auto& byte : id)
        byte = static_cast<unsigned char>(device());
    return id;
}

std::string recoveryPieceName(const std::string& basePath, int number)
{
    std::string digits = std::to_string(number);
    if (digits.size() < 3)
        digits.insert(0, 3 - digits.size(), '0');
    return basePath + ".rec" + digits;
}

int recoveryPieceNumber(const std::string& path)
{
    const auto dot = path.rfind(".rec");
    if (dot == std::string::npos || dot + 4 == path.size() || path.size() - dot - 4 > 5)
        return 0;
    const std::string digits = path.substr(dot + 4);
    if (digits.size() < 3
        || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::stoi(digits);
}

RecoveryGroups recoveryGroups(int pieceCount, int recoveryCount)
{
    RecoveryGroups result;
    result.pieces = pieceCount;
    result.recovery = recoveryCount;
    if (pieceCount < 1 || recoveryCount < 1)
        return result;
    int groups = 1;
    while (ceilDiv(pieceCount, groups) + ceilDiv(recoveryCount, groups) > kMaxCodeFiles)
        ++groups;
    result.groups = groups <= recoveryCount ? groups : 0;
    return result;
}

int minimumRecoveryPieces(int pieceCount)
{
    int r = 1;
    while (recoveryGroups(pieceCount, r).groups == 0)
        ++r;
    return r;
}

bool RecoveryHeader::sameSet(const RecoveryHeader& other) const
{
    return setId == other.setId && signature == other.signature && pieceCount == other.pieceCount
           && pieceDataSize == other.pieceDataSize && lastDataSize == other.lastDataSize
           && recoveryCount == other.recoveryCount && crcs == other.crcs;
}

bool RecoveryHeader::fitsPiece(const PieceHeader& header, int n, std::uint64_t fileSize) const
{
    return header.signature == signature && header.count == pieceCount && header.number == n
           && fileSize == kPieceHeaderSize + dataSizeOfPiece(n);
}

std::size_t recoveryHeaderSize(int pieceCount, int recoveryCount)
{
    return kFixedPart + 4 * static_cast<std::size_t>(pieceCount + recoveryCount) + 4;
}

std::vector<unsigned char> encodeRecoveryHeader(const RecoveryHeader& h)
{
    std::vector<unsigned char> bytes(recoveryHeaderSize(h.pieceCount, h.recoveryCount));
    unsigned char* p = bytes.data();
    std::memcpy(p, kMagic, 8);
    std::memcpy(p + 8, h.setId.data(), h.setId.size());
    writeLittleEndian32(p + 24, h.signature);
    writeLittleEndian32(p + 28, static_cast<std::uint32_t>(h.pieceCount));
    putU64(p + 32, h.pieceDataSize);
    putU64(p + 40, h.lastDataSize);
    writeLittleEndian32(p + 48, static_cast<std::uint32_t>(h.recoveryCount));
    writeLittleEndian32(p + 52, static_cast<std::uint32_t>(h.number));
    writeLittleEndian32(
        p + 56, static_cast<std::uint32_t>(recoveryGroups(h.pieceCount, h.recoveryCount).groups));
    for (std::size_t i = 0; i < h.crcs.size(); ++i)
        writeLittleEndian32(p + kFixedPart + 4 * i, h.crcs[i]);
    const std::size_t body = bytes.size() - 4;
    writeLittleEndian32(p + body, crcOf(p, body));
    return bytes;
}

bool readRecoveryHeader(const std::string& path, RecoveryHeader& h)
{
    try {
        File file(path, File::Mode::Read);
        unsigned char fixed[kFixedPart];
        if (file.read(fixed, kFixedPart) != kFixedPart || std::memcmp(fixed, kMagic, 8) != 0)
            return false;
        const auto k = readLittleEndian32(fixed + 28);
        const auto r = readLittleEndian32(fixed + 48);
        if (k < 1 || k > kMaxPieces || r < 1 || r > kMaxPieces
            || readLittleEndian32(fixed + 56)
                   != std::uint32_t(recoveryGroups(int(k), int(r)).groups))
            return false;
        std::vector<unsigned char> bytes(recoveryHeaderSize(int(k), int(r)));
        std::memcpy(bytes.data(), fixed, kFixedPart);
        const std::size_t rest = bytes.size() - kFixedPart;
        if (file.read(bytes.data() + kFixedPart, rest) != rest)
            return false;
        const std::size_t body = bytes.size() - 4;
        if (readLittleEndian32(bytes.data() + body) != crcOf(bytes.data(), body))
            return false;
        std::memcpy(h.setId.data(), fixed + 8, h.setId.size());
        h.signature = readLittleEndian32(fixed + 24);
        h.pieceCount = int(k);
        h.pieceDataSize = getU64(fixed + 32);
        h.lastDataSize = getU64(fixed + 40);
        h.recoveryCount = int(r);
        h.number = int(readLittleEndian32(fixed + 52));
        h.crcs.resize(k + r);
        for (std::size_t i = 0; i < h.crcs.size(); ++i)
            h.crcs[i] = readLittleEndian32(bytes.data() + kFixedPart + 4 * i);
        return h.number >= 1 && h.number <= h.recoveryCount && h.lastDataSize >= 1
               && h.lastDataSize <= h.pieceDataSize
               && file.size() == bytes.size() + h.pieceDataSize;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace parcelo
