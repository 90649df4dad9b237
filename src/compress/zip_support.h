#pragma once

#include <zip.h>

#include <string>

// Helpers around libzip shared by the archive writer and reader; not part of the
// library's interface.
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

} // namespace parcelo::zipsupport
