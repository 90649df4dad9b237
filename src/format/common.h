#pragma once

#include <cstdint>
#include <string>

// Path, drive and file helpers shared by both programs. They work on plain strings with
// the native separator; positions are found from the right; none of them checks that a
// path exists unless stated.
namespace parcelo {

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

// The folder with a separator at its end (added when missing; "" stays "").
std::string withTrailingSeparator(const std::string& folder);

} // namespace parcelo
