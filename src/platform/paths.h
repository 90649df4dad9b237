#pragma once

#include <cstdint>
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
// True when this user may write the file, or create files in the folder.
bool isWritable(const std::string& path);
// The longest name in bytes a file in the folder may have ("" is the working folder);
// 255 when the system cannot tell.
std::size_t longestNameIn(const std::string& folder);

// Length of a file in bytes; throws RunError (53 when it is missing).
std::uint64_t fileLength(const std::string& path);

// Deletes a file; throws RunError on failure.
void deleteFile(const std::string& path);
// Deletes a file when it exists and ignores every error; returns true when it is gone.
bool removeFileQuietly(const std::string& path);

// Lists the root of the diskette drive once, as the system does when a drive is touched.
void touchDisketteDrive();

// Path, drive and file helpers shared by both programs. They work on plain strings with
// the native separator; positions are found from the right; none of them checks that a
// path exists unless stated.
// The text after the last separator; the whole text when there is none.
std::string GetFileNameFromPath(const std::string& path);
// The text up to and including the last separator; "" when there is none.
std::string GetFolderFromPath(const std::string& path);
// The text after the last "." anywhere in the text; the whole text when there is none.
std::string GetFileExtension(const std::string& path);
// The text before the last "."; the text unchanged when it holds none.
std::string RemoveFileExtension(const std::string& path);
// Creates the folder (one level) when nothing of that name exists; never fails.
void EnsureFolderExists(const std::string& path);
// Free bytes on the drive named by its letter ("a" is the diskette drive); 0 when the
// drive cannot be asked.
std::uint64_t GetDriveFreeSpace(const std::string& driveLetter);

// The colon repair of a typed path. On Windows a path whose second character is not ":"
// gets one after its first character (C\data -> C:\data), except UNC paths (\\server);
// elsewhere paths have no drive letters and stay as typed.
std::string repairPathColon(const std::string& path);

// The repair by the rules of a system with drive letters (true) or without (false).
std::string repairPathColon(const std::string& path, bool driveLetters);

// The folder with a separator at its end (added when missing; "" stays "").
std::string withTrailingSeparator(const std::string& folder);

} // namespace parcelo
