#include "compress/zip_support.h"

#include "compress/zlib_tool.h"

#include <cerrno>

namespace parcelo::zipsupport {

namespace {

bool isFileSystemFailure(const zip_error_t& error)
{
    return zip_error_system_type(&error) == ZIP_ET_SYS && zip_error_code_system(&error) != 0;
}

} // namespace

void throwZipError(const zip_error_t& error, const std::string& doing, const std::string& path)
{
    const int code = zip_error_code_zip(&error);
    if (code == ZIP_ER_NOENT)
        throw runErrorFromOs(ENOENT, path);
    if (code == ZIP_ER_MEMORY)
        throw ZlibToolError("Out of memory");
    if (isFileSystemFailure(error)) {
        const int osError = zip_error_code_system(&error);
        // The temporary archive is made beside the target: failing to create it means
        // the target's folder is missing or closed to us.
        const bool onFolder = code == ZIP_ER_TMPOPEN;
        throw runErrorFromOs(osError, path, onFolder);
    }
    zip_error_t copy;
    zip_error_init(&copy);
    zip_error_set(&copy, code, zip_error_code_system(&error));
    std::string description = "Cannot " + doing + " " + path + ": " + zip_error_strerror(&copy);
    zip_error_fini(&copy);
    throw ZlibToolError(description);
}

void throwZipError(int zipErrorCode, const std::string& doing, const std::string& path)
{
    zip_error_t error;
    zip_error_init_with_code(&error, zipErrorCode);
    // The error holds no text yet, so nothing is lost by not finishing it.
    throwZipError(error, doing, path);
}

} // namespace parcelo::zipsupport
