#include "platform/durability.h"

#include "platform/run_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace parcelo {

namespace {

std::atomic<bool> g_flushToDisk{true};

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

void syncData(int fd, const std::string& path)
{
    if (::fdatasync(fd) != 0 && !cannotSync(errno))
        throw runErrorFromOs(errno, path);
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
