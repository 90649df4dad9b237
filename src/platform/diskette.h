#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace parcelo {

// One 1.44 MB diskette holds this many bytes when empty and formatted.
inline constexpr std::uint64_t kDisketteCapacity = 1457664;

// The diskette drive: paths that begin with "a:" (any case) live under its mount point.
// The drive can be read only while a medium is present.
class DisketteDrive {
public:
    explicit DisketteDrive(std::filesystem::path mountPoint);
    virtual ~DisketteDrive() = default;

    const std::filesystem::path& mountPoint() const { return mountPoint_; }
    // True when a medium is mounted at the mount point.
    virtual bool hasMedium() const;
    // Free bytes on the medium; 0 when it cannot be asked.
    virtual std::uint64_t freeSpace() const;

private:
    std::filesystem::path mountPoint_;
};

// A drive backed by an ordinary folder, with a simulated medium and free space, for
// tests and demonstrations.
class FolderDisketteDrive : public DisketteDrive {
public:
    explicit FolderDisketteDrive(std::filesystem::path folder);

    bool hasMedium() const override { return mediumPresent_; }
    std::uint64_t freeSpace() const override;

    void setMediumPresent(bool present) { mediumPresent_ = present; }
    // A fixed free-space figure; without one the folder's file system is asked.
    void setFreeSpace(std::uint64_t bytes)
    {
        freeSpace_ = bytes;
        hasFixedFreeSpace_ = true;
    }

private:
    bool mediumPresent_ = true;
    bool hasFixedFreeSpace_ = false;
    std::uint64_t freeSpace_ = 0;
};

// The drive every "a:" path maps to (POSIX default: /media/floppy).
DisketteDrive& disketteDrive();
// Replaces the drive; passing nullptr restores the default.
void setDisketteDrive(std::shared_ptr<DisketteDrive> drive);

} // namespace parcelo
