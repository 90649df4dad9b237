#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace parcelo {

// Reads exactly count bytes of an archive at offset into `into` (throws RunError when it
// cannot).
using ArchiveReader =
    std::function<void(std::uint64_t offset, unsigned char* into, std::size_t count)>;

// Where the only file of a ZIP archive lies and what it must come to.
struct OnlyEntryLayout {
    std::uint64_t dataStart = 0;      // the first byte of its data in the archive
    std::uint64_t compressedSize = 0; // bytes of data from dataStart
    std::uint64_t size = 0;           // bytes of the file
    std::uint32_t crc = 0;            // CRC-32 of the file
    bool deflated = false;            // else stored
};

// Reads the end of an archive of archiveSize bytes (end of central directory, its ZIP64
// records, the central directory and the entry's local header) and checks it before any of
// its data is read: exactly one file entry, local and central records agreeing, every
// offset and size within the archive. nullopt: an archive of its own kind that libzip must
// read (a folder set, an encrypted entry, a method other than stored and deflate). Anything
// else throws ZlibToolError naming archiveName ("The file NAME is damaged: ...", "... is not
// a ZIP archive.", "... holds 2 entries; ...").
std::optional<OnlyEntryLayout> readOnlyEntryLayout(const ArchiveReader& read,
                                                   std::uint64_t archiveSize,
                                                   const std::string& archiveName);

} // namespace parcelo
