#include "platform/safe_output.h"

#include "platform/paths.h"
#include "platform/run_error.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <system_error>

namespace parcelo {

namespace {

constexpr std::size_t kLongestName = 255; // bytes in one name on the usual file systems
constexpr std::size_t kRandomTail = 6;
constexpr int kCreateAttempts = 100;
constexpr time_t kFreshSeconds = 5;

// The temporary paths this process has open, readable from a signal handler: a slot is
// claimed (1), filled, then published (2); the handler only reads published slots. A split
// keeps every piece open here until its last piece is complete; the pages of slots never
// used are never touched.
constexpr int kSlots = 1024;
constexpr std::size_t kSlotPath = 4096;
struct Slot {
    std::atomic<int> state{0};
    char path[kSlotPath]{};
};
Slot g_slots[kSlots];

int publish(const std::string& path) noexcept
{
    if (path.size() >= kSlotPath)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (g_slots[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
            g_slots[i].state.store(2);
            return i;
        }
    }
    return -1; // more open files than slots: only the signal clean-up misses it
}

void unpublish(int slot) noexcept
{
    if (slot >= 0)
        g_slots[slot].state.store(0);
}

std::string randomTail()
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
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

} // namespace

SafeOutput::SafeOutput(const std::string& finalPath) : finalPath_(finalPath)
{
    const std::filesystem::path native = toNativePath(finalPath);
    const std::filesystem::path folder = native.parent_path();
    const std::string stem = temporaryStem(native);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const std::filesystem::path candidate = folder / (stem + randomTail());
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            const int error = errno;
            throw runErrorFromOs(error, finalPath,
                                 error == ENOENT && !folderExists(fromNativePath(folder)));
        }
        ::flock(fd, LOCK_EX | LOCK_NB); // tells removeStaleTemporaries the file is live
        temporaryPath_ = candidate.string();
        file_ = File::adopt(fd, finalPath);
        slot_ = publish(temporaryPath_);
        return;
    }
    throw runErrorFromOs(EEXIST, finalPath);
}

SafeOutput::SafeOutput(SafeOutput&& other) noexcept
    : file_(std::move(other.file_)), finalPath_(std::move(other.finalPath_)),
      temporaryPath_(std::move(other.temporaryPath_)), slot_(other.slot_)
{
    other.temporaryPath_.clear();
    other.slot_ = -1;
}

SafeOutput& SafeOutput::operator=(SafeOutput&& other) noexcept
{
    if (this != &other) {
        discard();
        file_ = std::move(other.file_);
        finalPath_ = std::move(other.finalPath_);
        temporaryPath_ = std::move(other.temporaryPath_);
        slot_ = other.slot_;
        other.temporaryPath_.clear();
        other.slot_ = -1;
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
    unpublish(slot_);
    slot_ = -1;
}

void SafeOutput::commit()
{
    finish(true);
}

void SafeOutput::commitWithoutReplacing()
{
    finish(false);
}

void SafeOutput::finish(bool replace)
{
    try {
        file_.close();
        const std::filesystem::path target = toNativePath(finalPath_);
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
    unpublish(slot_);
    slot_ = -1;
}

TemporaryFolder::TemporaryFolder(const std::string& finalPath)
{
    const std::filesystem::path native = toNativePath(finalPath);
    std::string pattern = (native.parent_path() / temporaryStem(native)).string();
    pattern.append(kRandomTail, 'X');
    if (::mkdtemp(pattern.data()) == nullptr) {
        const int error = errno;
        throw runErrorFromOs(error, finalPath);
    }
    fd_ = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ >= 0)
        ::flock(fd_, LOCK_EX | LOCK_NB); // tells removeStaleTemporaries the folder is live
    native_ = pattern;
    path_ = withTrailingSeparator(fromNativePath(native_));
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(native_, ignored);
    if (fd_ >= 0)
        ::close(fd_);
}

void removeStaleTemporaries(const std::string& finalPath) noexcept
{
    try {
        const std::filesystem::path native = toNativePath(finalPath);
        const std::string stem = temporaryStem(native);
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(native.parent_path(), ec)) {
            const std::string name = entry.path().filename().string();
            if (name.size() != stem.size() + kRandomTail || name.compare(0, stem.size(), stem) != 0)
                continue;
            const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0)
                continue;
            // Unlocked means nobody writes it any more; the age rules out one that a running
            // job has created but not yet locked.
            struct stat info {};
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0
                && info.st_mtime + kFreshSeconds < ::time(nullptr)) {
                if (S_ISDIR(info.st_mode))
                    std::filesystem::remove_all(entry.path(), ec); // links in it are not followed
                else
                    ::unlink(entry.path().c_str());
            }
            ::close(fd);
        }
    } catch (...) {
        // a folder that cannot be listed has nothing to clear
    }
}

void removeSafeOutputsOnSignal() noexcept
{
    for (Slot& slot : g_slots)
        if (slot.state.load() == 2)
            ::unlink(slot.path);
}

} // namespace parcelo
