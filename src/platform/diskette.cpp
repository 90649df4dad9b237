#include "platform/diskette.h"

#include <sys/stat.h>

#include <system_error>

namespace parcelo {

DisketteDrive::DisketteDrive(std::filesystem::path mountPoint) : mountPoint_(std::move(mountPoint))
{
}

bool DisketteDrive::hasMedium() const
{
#ifdef _WIN32
    std::error_code ec;
    return std::filesystem::exists(mountPoint_, ec);
#else
    // A mounted medium lives on another device than the folder holding the mount point.
    struct stat self {};
    struct stat parent {};
    if (::stat(mountPoint_.c_str(), &self) != 0 || !S_ISDIR(self.st_mode))
        return false;
    if (::stat(mountPoint_.parent_path().c_str(), &parent) != 0)
        return false;
    return self.st_dev != parent.st_dev;
#endif
}

std::uint64_t DisketteDrive::freeSpace() const
{
    if (!hasMedium())
        return 0;
    std::error_code ec;
    const auto info = std::filesystem::space(mountPoint_, ec);
    return ec ? 0 : info.available;
}

FolderDisketteDrive::FolderDisketteDrive(std::filesystem::path folder)
    : DisketteDrive(std::move(folder))
{
}

std::uint64_t FolderDisketteDrive::freeSpace() const
{
    if (!mediumPresent_)
        return 0;
    if (hasFixedFreeSpace_)
        return freeSpace_;
    std::error_code ec;
    const auto info = std::filesystem::space(mountPoint(), ec);
    return ec ? 0 : info.available;
}

namespace {
std::shared_ptr<DisketteDrive> defaultDrive()
{
#ifdef _WIN32
    return std::make_shared<DisketteDrive>("A:\\");
#else
    return std::make_shared<DisketteDrive>("/media/floppy");
#endif
}

std::shared_ptr<DisketteDrive>& currentDrive()
{
    static std::shared_ptr<DisketteDrive> drive = defaultDrive();
    return drive;
}
} // namespace

DisketteDrive& disketteDrive()
{
    return *currentDrive();
}

void setDisketteDrive(std::shared_ptr<DisketteDrive> drive)
{
    currentDrive() = drive ? std::move(drive) : defaultDrive();
}

} // namespace parcelo
