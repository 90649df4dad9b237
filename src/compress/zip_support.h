#pragma once

#include "platform/safe_output.h"

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Helpers around libzip shared by the archive writer and reader; not part of the
// library's interface.
namespace parcelo {
class File;
class RunError;
class PercentProgress;
class ZlibToolError;
} // namespace parcelo

namespace parcelo::zipsupport {

// Throws the run-time error for a libzip error met while `doing` (a short phrase such as
// "write the archive") on the file at path: file-system failures keep their run-time
// numbers, failures of the archive itself become ZlibToolError.
[[noreturn]] void throwZipError(const zip_error_t& error, const std::string& doing,
                                const std::string& path);
[[noreturn]] void throwZipError(int zipErrorCode, const std::string& doing,
                                const std::string& path);

// Frees an archive that is given up (nothing of it is written).
struct ArchiveDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

using Archive = std::unique_ptr<zip_t, ArchiveDiscarder>;

struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

// "The file PATH is damaged: WHY."
ZlibToolError damaged(const std::string& archivePath, const std::string& why);

// "The file PATH holds HOLDS; only an archive of exactly one file can be decompressed."
ZlibToolError notOneFile(const std::string& archivePath, const std::string& holds);

// The safe output for a file of expected bytes at targetPath, once the room for it is
// checked (and a killed job's temporaries of that name are cleared).
SafeOutput checkedTarget(const std::string& targetPath, std::uint64_t expected);
// The failure to tell for an error met after `written` of the expected bytes: a full disk
// with the bytes still needed, anything else as it is.
RunError writeFailure(const RunError& error, const std::string& targetPath, std::uint64_t expected,
                      std::uint64_t written);

// Writes a file of expected bytes through copy into a safe output for targetPath, once the
// room for it is checked; it takes its name (replacing a file there only when replace says
// so) when copy returns. A full disk is told with the bytes still needed.
void writeCheckedTarget(const std::string& targetPath, std::uint64_t expected, bool replace,
                        const std::function<void(File& target)>& copy);

// Failures of the archive's own data get a sentence a user can act on; file-system
// failures keep their run-time numbers.
[[noreturn]] void throwReadError(const zip_error_t& error, const std::string& archivePath);
[[noreturn]] void throwReadError(int zipErrorCode, const std::string& archivePath);

// The archive at archivePath, opened for reading with its consistency checked.
Archive openArchive(const std::string& archivePath);

// Copies the entry's bytes to the target, the progress at base plus the bytes copied; libzip
// checks the CRC as the last bytes go. Returns the bytes copied: more than expected throws.
std::uint64_t copyEntry(zip_file_t* entry, File& target, std::uint64_t expected,
                        const std::string& archivePath, PercentProgress& progress,
                        std::uint64_t base = 0);

// The unsigned number of count (at most 8) bytes stored least significant first, as ZIP
// records store their fields.
std::uint64_t littleEndian(const unsigned char* bytes, std::size_t count);

} // namespace parcelo::zipsupport
