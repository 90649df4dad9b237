#pragma once

#include "compress/zip_support.h"
#include "platform/safe_output.h"

#include <zip.h>

#include <exception>
#include <string>

namespace parcelo::zipsupport {

// The archive file as libzip writes it: a new, empty archive whose bytes go through a
// SafeOutput, so that the target path holds the archive only once it is complete and a
// failed or stopped archive leaves at most a temporary file that the next run clears.
// Errors of the file system keep the RunError raised, for the caller to rethrow.
// A prefix is written first and the archive after it; libzip sees positions relative to
// the archive's start, so its offsets are those of a stand-alone archive.
class ArchiveTarget {
public:
    explicit ArchiveTarget(std::string targetPath, std::string prefix = {},
                           Durability durability = Durability::AsOptioned,
                           Sharing sharing = Sharing::Shared);
    ArchiveTarget(const ArchiveTarget&) = delete;
    ArchiveTarget& operator=(const ArchiveTarget&) = delete;
    ~ArchiveTarget();

    // A libzip source writing to the target; the archive opened on it owns it.
    zip_source_t* makeSource();
    std::exception_ptr failure() const { return failure_; }

private:
    static zip_int64_t callback(void* state, void* data, zip_uint64_t length,
                                zip_source_cmd_t command);
    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t seek(void* data, zip_uint64_t length);

    zip_int64_t tell();

    std::string targetPath_;
    std::string prefix_;
    Durability durability_;
    Sharing sharing_;
    SafeOutput output_;
    zip_error_t error_;
    std::exception_ptr failure_;
};

// A new, empty archive written into target (whose path errors name).
Archive createArchive(ArchiveTarget& target, const std::string& targetPath);

} // namespace parcelo::zipsupport
