#pragma once

#include "platform/run_error.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace parcelo {

inline constexpr std::uint64_t kNoFileSizeLimit = UINT64_MAX;

// What the file system that holds a folder tells about room for files.
struct FileSystemFacts {
    std::string mountPoint;      // where it is mounted, as messages name it
    std::string name;            // "FAT" ... where a limit comes with it; else ""
    std::uint64_t freeBytes = 0; // what this user may still write
    std::uint64_t blockSize = 0; // every file takes whole blocks
    std::uint64_t largestFile = kNoFileSizeLimit;
};

// Asks about the file system of an existing folder (a native path); nullopt when it
// cannot be asked.
using FileSystemQuery =
    std::function<std::optional<FileSystemFacts>(const std::filesystem::path& folder)>;

std::optional<FileSystemFacts> fileSystemFacts(const std::filesystem::path& folder);
// Replaces how file systems are asked (a test answers "FAT" so); an empty query restores
// the system's.
void setFileSystemQuery(FileSystemQuery query);

// What a job will write into one folder.
struct RoomNeed {
    std::uint64_t bytes = 0;       // all its files together
    std::uint64_t files = 0;       // how many: each takes whole blocks
    std::uint64_t largestFile = 0; // the largest of them; 0 when not known
};

// What a refusal for a file too large advises.
enum class LargeFileAdvice { SmallerPieces, AnotherDrive };

// Why the folder (as the programs name it) cannot take a job, checked before the job's
// first byte: a file larger than its file system holds (75, "/media/usb cannot hold files
// over 4 GB (FAT file system). Choose pieces of at most 4 GB or another drive.") or too
// little free space (61, "There is not enough space on /media/usb: 312 MB more are
// needed."). nullopt when it can, or cannot be asked.
std::optional<RunError> roomRefusal(const std::string& folder, const RoomNeed& need,
                                    LargeFileAdvice advice);

// The failure of a write that found the folder's disk full while the job still had
// bytesLeft to write: how much more room it needs.
std::string diskFullText(const std::string& folder, std::uint64_t bytesLeft);

// Why a write of the file failed as too large: this process's file size limit or its
// file system's largest file.
std::string fileTooLargeText(const std::string& path);

// A number of bytes as the messages above give it, in binary multiples: "900 bytes",
// "1.5 KB", "312 MB", "4 GB"; rounded up (room needed) or to the nearest (a limit).
std::string roomSizeText(std::uint64_t bytes, bool roundUp);

// Lets writing past a file size limit fail with its error instead of ending the process
// (SIGXFSZ); each program calls it as it starts.
void ignoreFileSizeSignal();

} // namespace parcelo
