#include "platform/paths.h"

#include "platform/diskette.h"
#include "platform/run_error.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace parcelo {

std::string GetFileNameFromPath(const std::string& path)
{
    const auto at = path.rfind(kSeparator);
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string GetFolderFromPath(const std::string& path)
{
    const auto at = path.rfind(kSeparator);
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string GetFileExtension(const std::string& path)
{
    const auto at = path.rfind('.');
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string RemoveFileExtension(const std::string& path)
{
    const auto at = path.rfind('.');
    return at == std::string::npos ? path : path.substr(0, at);
}

void EnsureFolderExists(const std::string& path)
{
    try {
        if (path.empty() || fileExists(path))
            return;
        std::error_code ec;
        std::filesystem::create_directory(toNativePath(path), ec);
    } catch (const RunError&) {
        // a folder on a missing diskette simply is not made
    }
}

std::uint64_t GetDriveFreeSpace(const std::string& driveLetter)
{
    if (driveLetter.size() == 1 && std::tolower(static_cast<unsigned char>(driveLetter[0])) == 'a')
        return disketteDrive().freeSpace();
#ifdef _WIN32
    std::error_code ec;
    const auto info = std::filesystem::space(driveLetter + ":\\", ec);
    return ec ? 0 : info.available;
#else
    return 0; // no drive letters here
#endif
}

std::string withTrailingSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == kSeparator)
        return folder;
    return folder + kSeparator;
}

std::string repairPathColon(const std::string& path, bool driveLetters)
{
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const bool unc = path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
    if (!driveLetters || path.empty() || unc || (path.size() >= 2 && path[1] == ':'))
        return path;
    return path.substr(0, 1) + ":" + path.substr(1);
}

std::string repairPathColon(const std::string& path)
{
#ifdef _WIN32
    return repairPathColon(path, true);
#else
    return repairPathColon(path, false);
#endif
}

} // namespace parcelo
