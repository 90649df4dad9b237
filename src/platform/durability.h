#pragma once

#include <string>
#include <vector>

namespace parcelo {

// Whether a job makes what it writes durable before it reports it done: each output's
// data reaches the disk before the output takes its final name, and each folder it was
// renamed into is synced after the renames. On by default; front ends set it from their
// option ("Flush to disk before reporting done", --no-sync).
void setFlushToDisk(bool flush);
bool flushToDisk();

// How one output is made durable.
enum class Durability {
    AsOptioned, // as flushToDisk() says when the output is made
    Always,     // whatever the option says: the configuration file
    Scratch,    // a copy its job deletes itself (a compressed file that is split next): never
};

// One job's syncing. While one lives on a thread, the folders that outputs committed on
// that thread were renamed into are synced by syncFolders() or at its end, each once,
// instead of after each commit; a job started inside another is part of the outer one.
class DurableJob {
public:
    DurableJob();
    ~DurableJob(); // syncs what is left, quietly: a failed job's report stands
    DurableJob(const DurableJob&) = delete;
    DurableJob& operator=(const DurableJob&) = delete;

    // Syncs each folder renamed into since the last call; throws RunError naming a folder
    // that could not be synced.
    void syncFolders();

private:
    bool outer_ = false;
    std::vector<std::string> folders_; // the outermost job's, not yet synced
};

// Syncs the folders renamed into by the job running on this thread (none without one):
// before a diskette is changed. Throws as DurableJob::syncFolders.
void syncRenamedFolders();

namespace durable {

// What SafeOutput and File use. Starts writing the file's dirty pages to the disk without
// waiting for them, so that a later syncData finds them mostly written.
void startWriteback(int fd) noexcept;
// Waits until the file's data (and what is needed to read it back) is on the disk; 0 or
// the OS error (none for a file system that cannot sync such a file).
int syncData(int fd) noexcept;
// syncData of each descriptor, several at a time, so that the disk's cache is flushed for
// many at once rather than once for each; the OS error of each.
std::vector<int> syncDataOfAll(const std::vector<int>& fds);
// The folder an output was renamed into: synced now, or by the job running on this thread.
void renamedInto(const std::string& nativeFolder);

} // namespace durable

} // namespace parcelo
