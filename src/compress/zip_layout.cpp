#include "compress/zip_layout.h"

#include "compress/folder_archive.h"
#include "compress/zip_support.h"
#include "compress/zlib_tool.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

namespace parcelo {

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kLocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kLongestComment = 0xFFFF;
constexpr std::uint16_t kZip64Field = 1;
constexpr std::uint32_t kInZip64 = 0xFFFFFFFF;
constexpr std::uint16_t kEncryptedFlags = 0x0001 | 0x0040; // traditional or strong
constexpr std::uint16_t kDescriptorFlag = 0x0008;          // sizes follow the data
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint64_t kMostDeflateRatio = 1032; // deflate never packs more than this

// The field of count bytes at `at`, which must lie within bytes.
std::uint64_t le(const Bytes& bytes, std::size_t at, std::size_t count)
{
    if (at + count > bytes.size())
        throw std::out_of_range("ZIP field beyond its record");
    return zipsupport::littleEndian(bytes.data() + at, count);
}

// True when [start, start + length) lies within [0, end).
bool within(std::uint64_t start, std::uint64_t length, std::uint64_t end)
{
    return start <= end && length <= end - start;
}

class LayoutReader {
public:
    LayoutReader(const ArchiveReader& read, std::uint64_t size, const std::string& name)
        : read_(read), size_(size), name_(name)
    {
    }

    Bytes bytesAt(std::uint64_t offset, std::size_t count, std::uint64_t end) const
    {
        if (!within(offset, count, end))
            throw inconsistent();
        Bytes bytes(count);
        if (count > 0)
            read_(offset, bytes.data(), count);
        return bytes;
    }
    ZlibToolError inconsistent() const
    {
        return zipsupport::damaged(name_, "its contents are inconsistent");
    }
    ZlibToolError notZip() const
    {
        return ZlibToolError("The file " + name_ + " is not a ZIP archive.");
    }
    std::uint64_t size() const { return size_; }
    const std::string& name() const { return name_; }

private:
    const ArchiveReader& read_;
    std::uint64_t size_;
    const std::string& name_;
};

// What the end records say of the central directory.
struct Directory {
    std::uint64_t entries = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t end = 0; // where the records that follow it begin
    bool folderSet = false;
};

// The end of central directory record: the last signature whose comment runs exactly to
// the archive's end.
std::uint64_t findEnd(const LayoutReader& reader, Bytes& tail)
{
    if (reader.size() < kEndSize)
        throw reader.notZip();
    const std::uint64_t span = std::min<std::uint64_t>(reader.size(), kEndSize + kLongestComment);
    const std::uint64_t tailStart = reader.size() - span;
    tail = reader.bytesAt(tailStart, static_cast<std::size_t>(span), reader.size());
    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        if (le(tail, at, 4) == kEndSignature && at + kEndSize + le(tail, at + 20, 2) == tail.size())
            return tailStart + at;
    }
    throw reader.notZip();
}

void readZip64End(const LayoutReader& reader, std::uint64_t endAt, Directory& dir)
{
    if (endAt < kLocatorSize)
        throw reader.inconsistent();
    const std::uint64_t locatorAt = endAt - kLocatorSize;
    const Bytes locator = reader.bytesAt(locatorAt, kLocatorSize, endAt);
    if (le(locator, 0, 4) != kZip64LocatorSignature || le(locator, 4, 4) != 0
        || le(locator, 16, 4) != 1)
        throw reader.inconsistent();
    const std::uint64_t zip64At = le(locator, 8, 8);
    const Bytes record = reader.bytesAt(zip64At, kZip64EndSize, locatorAt);
    // the record runs to the locator (its size does not count its first 12 bytes)
    if (le(record, 0, 4) != kZip64EndSignature || le(record, 4, 8) != locatorAt - zip64At - 12
        || le(record, 16, 4) != 0 || le(record, 20, 4) != 0
        || le(record, 24, 8) != le(record, 32, 8))
        throw reader.inconsistent();
    dir.entries = le(record, 32, 8);
    dir.size = le(record, 40, 8);
    dir.offset = le(record, 48, 8);
    dir.end = zip64At;
}

Directory readDirectory(const LayoutReader& reader)
{
    Bytes tail;
    const std::uint64_t endAt = findEnd(reader, tail);
    const Bytes end = reader.bytesAt(endAt, kEndSize, reader.size());
    const std::size_t commentAt =
        static_cast<std::size_t>(endAt - (reader.size() - tail.size())) + kEndSize;
    const std::string comment(tail.begin() + static_cast<std::ptrdiff_t>(commentAt), tail.end());
    Directory dir{le(end, 10, 2), le(end, 16, 4), le(end, 12, 4), endAt,
                  comment == kFolderSetComment};
    if (dir.folderSet)
        return dir;
    if (dir.entries == 0xFFFF || dir.offset == kInZip64 || dir.size == kInZip64)
        readZip64End(reader, endAt, dir);
    else if (le(end, 4, 2) != 0 || le(end, 6, 2) != 0 || le(end, 8, 2) != dir.entries)
        throw reader.inconsistent();
    if (dir.entries != 1)
        throw zipsupport::notOneFile(reader.name(), std::to_string(dir.entries) + " entries");
    // One entry and nothing else between the directory and its end records.
    if (!within(dir.offset, dir.size, dir.end) || dir.offset + dir.size != dir.end)
        throw reader.inconsistent();
    return dir;
}

// The ZIP64 extra field's values, in their order, for each of the 32-bit fields that
// defer to it.
void takeZip64Values(const LayoutReader& reader, const Bytes& extra,
                     std::initializer_list<std::uint64_t*> fields)
{
    bool needed = false;
    for (const std::uint64_t* field : fields)
        needed = needed || *field == kInZip64;
    if (!needed)
        return;
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::size_t length = le(extra, at + 2, 2);
        if (at + 4 + length > extra.size())
            break;
        if (le(extra, at, 2) == kZip64Field) {
            std::size_t value = at + 4;
            for (std::uint64_t* field : fields) {
                if (*field != kInZip64)
                    continue;
                if (value + 8 > at + 4 + length)
                    throw reader.inconsistent();
                *field = le(extra, value, 8);
                value += 8;
            }
            return;
        }
        at += 4 + length;
    }
    throw reader.inconsistent();
}

struct Record {
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t localAt = 0;
    Bytes name;
};

Record readCentral(const LayoutReader& reader, const Directory& dir)
{
    const Bytes central = reader.bytesAt(
        dir.offset, static_cast<std::size_t>(std::min<std::uint64_t>(dir.size, kCentralSize)),
        dir.end);
    if (central.size() < kCentralSize || le(central, 0, 4) != kCentralSignature)
        throw reader.inconsistent();
    const std::size_t nameLength = le(central, 28, 2);
    const std::size_t extraLength = le(central, 30, 2);
    const std::size_t commentLength = le(central, 32, 2);
    if (dir.size != kCentralSize + nameLength + extraLength + commentLength)
        throw reader.inconsistent();
    Record record{static_cast<std::uint16_t>(le(central, 8, 2)),
                  static_cast<std::uint16_t>(le(central, 10, 2)),
                  static_cast<std::uint32_t>(le(central, 16, 4)),
                  le(central, 20, 4),
                  le(central, 24, 4),
                  le(central, 42, 4),
                  reader.bytesAt(dir.offset + kCentralSize, nameLength, dir.end)};
    const Bytes extra =
        reader.bytesAt(dir.offset + kCentralSize + nameLength, extraLength, dir.end);
    std::uint64_t disk = le(central, 34, 2);
    takeZip64Values(reader, extra, {&record.size, &record.compressedSize, &record.localAt});
    if (disk != 0 && disk != 0xFFFF)
        throw reader.inconsistent();
    return record;
}

// The local header must tell the same entry as the central one; its data lies between it
// and the central directory, with at most a data descriptor after it.
std::uint64_t checkLocal(const LayoutReader& reader, const Directory& dir, const Record& central)
{
    const Bytes local = reader.bytesAt(central.localAt, kLocalSize, dir.offset);
    if (le(local, 0, 4) != kLocalSignature)
        throw reader.inconsistent();
    const std::uint64_t flags = le(local, 6, 2);
    const std::size_t nameLength = le(local, 26, 2);
    const std::size_t extraLength = le(local, 28, 2);
    const std::uint64_t nameAt = central.localAt + kLocalSize;
    if (le(local, 8, 2) != central.method || (flags & kEncryptedFlags) != 0
        || (flags & kDescriptorFlag) != (central.flags & kDescriptorFlag)
        || reader.bytesAt(nameAt, nameLength, dir.offset) != central.name)
        throw reader.inconsistent();
    const Bytes extra = reader.bytesAt(nameAt + nameLength, extraLength, dir.offset);
    const std::uint64_t dataStart = nameAt + nameLength + extraLength;
    if (!within(dataStart, central.compressedSize, dir.offset))
        throw reader.inconsistent();
    const std::uint64_t gap = dir.offset - dataStart - central.compressedSize;
    if ((flags & kDescriptorFlag) != 0) {
        // CRC and 32- or 64-bit sizes, with or without a signature
        constexpr std::array<std::uint64_t, 4> kDescriptorSizes{12, 16, 20, 24};
        if (std::find(kDescriptorSizes.begin(), kDescriptorSizes.end(), gap)
            == kDescriptorSizes.end())
            throw reader.inconsistent();
        return dataStart;
    }
    std::uint64_t size = le(local, 22, 4);
    std::uint64_t compressedSize = le(local, 18, 4);
    takeZip64Values(reader, extra, {&size, &compressedSize});
    if (gap != 0 || le(local, 14, 4) != central.crc || size != central.size
        || compressedSize != central.compressedSize)
        throw reader.inconsistent();
    return dataStart;
}

} // namespace

std::optional<OnlyEntryLayout> readOnlyEntryLayout(const ArchiveReader& read,
                                                   std::uint64_t archiveSize,
                                                   const std::string& archiveName)
{
    const LayoutReader reader(read, archiveSize, archiveName);
    const Directory dir = readDirectory(reader);
    if (dir.folderSet)
        return std::nullopt;
    const Record central = readCentral(reader, dir);
    if ((central.flags & kEncryptedFlags) != 0
        || (central.method != kStored && central.method != kDeflated))
        return std::nullopt;
    if (central.name.empty() || central.name.back() == '/')
        throw zipsupport::notOneFile(archiveName, "a folder");
    const bool deflated = central.method == kDeflated;
    if (deflated ? central.size / kMostDeflateRatio > central.compressedSize
                 : central.size != central.compressedSize)
        throw reader.inconsistent();
    const std::uint64_t dataStart = checkLocal(reader, dir, central);
    return OnlyEntryLayout{dataStart, central.compressedSize, central.size, central.crc, deflated};
}

} // namespace parcelo
