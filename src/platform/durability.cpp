#include "platform/durability.h"

#include "platform/run_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <system_error>
#include <thread>

namespace parcelo {

namespace {

std::atomic<bool> g_flushToDisk{true};

// How many files are synced at once: enough that the disk's cache flushes of their syncs
// come together.
constexpr std::size_t kSyncThreads = 8;

// The folders the outermost job on this thread renamed outputs into, not yet synced.
thread_local std::vector<std::string>* t_jobFolders = nullptr;

// A file system that cannot sync this kind of file says so; there is nothing more to do.
bool cannotSync(int error)
{
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

void syncFolder(const std::string& folder)
{
    const char* path = folder.empty() ? "." : folder.c_str();
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw runErrorFromOs(errno, folder, true);
    const int synced = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (synced != 0 && !cannotSync(error))
        throw runErrorFromOs(error, folder, true);
}

void syncEach(std::vector<std::string>& folders)
{
    std::vector<std::string> pending;
    pending.swap(folders);
    for (const std::string& folder : pending)
        syncFolder(folder);
}

} // namespace

void setFlushToDisk(bool flush)
{
    g_flushToDisk.store(flush);
}

bool flushToDisk()
{
    return g_flushToDisk.load();
}

DurableJob::DurableJob()
{
    if (t_jobFolders == nullptr) {
        t_jobFolders = &folders_;
        outer_ = true;
    }
}

DurableJob::~DurableJob()
{
    if (!outer_)
        return;
    try {
        syncEach(folders_);
    } catch (const RunError&) {
        // the job has reported its outcome already
    }
    t_jobFolders = nullptr;
}

void DurableJob::syncFolders()
{
    syncRenamedFolders();
}

void syncRenamedFolders()
{
    if (t_jobFolders != nullptr)
        syncEach(*t_jobFolders);
}

namespace durable {

void startWriteback(int fd) noexcept
{
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    static_cast<void>(fd);
#endif
}

int syncData(int fd) noexcept
{
    return ::fdatasync(fd) != 0 && !cannotSync(errno) ? errno : 0;
}

std::vector<int> syncDataOfAll(const std::vector<int>& fds)
{
    std::vector<int> errors(fds.size(), 0);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < fds.size(); i = next++)
            errors[i] = syncData(fds[i]);
    };
    std::vector<std::thread> helpers;
    const std::size_t count = std::min(kSyncThreads, fds.size());
    try {
        for (std::size_t i = 1; i < count; ++i)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // no more threads: fewer do the work
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return errors;
}

void renamedInto(const std::string& nativeFolder)
{
    if (t_jobFolders == nullptr) {
        syncFolder(nativeFolder);
        return;
    }
    if (std::find(t_jobFolders->begin(), t_jobFolders->end(), nativeFolder) == t_jobFolders->end())
        t_jobFolders->push_back(nativeFolder);
}

} // namespace durable

} // namespace parcelo
