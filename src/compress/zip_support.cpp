#include "compress/zip_support.h"

#include "compress/percent_progress.h"
#include "compress/zlib_tool.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/safe_output.h"
#include "platform/stop_token.h"

#include <algorithm>
#include <cerrno>
#include <vector>

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

ZlibToolError damaged(const std::string& archivePath, const std::string& why)
{
    return ZlibToolError("The file " + archivePath + " is damaged: " + why + ".");
}

ZlibToolError notOneFile(const std::string& archivePath, const std::string& holds)
{
    return ZlibToolError("The file " + archivePath + " holds " + holds
                         + "; only an archive of exactly one file can be decompressed.");
}

SafeOutput checkedTarget(const std::string& targetPath, std::uint64_t expected)
{
    const std::string folder = GetFolderFromPath(targetPath);
    if (auto refusal = roomRefusal(folder, {expected, 1, expected}, LargeFileAdvice::AnotherDrive))
        throw *refusal;
    removeStaleTemporaries(targetPath);
    return SafeOutput(targetPath);
}

RunError writeFailure(const RunError& error, const std::string& targetPath, std::uint64_t expected,
                      std::uint64_t written)
{
    if (error.number() != err::DiskFull)
        return error;
    return RunError(err::DiskFull, diskFullText(GetFolderFromPath(targetPath),
                                                expected - std::min(written, expected)));
}

void writeCheckedTarget(const std::string& targetPath, std::uint64_t expected, bool replace,
                        const std::function<void(File& target)>& copy)
{
    SafeOutput target = checkedTarget(targetPath, expected);
    try {
        copy(target.file());
    } catch (const RunError& error) {
        throw writeFailure(error, targetPath, expected, target.file().position());
    }
    if (replace)
        target.commit();
    else
        target.commitWithoutReplacing();
}

[[noreturn]] void throwReadError(const zip_error_t& error, const std::string& archivePath)
{
    switch (zip_error_code_zip(&error)) {
    case ZIP_ER_NOZIP:
        throw ZlibToolError("The file " + archivePath + " is not a ZIP archive.");
    case ZIP_ER_CRC:
        throw damaged(archivePath, "its data does not match its checksum");
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        throw damaged(archivePath, "its compressed data cannot be read");
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        throw damaged(archivePath, "its contents are inconsistent");
    default:
        throwZipError(error, "read the archive", archivePath);
    }
}

[[noreturn]] void throwReadError(int zipErrorCode, const std::string& archivePath)
{
    zip_error_t error;
    zip_error_init_with_code(&error, zipErrorCode);
    throwReadError(error, archivePath);
}

Archive openArchive(const std::string& archivePath)
{
    int code = 0;
    zip_t* archive = zip_open(toNativePath(archivePath).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr)
        throwReadError(code, archivePath);
    return Archive(archive);
}

std::uint64_t copyEntry(zip_file_t* entry, File& target, std::uint64_t expected,
                        const std::string& archivePath, PercentProgress& progress,
                        std::uint64_t base)
{
    std::vector<char> buffer(kCopyChunk);
    std::uint64_t done = 0;
    for (;;) {
        jobStop().throwIfRequested();
        const zip_int64_t got = zip_fread(entry, buffer.data(), buffer.size());
        if (got < 0)
            throwReadError(*zip_file_get_error(entry), archivePath);
        if (got == 0)
            return done;
        done += static_cast<std::uint64_t>(got);
        if (done > expected)
            throw damaged(archivePath, "it holds more data than recorded");
        target.write(buffer.data(), static_cast<std::size_t>(got));
        progress.advanceTo(base + done);
    }
}

std::uint64_t littleEndian(const unsigned char* bytes, std::size_t count)
{
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = (value << 8) | bytes[i];
    return value;
}

} // namespace parcelo::zipsupport
