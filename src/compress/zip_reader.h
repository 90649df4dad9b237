#pragma once

#include "compress/percent_progress.h"

#include <cstdint>
#include <string>

namespace parcelo {

class Password;

// Writes the bytes of the only file in the ZIP archive at archivePath to targetPath,
// checking them against the entry's size and CRC. The bytes go to a temporary file beside
// targetPath that replaces it only when complete and checked (and only when replace is
// set: else a file there fails the extraction); the entry's own name is never used. An
// archive holding anything but exactly one file entry is refused. On every failure
// targetPath is left as it was. report receives each whole percentage written. An
// encrypted entry is opened with password: without one the extraction fails with
// kPasswordNeededNumber, with a wrong one with kWrongPasswordNumber, before the target is
// made or, when the wrong password passed the archive's two-byte check, with the target
// dropped.
void extractOnlyEntry(const std::string& archivePath, const std::string& targetPath,
                      const PercentProgress::Report& report,
                      const PercentProgress::BytesReport& bytes = {}, bool replace = true,
                      const Password* password = nullptr);

class File;

// As extractOnlyEntry, into a stream (standard output) from where it stands: the bytes go
// out as they are read, so a CRC that does not match fails only after them.
void streamOnlyEntry(const std::string& archivePath, File& target,
                     const PercentProgress::Report& report,
                     const PercentProgress::BytesReport& bytes = {},
                     const Password* password = nullptr);

// What the ZIP entry starting at the file's position declares in its local header: the
// size of its file (a guess to check room by: the entry itself is checked when it is read;
// 0 when it declares none, or more than an archive of archiveBytes can hold) and whether
// its data is encrypted.
struct DeclaredEntry {
    std::uint64_t size = 0;
    bool encrypted = false;
};
DeclaredEntry declaredEntry(File& file, std::uint64_t archiveBytes);

} // namespace parcelo
