#pragma once

#include "compress/percent_progress.h"
#include "platform/durability.h"
#include "platform/safe_output.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace parcelo {

class Password;
class RunError;

// The archive comment that marks a folder set: a ZIP archive of a whole folder, which a
// join unpacks into a folder. It is a mark in plain sight, no proof: every entry of such an
// archive is still checked as untrusted.
inline constexpr std::string_view kFolderSetComment = "Parcelo folder set";

// Asked for a file of the folder that cannot be opened: true leaves it out of the archive,
// false fails the packing with the reason.
using UnreadableFile = std::function<bool(const std::string& path, const RunError& why)>;

// What packing a folder left out, by their paths inside it.
struct FolderPacking {
    std::vector<std::string> specialFiles; // sockets, FIFOs and devices
    std::vector<std::string> unreadable;   // files UnreadableFile let go
    // One line for each kind left out, for the outcome; none when nothing was.
    std::vector<std::string> notices() const;
};

// Writes at targetPath a ZIP archive (ZIP64 where the sizes need it) of every file, folder
// and symbolic link under folderPath, with their paths inside it, modification times and
// permission bits, marked with kFolderSetComment. Files are deflated at level (1 to 9) or
// stored (0); a link is stored as a link, never followed. Special files are left out and
// listed in `packing`. The archive takes its name only when complete. report receives each
// whole percentage of the files' bytes; a stop throws JobStopped. With a password the files'
// data is encrypted with AES-256.
void writeFolderArchive(const std::string& folderPath, const std::string& targetPath, int level,
                        const PercentProgress::Report& report,
                        const PercentProgress::BytesReport& bytes, Durability durability,
                        Sharing sharing, const Password* password, const UnreadableFile& unreadable,
                        FolderPacking& packing);

// True when the archive at archivePath carries the folder-set mark.
bool isFolderArchive(const std::string& archivePath);

// Why an entry's name cannot be a path inside the folder it is unpacked into: an empty
// name, a NUL character, an absolute path, a ".." or "." or empty part; "" when it can.
std::string folderEntryProblem(std::string_view name);

// Unpacks a folder set's archive into the folder targetPath. Every entry is checked before
// anything is written: its name (folderEntryProblem), its kind (files, folders and links
// only), that it appears once and that no part of its path is a link or file of the archive.
// The folder is built under a temporary name beside targetPath and takes that name only when
// complete; an existing targetPath is replaced only when `replace` says so (else 58, "File
// already exists"). Modes are the stored ones without the set-user, set-group and sticky
// bits and within the umask; links are made last. A CRC that does not match fails the
// unpacking at that entry. A failure or stop leaves nothing.
void extractFolderArchive(const std::string& archivePath, const std::string& targetPath,
                          const PercentProgress::Report& report,
                          const PercentProgress::BytesReport& bytes, bool replace,
                          const Password* password);

} // namespace parcelo
