#pragma once

#include "platform/durability.h"
#include "platform/file.h"

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace parcelo {

// Who may read a file the programs make: whom the umask lets (the user's own files), or
// its owner alone (a private copy of the user's data outside the destination).
enum class Sharing { Shared, Private };

// A file written under a temporary name in its destination folder and moved onto its
// final name only when it is complete. The temporary file is created exclusively (it
// never follows a link or reuses a file), holds an advisory lock until it is committed or
// discarded (also once the file itself is closed), and is removed on every way out that
// does not commit it. A process killed mid-write leaves at most
// "<final name>.parcelo-tmp-XXXXXX", which removeStaleTemporaries clears. A durable output
// (see durability.h) is written back while it is written, its data is synced before it
// takes its final name and its folder after.
class SafeOutput {
public:
    SafeOutput() = default;
    // Creates the temporary file for finalPath; throws RunError naming finalPath.
    explicit SafeOutput(const std::string& finalPath,
                        Durability durability = Durability::AsOptioned,
                        Sharing sharing = Sharing::Shared);
    SafeOutput(SafeOutput&& other) noexcept;
    SafeOutput& operator=(SafeOutput&& other) noexcept;
    SafeOutput(const SafeOutput&) = delete;
    SafeOutput& operator=(const SafeOutput&) = delete;
    ~SafeOutput(); // discards an uncommitted file

    bool isOpen() const { return file_.isOpen(); }
    // The open temporary file; its errors name the final path.
    File& file() { return file_; }
    const std::string& finalPath() const { return finalPath_; }
    const std::string& temporaryPath() const { return temporaryPath_; }

    // Closes the complete file and waits until its data is on the disk (once; commit does
    // it when it was not done). Throws RunError naming the final path, with the temporary
    // file removed.
    void syncData();
    // syncData for every output of the groups, several at a time: a job syncs all its
    // outputs so before it commits the first, which costs about one flush of the disk's
    // cache instead of one for each. A failure removes the output that failed.
    static void syncAll(std::initializer_list<std::span<SafeOutput>> groups);
    // Closes the file (a failure to store its data throws) and renames it onto the final
    // name, replacing a file there, whose permission bits it takes. On failure the
    // temporary file is removed. A durable output's data is synced first, and its
    // folder after (see DurableJob): a failure to sync the folder throws with the file
    // under its final name.
    void commit();
    // As commit, but fails with "File already exists" (58) when the final name is taken.
    void commitWithoutReplacing();
    // Closes and removes the temporary file; nothing at the final name changes.
    void discard() noexcept;

private:
    bool needsSync() const;
    int openForSync(bool& owned);
    void finish(bool replace);
    int descriptor() const noexcept;
    void takeModeOfReplaced(const std::filesystem::path& target) const noexcept;
    void releaseLock() noexcept;

    File file_;
    std::string finalPath_;
    std::string temporaryPath_; // native path of the temporary file
    int slot_ = -1;             // its place in the table cleared on a signal
    int lock_ = -1;             // holds the lock (none when no more files may be opened)
    bool durable_ = false;      // synced before it is reported done
    bool dataSynced_ = false;
};

// A folder that stands beside a final name for the length of a job (named as a temporary
// file of it, created exclusively, locked and marked as this program's by a file inside)
// and is removed with everything in it when the job ends. One a killed process left is
// cleared by removeStaleTemporaries when it holds nothing but links and files.
class TemporaryFolder {
public:
    // Creates the folder for finalPath; throws RunError naming finalPath.
    explicit TemporaryFolder(const std::string& finalPath);
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    // The folder's path, with a separator at its end.
    const std::string& path() const { return path_; }

private:
    void removeFolder() noexcept;

    std::filesystem::path native_;
    std::string path_;
    int fd_ = -1;   // holds the lock
    int slot_ = -1; // its place in the table cleared on a signal
};

// The marker between a final name and the random tail of its temporary file.
inline constexpr const char* kTemporaryMarker = ".parcelo-tmp-";

// Removes the temporary files and folders that finished jobs for finalPath left behind (a
// killed process); one another running job still uses is left alone, and so is anything
// this program does not make: a name off its pattern, a link, a file with other names or
// of another user, a folder without its mark.
void removeStaleTemporaries(const std::string& finalPath) noexcept;

// Tells whether a final name, as a temporary file carries it (cut when it is long), is one
// the caller asks about.
using FinalNameFilter = std::function<bool(const std::string& finalName)>;

// removeStaleTemporaries for every final name in folder that belongs accepts.
void removeStaleTemporaries(const std::string& folder, const FinalNameFilter& belongs) noexcept;

// True when a temporary in folder of a final name that belongs accepts is in use: locked by
// a running job, or just created. `own`, a temporary path of the caller's, does not count.
bool temporaryInUse(const std::string& folder, const FinalNameFilter& belongs,
                    const std::string& own) noexcept;

// Removes every temporary file and temporary folder (with what it holds) this process has
// open and ends the process with status. Async-signal-safe: for a handler of SIGINT or
// SIGTERM. While a temporary is being created it returns, and the end comes as soon as that
// temporary is listed for removal.
void exitRemovingSafeOutputs(int status) noexcept;

} // namespace parcelo
