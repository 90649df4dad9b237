#include "platform/paths.h"

#include "platform/diskette.h"
#include "platform/run_error.h"

#include <unistd.h>

#include <cctype>
#include <system_error>

namespace parcelo {

bool isDiskettePath(const std::string& path)
{
    // "a:name" is a file named so in the working folder, not a file on the drive.
    return path.size() >= 2 && std::tolower(static_cast<unsigned char>(path[0])) == 'a'
           && path[1] == ':' && (path.size() == 2 || path[2] == '/' || path[2] == '\\');
}

std::filesystem::path toNativePath(const std::string& path)
{
    if (!isDiskettePath(path))
        return std::filesystem::path(std::u8string(path.begin(), path.end()));
    DisketteDrive& drive = disketteDrive();
    if (!drive.hasMedium())
        throw RunError(err::BadFileNameOrNumber);
    std::size_t rest = 2;
    while (rest < path.size() && (path[rest] == '/' || path[rest] == '\\'))
        ++rest;
    const std::string relative = path.substr(rest);
    if (relative.empty())
        return drive.mountPoint();
    return drive.mountPoint()
           / std::filesystem::path(std::u8string(relative.begin(), relative.end()));
}

std::string fromNativePath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

static bool statusIs(const std::string& path, std::filesystem::file_type type)
{
    try {
        std::error_code ec;
        return std::filesystem::status(toNativePath(path), ec).type() == type;
    } catch (const RunError&) {
        return false;
    }
}

bool fileExists(const std::string& path)
{
    return !path.empty() && statusIs(path, std::filesystem::file_type::regular);
}

bool folderExists(const std::string& path)
{
    return !path.empty() && statusIs(path, std::filesystem::file_type::directory);
}

bool isWritable(const std::string& path)
{
    try {
        return !path.empty() && ::access(toNativePath(path).c_str(), W_OK) == 0;
    } catch (const RunError&) {
        return false; // no medium in the diskette drive
    }
}

std::size_t longestNameIn(const std::string& folder)
{
    constexpr std::size_t kUsual = 255;
    try {
        const long most =
            ::pathconf(toNativePath(folder.empty() ? "." : folder).c_str(), _PC_NAME_MAX);
        return most > 0 ? static_cast<std::size_t>(most) : kUsual;
    } catch (const RunError&) {
        return kUsual; // no medium in the diskette drive
    }
}

std::uint64_t fileLength(const std::string& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(toNativePath(path), ec);
    if (ec)
        throw runErrorFromOs(ec.value(), path);
    return size;
}

void deleteFile(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::remove(toNativePath(path), ec) && !ec)
        ec = std::make_error_code(std::errc::no_such_file_or_directory);
    if (ec)
        throw runErrorFromOs(ec.value(), path);
}

bool removeFileQuietly(const std::string& path)
{
    try {
        std::error_code ec;
        std::filesystem::remove(toNativePath(path), ec);
        return !std::filesystem::exists(toNativePath(path), ec);
    } catch (const RunError&) {
        return false;
    }
}

void touchDisketteDrive()
{
    std::error_code ec;
    const auto root = toNativePath("a:");
    std::filesystem::directory_iterator it(root, ec);
    if (ec)
        throw runErrorFromOs(ec.value(), "a:", true);
}

} // namespace parcelo
