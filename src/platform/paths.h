#pragma once

#include <filesystem>
#include <string>

namespace parcelo {

// The separator between folders in the paths the programs show and take.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// True for a path on the diskette drive: "a:" (any case) alone or followed by a separator.
bool isDiskettePath(const std::string& path);

// The path the operating system knows. A diskette path maps to the drive's mount
// point; with no medium in the drive this throws RunError 52 (bad file name or number).
std::filesystem::path toNativePath(const std::string& path);

// The path as the programs show it (UTF-8, native separators).
std::string fromNativePath(const std::filesystem::path& path);

// Existence checks that never throw; a diskette path without a medium does not exist.
bool fileExists(const std::string& path);
bool folderExists(const std::string& path);

// Length of a file in bytes; throws RunError (53 when it is missing).
std::uint64_t fileLength(const std::string& path);

// Deletes a file; throws RunError on failure.
void deleteFile(const std::string& path);
// Deletes a file when it exists and ignores every error; returns true when it is gone.
bool removeFileQuietly(const std::string& path);

// Lists the root of the diskette drive once, as the system does when a drive is touched.
void touchDisketteDrive();

} // namespace parcelo
