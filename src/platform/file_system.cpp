#include "platform/file_system.h"

#include "platform/paths.h"
#include "platform/run_error.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <system_error>

namespace parcelo {

namespace {

// The file systems whose largest file is smaller than any size a job meets otherwise.
struct LimitedFileSystem {
    std::int64_t magic; // statfs's f_type
    const char* name;
    std::uint64_t largestFile;
};
constexpr std::array<LimitedFileSystem, 1> kLimitedFileSystems = {{
    {0x4d44, "FAT", 0xFFFFFFFFu}, // 4 GiB minus one byte
}};

// The folder where the file system holding folder is mounted: the last one up the path on
// the same device.
std::filesystem::path mountPointOf(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::filesystem::path at = std::filesystem::canonical(folder, ec);
    struct stat self {};
    if (ec || ::stat(at.c_str(), &self) != 0)
        return folder;
    while (at.has_parent_path() && at.parent_path() != at) {
        struct stat parent {};
        if (::stat(at.parent_path().c_str(), &parent) != 0 || parent.st_dev != self.st_dev)
            break;
        at = at.parent_path();
    }
    return at;
}

std::optional<FileSystemFacts> askSystem(const std::filesystem::path& folder)
{
    struct statvfs space {};
    struct statfs kind {};
    if (::statvfs(folder.c_str(), &space) != 0 || ::statfs(folder.c_str(), &kind) != 0)
        return std::nullopt;
    FileSystemFacts facts;
    facts.mountPoint = fromNativePath(mountPointOf(folder));
    facts.freeBytes = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
    facts.blockSize = space.f_bsize;
    for (const LimitedFileSystem& limited : kLimitedFileSystems) {
        if (static_cast<std::int64_t>(kind.f_type) == limited.magic) {
            facts.name = limited.name;
            facts.largestFile = limited.largestFile;
        }
    }
    return facts;
}

FileSystemQuery& currentQuery()
{
    static FileSystemQuery query = askSystem;
    return query;
}

// The facts for a folder as the programs name it; nullopt when it cannot be asked.
std::optional<FileSystemFacts> factsFor(const std::string& folder)
{
    try {
        return fileSystemFacts(toNativePath(folder.empty() ? "." : folder));
    } catch (const RunError&) {
        return std::nullopt; // no medium in the diskette drive
    }
}

std::string tooLargeText(const FileSystemFacts& facts, LargeFileAdvice advice)
{
    const std::string limit = roomSizeText(facts.largestFile, false);
    return facts.mountPoint + " cannot hold files over " + limit + " (" + facts.name
           + " file system). "
           + (advice == LargeFileAdvice::SmallerPieces
                  ? "Choose pieces of at most " + limit + " or another drive."
                  : std::string("Choose another drive."));
}

std::string notEnoughText(const FileSystemFacts& facts, std::uint64_t more)
{
    return "There is not enough space on " + facts.mountPoint + ": " + roomSizeText(more, true)
           + " more are needed.";
}

} // namespace

std::optional<FileSystemFacts> fileSystemFacts(const std::filesystem::path& folder)
{
    return currentQuery()(folder);
}

void setFileSystemQuery(FileSystemQuery query)
{
    currentQuery() = query ? std::move(query) : FileSystemQuery(askSystem);
}

std::optional<RunError> roomRefusal(const std::string& folder, const RoomNeed& need,
                                    LargeFileAdvice advice)
{
    const auto facts = factsFor(folder);
    if (!facts)
        return std::nullopt;
    if (need.largestFile > facts->largestFile)
        return RunError(err::PathFileAccessError, tooLargeText(*facts, advice));
    const std::uint64_t taken = need.bytes + need.files * facts->blockSize;
    if (taken > facts->freeBytes)
        return RunError(err::DiskFull, notEnoughText(*facts, taken - facts->freeBytes));
    return std::nullopt;
}

std::string diskFullText(const std::string& folder, std::uint64_t bytesLeft)
{
    const auto facts = factsFor(folder);
    if (!facts)
        return describeRunError(err::DiskFull) + ": " + folder;
    // Beyond what is still free: a disk another program filled meanwhile needs it all.
    const std::uint64_t more =
        bytesLeft > facts->freeBytes ? bytesLeft - facts->freeBytes : bytesLeft;
    return notEnoughText(*facts, std::max<std::uint64_t>(more, 1));
}

std::string fileTooLargeText(const std::string& path)
{
    if (path.empty())
        return "File too large";
    rlimit limit{};
    const auto facts = factsFor(GetFolderFromPath(path));
    const std::uint64_t ofFileSystem = facts ? facts->largestFile : kNoFileSizeLimit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && limit.rlim_cur < ofFileSystem)
        return "This process cannot write files over "
               + roomSizeText(static_cast<std::uint64_t>(limit.rlim_cur), false)
               + " (its file size limit, ulimit -f): " + path + " could not be written.";
    if (ofFileSystem != kNoFileSizeLimit)
        return facts->mountPoint + " cannot hold files over " + roomSizeText(ofFileSystem, false)
               + " (" + facts->name + " file system): " + path + " could not be written.";
    return "File too large for its file system: " + path;
}

std::string roomSizeText(std::uint64_t bytes, bool roundUp)
{
    constexpr std::array<const char*, 5> kUnits = {"bytes", "KB", "MB", "GB", "TB"};
    if (bytes < 1024)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    std::size_t unit = 0;
    double value = static_cast<double>(bytes);
    while (value >= 1024 && unit + 1 < kUnits.size()) {
        value /= 1024;
        ++unit;
    }
    // one decimal below 10, whole numbers above
    const double scale = value < 10 ? 10 : 1;
    const double shown = (roundUp ? std::ceil(value * scale) : std::round(value * scale)) / scale;
    char text[32];
    if (shown == std::floor(shown))
        std::snprintf(text, sizeof text, "%.0f %s", shown, kUnits[unit]);
    else
        std::snprintf(text, sizeof text, "%.1f %s", shown, kUnits[unit]);
    return text;
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace parcelo
