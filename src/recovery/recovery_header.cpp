#include "recovery/recovery.h"

#include "format/split_set.h"
#include "platform/file.h"
#include "platform/run_error.h"
#include "recovery/erasure_code.h"
#include "recovery/recovery_detail.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace parcelo {

using recovery_detail::countText;

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
    while (groups < pieceCount
           && ceilDiv(pieceCount, groups) + ceilDiv(recoveryCount, groups) > kMaxCodeFiles)
        ++groups;
    const bool fits = ceilDiv(pieceCount, groups) + ceilDiv(recoveryCount, groups) <= kMaxCodeFiles;
    result.groups = fits && groups <= recoveryCount ? groups : 0;
    return result;
}

int minimumRecoveryPieces(int pieceCount)
{
    int r = 1;
    while (recoveryGroups(pieceCount, r).groups == 0)
        ++r;
    return r;
}

int maximumRecoveryPieces(int pieceCount)
{
    // With a group per piece, each group has room for 254 recovery pieces.
    return static_cast<int>(std::min<long>(kMaxPieces, long{kMaxCodeFiles - 1} * pieceCount));
}

std::string recoveryCountProblem(int pieceCount, int recoveryCount)
{
    const std::string set = "A set of " + countText(pieceCount, "piece");
    if (recoveryCount < minimumRecoveryPieces(pieceCount))
        return set + " needs at least "
               + countText(minimumRecoveryPieces(pieceCount), "recovery piece");
    if (recoveryCount > maximumRecoveryPieces(pieceCount))
        return set + " can have at most "
               + countText(maximumRecoveryPieces(pieceCount), "recovery piece");
    // Every recovery piece stays open until all are complete.
    const std::uint64_t needed = std::uint64_t(recoveryCount) + kMaxCodeFiles + kSpareFiles;
    if (needed > openFileLimit())
        return "Too many files to keep open at once: " + countText(recoveryCount, "recovery piece")
               + " need " + std::to_string(needed) + " open files and the system allows "
               + std::to_string(openFileLimit());
    return {};
}

void checkRecoveryCount(int pieceCount, int recoveryCount)
{
    if (std::string problem = recoveryCountProblem(pieceCount, recoveryCount); !problem.empty())
        throw RunError(err::Overflow, problem);
}

bool RecoveryHeader::sameSet(const RecoveryHeader& other) const
{
    return setId == other.setId && signature == other.signature && pieceCount == other.pieceCount
           && pieceDataSize == other.pieceDataSize && lastDataSize == other.lastDataSize
           && recoveryCount == other.recoveryCount && crcs == other.crcs;
}

bool RecoveryHeader::fitsPiece(const PieceHeader& header, int n, std::uint64_t fileSize) const
{
    if (signature == kNoPieceHeader)
        return fileSize == dataSizeOfPiece(n);
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

HeaderCheck decodeRecoveryHeader(const unsigned char* bytes, std::size_t size,
                                 std::uint64_t fileSize, RecoveryHeader& h)
{
    // A file cut inside the mark (an empty one too) is a recovery piece cut short.
    if (size > 0 && std::memcmp(bytes, kMagic, std::min(size, sizeof kMagic)) != 0)
        return HeaderCheck::NotRecovery;
    if (size < sizeof kMagic)
        return HeaderCheck::Damaged;
    if (size < kFixedPart)
        return HeaderCheck::Damaged;
    const std::uint32_t k = readLittleEndian32(bytes + 28);
    const std::uint32_t r = readLittleEndian32(bytes + 48);
    if (k < 1 || k > kMaxPieces || r < 1 || r > kMaxPieces || readLittleEndian32(bytes + 60) != 0)
        return HeaderCheck::Damaged;
    const auto groups = recoveryGroups(int(k), int(r)).groups;
    const std::size_t headerSize = recoveryHeaderSize(int(k), int(r));
    if (groups == 0 || readLittleEndian32(bytes + 56) != std::uint32_t(groups) || size < headerSize
        || readLittleEndian32(bytes + headerSize - 4) != crcOf(bytes, headerSize - 4))
        return HeaderCheck::Damaged;
    RecoveryHeader read;
    std::memcpy(read.setId.data(), bytes + 8, read.setId.size());
    read.signature = readLittleEndian32(bytes + 24);
    read.pieceCount = int(k);
    read.pieceDataSize = getU64(bytes + 32);
    read.lastDataSize = getU64(bytes + 40);
    read.recoveryCount = int(r);
    read.number = int(readLittleEndian32(bytes + 52));
    if (read.number < 1 || read.number > read.recoveryCount || read.lastDataSize < 1
        || read.lastDataSize > read.pieceDataSize || fileSize < headerSize
        || fileSize - headerSize != read.pieceDataSize)
        return HeaderCheck::Damaged;
    read.crcs.resize(std::size_t{k} + r);
    for (std::size_t i = 0; i < read.crcs.size(); ++i)
        read.crcs[i] = readLittleEndian32(bytes + kFixedPart + 4 * i);
    h = std::move(read);
    return HeaderCheck::Sound;
}

HeaderCheck readRecoveryHeader(const std::string& path, RecoveryHeader& h)
{
    try {
        File file(path, File::Mode::Read);
        std::vector<unsigned char> bytes(kFixedPart);
        bytes.resize(file.read(bytes.data(), bytes.size()));
        if (bytes.size() == kFixedPart) {
            // The counts are checked by the decoding; here they only bound what is read.
            const auto k = std::min<std::uint32_t>(readLittleEndian32(&bytes[28]), kMaxPieces);
            const auto r = std::min<std::uint32_t>(readLittleEndian32(&bytes[48]), kMaxPieces);
            bytes.resize(recoveryHeaderSize(int(k), int(r)));
            bytes.resize(kFixedPart + file.read(&bytes[kFixedPart], bytes.size() - kFixedPart));
        }
        return decodeRecoveryHeader(bytes.data(), bytes.size(), file.size(), h);
    } catch (const RunError&) {
        return HeaderCheck::NotRecovery; // no file that can be read
    }
}

} // namespace parcelo
