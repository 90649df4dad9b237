#include "platform/safe_output.h"

#include "platform/paths.h"
#include "platform/run_error.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace parcelo {

namespace {

constexpr std::size_t kLongestName = 255; // bytes in one name on the usual file systems
constexpr std::size_t kRandomTail = 6;
constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kCreateAttempts = 100;
constexpr time_t kFreshSeconds = 5;

// A temporary folder carries this file, with exactly this text, from its first moment: only
// a folder marked so is ever cleared as a stale temporary.
constexpr const char* kFolderMarkName = ".parcelo-temporary";
constexpr std::string_view kFolderMark =
    "A temporary folder of Parcelo, removed when its job ends.\n";

// The temporary paths this process has open, readable from a signal handler: a slot is
// claimed (1), filled, then published (2); the handler only reads published slots. A split
// keeps every piece open here until its last piece is complete; the pages of slots never
// used are never touched. Temporary folders have a table of their own.
constexpr std::size_t kSlotPath = 4096;
struct Slot {
    std::atomic<int> state{0};
    char path[kSlotPath]{};
};
std::array<Slot, 1024> g_files;
std::array<Slot, 64> g_folders;

template <std::size_t N>
int publish(std::array<Slot, N>& slots, const std::string& path) noexcept
{
    if (path.size() >= kSlotPath)
        return -1;
    for (std::size_t i = 0; i < N; ++i) {
        int expected = 0;
        if (slots[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
            slots[i].state.store(2);
            return static_cast<int>(i);
        }
    }
    return -1; // more open files than slots: only the signal clean-up misses it
}

template <std::size_t N>
void unpublish(std::array<Slot, N>& slots, int slot) noexcept
{
    if (slot >= 0)
        slots[static_cast<std::size_t>(slot)].state.store(0);
}

// A signal's exit must not come between a temporary's creation and its publishing, or the
// temporary would outlive the process: the exit is asked for (g_exitStatus), and whoever
// sees no creation left in progress (the handler, or the last creator) carries it out.
std::atomic<int> g_creating{0};
std::atomic<int> g_exitStatus{-1};

[[noreturn]] void removeOutputsAndExit(int status) noexcept;

// Spans the creation and publishing of one temporary.
class CreationGuard {
public:
    CreationGuard() noexcept
    {
        g_creating.fetch_add(1);
        if (g_exitStatus.load() < 0)
            return;
        // an exit was asked for before this creation started: it creates nothing
        if (g_creating.fetch_sub(1) == 1)
            removeOutputsAndExit(g_exitStatus.load());
        for (;;)
            ::pause(); // another creation in progress ends the process
    }
    ~CreationGuard()
    {
        if (g_creating.fetch_sub(1) == 1 && g_exitStatus.load() >= 0)
            removeOutputsAndExit(g_exitStatus.load());
    }
    CreationGuard(const CreationGuard&) = delete;
    CreationGuard& operator=(const CreationGuard&) = delete;
};

// Removes the files and links in a temporary folder, then the folder: async-signal-safe
// (no allocation, no stdio). A few passes, since removing entries while they are listed may
// skip some; anything that cannot go (a folder inside) keeps the folder.
void removeFolderOnSignal(const char* path) noexcept
{
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    alignas(dirent64) char buffer[4096];
    constexpr std::size_t kNameAt = offsetof(dirent64, d_name);
    for (int pass = 0; pass < 4; ++pass) {
        bool removed = false;
        ::lseek(fd, 0, SEEK_SET);
        for (ssize_t got; (got = ::getdents64(fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                unsigned short length = 0;
                std::memcpy(&length, buffer + at + offsetof(dirent64, d_reclen), sizeof length);
                const char* name = buffer + at + kNameAt;
                if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
                    removed = ::unlinkat(fd, name, 0) == 0 || removed;
                at += length;
            }
        }
        if (!removed)
            break;
    }
    ::close(fd);
    ::rmdir(path);
}

// The descriptors that hold the locks of uncommitted temporary files (kept after the file
// itself is closed, as a split's finished pieces are), and the room kept beside them for
// every other file.
std::atomic<std::size_t> g_heldLocks{0};
constexpr rlim_t kOtherFiles = 512;
constexpr rlim_t kMostOpenFiles = rlim_t{1} << 20;

// True when one more lock may be held: the soft limit of open files is raised to the hard
// one once the locks come near it.
bool roomForAnotherLock() noexcept
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return false;
    const rlim_t needed = g_heldLocks.load() + 1 + kOtherFiles;
    if (limit.rlim_cur >= needed)
        return true;
    limit.rlim_cur = std::min(limit.rlim_max, kMostOpenFiles);
    return limit.rlim_cur >= needed && ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

// Locks a temporary this process has just created. Another process may hold the lock for
// an instant while it looks whether the file is in use; a lock that stays taken (only a
// foreign process can do that) leaves the file unlocked, as a file system without locks does.
void lockCreated(int fd) noexcept
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::string randomTail()
{
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    std::string tail;
    for (std::size_t i = 0; i < kRandomTail; ++i)
        tail += kLetters[pick(engine)];
    return tail;
}

// The final name, cut so that name, marker and tail fit in one file-name component.
std::string temporaryStem(const std::filesystem::path& finalNative)
{
    std::string name = finalNative.filename().string();
    const std::size_t room = kLongestName - std::strlen(kTemporaryMarker) - kRandomTail;
    if (name.size() > room) {
        name.resize(room);
        while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80)
            name.pop_back(); // no half of a UTF-8 character
        if (!name.empty() && (static_cast<unsigned char>(name.back()) & 0x80) != 0)
            name.pop_back();
    }
    return name + kTemporaryMarker;
}

// Creates folder/stem + a random tail with create (which fails with EEXIST when the name
// is taken) and returns the path; throws RunError naming finalPath.
std::filesystem::path createUniquely(const std::string& finalPath,
                                     const std::function<bool(const char*)>& create)
{
    const std::filesystem::path native = toNativePath(finalPath);
    const std::filesystem::path folder = native.parent_path();
    const std::string stem = temporaryStem(native);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::filesystem::path candidate = folder / (stem + randomTail());
        if (create(candidate.c_str()))
            return candidate;
        if (errno == EEXIST)
            continue;
        const int error = errno;
        throw runErrorFromOs(error, finalPath,
                             error == ENOENT && !folderExists(fromNativePath(folder)));
    }
    throw runErrorFromOs(EEXIST, finalPath);
}

// The final name a temporary's name stands for (cut as temporaryStem cuts it), when the
// name is one this program makes: that name, the marker and a tail of its random letters.
std::optional<std::string> finalNameOf(std::string_view name)
{
    const std::size_t marker = std::strlen(kTemporaryMarker);
    if (name.size() <= marker + kRandomTail)
        return std::nullopt;
    const std::size_t tailAt = name.size() - kRandomTail;
    if (name.substr(tailAt - marker, marker) != kTemporaryMarker
        || name.substr(tailAt).find_first_not_of(kLetters) != std::string_view::npos)
        return std::nullopt;
    return std::string(name.substr(0, tailAt - marker));
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the folder open as `folder` carries the mark of a temporary folder.
bool carriesFolderMark(int folder) noexcept
{
    const int fd =
        ::openat(folder, kFolderMarkName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    char text[kFolderMark.size() + 1];
    const bool marked = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
                        && ::read(fd, text, sizeof text) == static_cast<ssize_t>(kFolderMark.size())
                        && std::string_view(text, kFolderMark.size()) == kFolderMark;
    ::close(fd);
    return marked;
}

bool markFolder(int folder) noexcept
{
    const int fd = ::openat(folder, kFolderMarkName,
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, kFolderMark.data(), kFolderMark.size())
                         == static_cast<ssize_t>(kFolderMark.size());
    return ::close(fd) == 0 && written;
}

// The entry `name` of the folder open as dir, opened, when it is one this program makes
// for its temporaries: a regular file of this user with no other name, or a folder of this
// user that carries the folder mark. -1 for anything else, which is never touched.
int openTemporary(int dir, const char* name, struct stat& info) noexcept
{
    struct stat seen {};
    if (::fstatat(dir, name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || seen.st_uid != ::geteuid()
        || !(S_ISREG(seen.st_mode) || S_ISDIR(seen.st_mode)))
        return -1;
    const int fd = ::openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const bool ours = ::fstat(fd, &info) == 0 && sameFile(info, seen)
                      && ((S_ISREG(info.st_mode) && info.st_nlink == 1)
                          || (S_ISDIR(info.st_mode) && carriesFolderMark(fd)));
    if (ours)
        return fd;
    ::close(fd);
    return -1;
}

// A temporary is stale when no job holds its lock and it is older than a job needs to
// lock what it creates; taking the lock keeps it stale while it is removed. Every other
// temporary is in use.
bool isStale(int fd, const struct stat& info) noexcept
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 && info.st_mtime + kFreshSeconds < ::time(nullptr);
}

using TemporaryVisit = std::function<bool(int dir, const char* name, int fd, const struct stat&)>;

// Calls visit with each temporary of this program in folder whose final name `belongs`
// accepts, open as fd (closed afterwards), until visit returns false.
void forEachTemporary(const std::filesystem::path& folder, const FinalNameFilter& belongs,
                      const TemporaryVisit& visit)
{
    DIR* list = ::opendir(folder.empty() ? "." : folder.c_str());
    if (list == nullptr)
        return; // a folder that cannot be listed holds nothing to look at
    const int dir = ::dirfd(list);
    bool goOn = true;
    while (goOn) {
        const dirent* entry = ::readdir(list);
        if (entry == nullptr)
            break;
        const auto finalName = finalNameOf(entry->d_name);
        if (!finalName || !belongs(*finalName))
            continue;
        struct stat info {};
        const int fd = openTemporary(dir, entry->d_name, info);
        if (fd < 0)
            continue;
        goOn = visit(dir, entry->d_name, fd, info);
        ::close(fd);
    }
    ::closedir(list);
}

// Removes the links and files of a stale temporary folder open as fd, then the folder. One
// that holds anything else (a folder, say) was not filled by this program and stays whole.
void removeTemporaryFolder(int dir, const char* name, int fd)
{
    const int listFd = ::dup(fd);
    DIR* list = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (list == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    std::vector<std::string> entries;
    bool onlyLinksAndFiles = true;
    while (const dirent* entry = ::readdir(list)) {
        const std::string_view entryName = entry->d_name;
        if (entryName == "." || entryName == "..")
            continue;
        struct stat info {};
        onlyLinksAndFiles = ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
                            && (S_ISLNK(info.st_mode) || S_ISREG(info.st_mode));
        if (!onlyLinksAndFiles)
            break;
        entries.emplace_back(entryName);
    }
    ::closedir(list);
    if (!onlyLinksAndFiles)
        return;
    for (const std::string& entry : entries)
        ::unlinkat(fd, entry.c_str(), 0);
    ::unlinkat(dir, name, AT_REMOVEDIR);
}

void removeStale(const std::filesystem::path& folder, const FinalNameFilter& belongs)
{
    forEachTemporary(folder, belongs, [](int dir, const char* name, int fd, const auto& info) {
        if (isStale(fd, info)) {
            if (S_ISDIR(info.st_mode))
                removeTemporaryFolder(dir, name, fd);
            else
                ::unlinkat(dir, name, 0);
        }
        return true;
    });
}

} // namespace

SafeOutput::SafeOutput(const std::string& finalPath, Durability durability, Sharing sharing)
    : finalPath_(finalPath), durable_(durability == Durability::Always
                                      || (durability == Durability::AsOptioned && flushToDisk()))
{
    const mode_t mode = sharing == Sharing::Private ? 0600 : 0666;
    const CreationGuard creating;
    int fd = -1;
    const std::filesystem::path created =
        createUniquely(finalPath, [&fd, mode](const char* candidate) {
            fd = ::open(candidate, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            return fd >= 0;
        });
    lockCreated(fd);
    // The lock outlives the file: a split closes each piece long before it commits it.
    if (roomForAnotherLock()) {
        lock_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (lock_ >= 0)
            ++g_heldLocks;
    }
    temporaryPath_ = created.string();
    file_ = File::adopt(fd, finalPath);
    file_.setWriteBehind(durable_);
    slot_ = publish(g_files, temporaryPath_);
}

SafeOutput::SafeOutput(SafeOutput&& other) noexcept
    : file_(std::move(other.file_)), finalPath_(std::move(other.finalPath_)),
      temporaryPath_(std::move(other.temporaryPath_)), slot_(other.slot_), lock_(other.lock_),
      durable_(other.durable_), dataSynced_(other.dataSynced_)
{
    other.temporaryPath_.clear();
    other.slot_ = -1;
    other.lock_ = -1;
}

SafeOutput& SafeOutput::operator=(SafeOutput&& other) noexcept
{
    if (this != &other) {
        discard();
        file_ = std::move(other.file_);
        finalPath_ = std::move(other.finalPath_);
        temporaryPath_ = std::move(other.temporaryPath_);
        slot_ = other.slot_;
        lock_ = other.lock_;
        durable_ = other.durable_;
        dataSynced_ = other.dataSynced_;
        other.temporaryPath_.clear();
        other.slot_ = -1;
        other.lock_ = -1;
    }
    return *this;
}

SafeOutput::~SafeOutput()
{
    discard();
}

void SafeOutput::discard() noexcept
{
    file_ = File();
    if (!temporaryPath_.empty())
        ::unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
    releaseLock();
    unpublish(g_files, slot_);
    slot_ = -1;
}

void SafeOutput::releaseLock() noexcept
{
    if (lock_ < 0)
        return;
    ::close(lock_);
    --g_heldLocks;
    lock_ = -1;
}

void SafeOutput::commit()
{
    finish(true);
}

void SafeOutput::commitWithoutReplacing()
{
    finish(false);
}

bool SafeOutput::needsSync() const
{
    return durable_ && !dataSynced_ && !temporaryPath_.empty();
}

// Closes the file (a failure to store its data throws) and gives a descriptor to sync it
// by: the lock's, which shares the written file's open state, or one opened for it (owned).
int SafeOutput::openForSync(bool& owned)
{
    file_.close();
    owned = lock_ < 0;
    if (!owned)
        return lock_;
    const int fd = ::open(temporaryPath_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        throw runErrorFromOs(errno, finalPath_);
    return fd;
}

void SafeOutput::syncData()
{
    syncAll({std::span<SafeOutput>(this, 1)});
}

void SafeOutput::syncAll(std::initializer_list<std::span<SafeOutput>> groups)
{
    std::vector<SafeOutput*> outputs;
    std::vector<int> fds;
    std::vector<int> owned;
    const auto closeOwned = [&owned] {
        for (const int fd : owned)
            ::close(fd);
    };
    for (std::span<SafeOutput> group : groups) {
        for (SafeOutput& output : group) {
            if (!output.needsSync())
                continue;
            bool ownsFd = false;
            try {
                fds.push_back(output.openForSync(ownsFd));
            } catch (...) {
                output.discard();
                closeOwned();
                throw;
            }
            if (ownsFd)
                owned.push_back(fds.back());
            outputs.push_back(&output);
        }
    }
    const std::vector<int> errors = durable::syncDataOfAll(fds);
    closeOwned();
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (errors[i] != 0) {
            outputs[i]->discard();
            throw runErrorFromOs(errors[i], outputs[i]->finalPath_);
        }
        outputs[i]->dataSynced_ = true;
    }
}

// The temporary file, open: the file itself while it is, else the lock on it.
int SafeOutput::descriptor() const noexcept
{
    return file_.isOpen() ? file_.descriptor() : lock_;
}

// A file that takes the place of another keeps its permission bits (not its set-ID bits);
// a link or anything else in its place says nothing about them.
void SafeOutput::takeModeOfReplaced(const std::filesystem::path& target) const noexcept
{
    struct stat replaced {};
    if (::lstat(target.c_str(), &replaced) != 0 || !S_ISREG(replaced.st_mode))
        return;
    const mode_t mode = replaced.st_mode & 0777;
    const int fd = descriptor();
    // Best effort: a mode that cannot be kept leaves the new file with the default one.
    const int kept = fd >= 0
                         ? ::fchmod(fd, mode)
                         : ::fchmodat(AT_FDCWD, temporaryPath_.c_str(), mode, AT_SYMLINK_NOFOLLOW);
    static_cast<void>(kept);
}

void SafeOutput::finish(bool replace)
{
    std::filesystem::path folder;
    try {
        const std::filesystem::path target = toNativePath(finalPath_);
        folder = target.parent_path();
        if (replace)
            takeModeOfReplaced(target);
        file_.close();
        syncData();
        int result = 0;
        if (replace) {
            result = ::rename(temporaryPath_.c_str(), target.c_str());
        } else {
            result = ::renameat2(AT_FDCWD, temporaryPath_.c_str(), AT_FDCWD, target.c_str(),
                                 RENAME_NOREPLACE);
            if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
                // A file system without the no-replace rename: a hard link never replaces.
                result = ::link(temporaryPath_.c_str(), target.c_str());
                if (result == 0)
                    ::unlink(temporaryPath_.c_str());
            }
        }
        if (result != 0)
            throw runErrorFromOs(errno, finalPath_);
    } catch (...) {
        discard();
        throw;
    }
    temporaryPath_.clear();
    releaseLock();
    unpublish(g_files, slot_);
    slot_ = -1;
    if (durable_)
        durable::renamedInto(folder.string());
}

TemporaryFolder::TemporaryFolder(const std::string& finalPath)
{
    const CreationGuard creating;
    native_ = createUniquely(finalPath,
                             [](const char* candidate) { return ::mkdir(candidate, 0700) == 0; });
    fd_ = ::open(native_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ >= 0)
        lockCreated(fd_);
    if (fd_ < 0 || !markFolder(fd_)) {
        const int error = errno;
        removeFolder();
        throw runErrorFromOs(error, finalPath);
    }
    path_ = withTrailingSeparator(fromNativePath(native_));
    slot_ = publish(g_folders, native_.string());
}

TemporaryFolder::~TemporaryFolder()
{
    removeFolder();
}

void TemporaryFolder::removeFolder() noexcept
{
    unpublish(g_folders, slot_);
    slot_ = -1;
    std::error_code ignored;
    std::filesystem::remove_all(native_, ignored);
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void removeStaleTemporaries(const std::string& finalPath) noexcept
{
    try {
        const std::filesystem::path native = toNativePath(finalPath);
        std::string stem = temporaryStem(native);
        stem.resize(stem.size() - std::strlen(kTemporaryMarker));
        removeStale(native.parent_path(),
                    [&stem](const std::string& name) { return name == stem; });
    } catch (...) {
        // a path that cannot be looked at (no diskette in the drive) has nothing to clear
    }
}

void removeStaleTemporaries(const std::string& folder, const FinalNameFilter& belongs) noexcept
{
    try {
        removeStale(toNativePath(folder), belongs);
    } catch (...) {
        // a folder that cannot be looked at has nothing to clear
    }
}

bool temporaryInUse(const std::string& folder, const FinalNameFilter& belongs,
                    const std::string& own) noexcept
{
    bool inUse = false;
    try {
        const std::string ownName = toNativePath(own).filename().string();
        forEachTemporary(toNativePath(folder), belongs,
                         [&](int, const char* name, int fd, const auto& info) {
                             inUse = name != ownName && !isStale(fd, info);
                             return !inUse;
                         });
    } catch (...) {
        // a folder that cannot be listed holds nothing in use
    }
    return inUse;
}

namespace {

void removeOutputsAndExit(int status) noexcept
{
    for (Slot& slot : g_files)
        if (slot.state.load() == 2)
            ::unlink(slot.path);
    for (Slot& slot : g_folders)
        if (slot.state.load() == 2)
            removeFolderOnSignal(slot.path);
    ::_exit(status);
}

} // namespace

void exitRemovingSafeOutputs(int status) noexcept
{
    g_exitStatus.store(status);
    if (g_creating.load() == 0)
        removeOutputsAndExit(status);
}

} // namespace parcelo
