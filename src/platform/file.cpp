#include "platform/file.h"

#include "platform/copy_core.h"
#include "platform/durability.h"
#include "platform/paths.h"
#include "platform/run_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <optional>

namespace parcelo {

namespace {

// How much a write-behind file writes between two starts of writing back.
constexpr std::uint64_t kWriteBehindStep = std::uint64_t{8} << 20;

struct WriteFault {
    std::uint64_t bytesLeft;
    int osError;
    std::string pathPart;
};
// Writes run on several threads: the fault is read and spent under its lock.
std::mutex g_faultLock;
std::optional<WriteFault> g_writeFault;
std::atomic<bool> g_faultArmed{false};

bool faultApplies(const std::string& path)
{
    if (!g_faultArmed.load(std::memory_order_acquire))
        return false;
    const std::lock_guard lock(g_faultLock);
    return g_writeFault && path.find(g_writeFault->pathPart) != std::string::npos;
}

// Shrinks a write to what the injected fault lets through; throws when nothing does.
std::size_t allowedByFault(std::size_t size, const std::string& path)
{
    if (!g_faultArmed.load(std::memory_order_acquire))
        return size;
    const std::lock_guard lock(g_faultLock);
    if (!g_writeFault || path.find(g_writeFault->pathPart) == std::string::npos)
        return size;
    if (g_writeFault->bytesLeft == 0)
        throw runErrorFromOs(g_writeFault->osError, path);
    const auto allowed =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, g_writeFault->bytesLeft));
    g_writeFault->bytesLeft -= allowed;
    return allowed;
}

int openFlags(File::Mode mode)
{
    switch (mode) {
    case File::Mode::Read:
        return O_RDONLY;
    case File::Mode::Write:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case File::Mode::ReadWrite:
        return O_RDWR;
    }
    return O_RDONLY;
}

} // namespace

namespace faults {
void failWritesAfter(std::uint64_t bytes, int osError, const std::string& pathPart)
{
    const std::lock_guard lock(g_faultLock);
    g_writeFault = WriteFault{bytes, osError, pathPart};
    g_faultArmed.store(true, std::memory_order_release);
}
void clearWriteFault()
{
    const std::lock_guard lock(g_faultLock);
    g_faultArmed.store(false, std::memory_order_release);
    g_writeFault.reset();
}
} // namespace faults

File::File(const std::string& path, Mode mode) : path_(path)
{
    const auto native = toNativePath(path);
    fd_ = ::open(native.c_str(), openFlags(mode) | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        const int error = errno;
        // A missing folder on the way reads as "path not found", a missing file as
        // "file not found".
        const bool folderMissing =
            error == ENOENT
            && (mode == Mode::Write || !folderExists(fromNativePath(native.parent_path())))
            && !native.parent_path().empty();
        throw runErrorFromOs(error, path, folderMissing);
    }
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
        closeQuietly();
        throw RunError(err::PathFileAccessError,
                       describeRunError(err::PathFileAccessError) + ": " + path);
    }
}

File File::adopt(int descriptor, const std::string& path)
{
    File file;
    file.fd_ = descriptor;
    file.path_ = path;
    return file;
}

File::File(File&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), writeBehind_(other.writeBehind_),
      notWrittenBack_(other.notWrittenBack_)
{
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        closeQuietly();
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        writeBehind_ = other.writeBehind_;
        notWrittenBack_ = other.notWrittenBack_;
        other.fd_ = -1;
    }
    return *this;
}

File::~File()
{
    closeQuietly();
}

void File::closeQuietly() noexcept
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void File::close()
{
    if (fd_ < 0)
        return;
    if (writeBehind_ && notWrittenBack_ > 0)
        durable::startWriteback(fd_);
    notWrittenBack_ = 0;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw runErrorFromOs(errno, path_);
}

std::string readWholeFile(const std::string& path)
{
    File in(path, File::Mode::Read);
    std::string text(static_cast<std::size_t>(in.size()), '\0');
    text.resize(in.read(text.data(), text.size()));
    return text;
}

std::size_t File::read(void* buffer, std::size_t size)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd_, out + done, size - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw runErrorFromOs(errno, path_);
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void File::readExact(void* buffer, std::size_t size)
{
    if (read(buffer, size) != size)
        throw RunError(err::InputPastEndOfFile);
}

void File::readExactAt(void* buffer, std::size_t size, std::uint64_t offset)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw runErrorFromOs(errno, path_);
        if (got == 0)
            throw RunError(err::InputPastEndOfFile);
        done += static_cast<std::size_t>(got);
    }
}

void File::write(const void* buffer, std::size_t size)
{
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const std::size_t step = allowedByFault(size - done, path_);
        const ssize_t put = ::write(fd_, in + done, step);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            throw runErrorFromOs(errno, path_);
        }
        done += static_cast<std::size_t>(put);
    }
    noteWritten(size);
}

void File::noteWritten(std::uint64_t bytes)
{
    if (!writeBehind_)
        return;
    notWrittenBack_ += bytes;
    if (notWrittenBack_ >= kWriteBehindStep) {
        durable::startWriteback(fd_);
        notWrittenBack_ = 0;
    }
}

std::uint64_t File::size() const
{
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        throw runErrorFromOs(errno, path_);
    return static_cast<std::uint64_t>(info.st_size);
}

std::uint64_t File::position() const
{
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0)
        throw runErrorFromOs(errno, path_);
    return static_cast<std::uint64_t>(at);
}

void File::seek(std::uint64_t position)
{
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0)
        throw runErrorFromOs(errno, path_);
}

namespace {

// Where a copy reads its source: from its position (which advances), or from an offset
// of its own (the position stays).
struct SourceAt {
    File& file;
    std::optional<std::uint64_t> offset;

    void readExact(char* buffer, std::size_t size)
    {
        if (!offset) {
            file.readExact(buffer, size);
            return;
        }
        file.readExactAt(buffer, size, *offset);
        *offset += size;
    }
};

// One step of a kernel-side copy: the bytes copied, fewer than size when the kernel
// cannot copy between these files (the caller then uses the buffer).
std::size_t kernelCopy(SourceAt& source, File& target, std::size_t size)
{
    if (faultApplies(target.path()))
        return 0; // injected faults are applied by File::write
    if (!source.offset)
        return copycore::kernelCopy(source.file, target, size);
    const std::size_t moved = copycore::kernelCopyAt(source.file, *source.offset, target, size);
    *source.offset += moved;
    return moved;
}

void copyFrom(SourceAt source, File& target, std::uint64_t count, std::size_t chunkSize,
              std::vector<char>& buffer, const std::function<void()>& afterChunk)
{
    bool useKernel = true;
    while (count > 0) {
        // The kernel needs no buffer: without a pause between steps it takes them all.
        const std::uint64_t kernelStep =
            std::min<std::uint64_t>({count, afterChunk ? chunkSize : count, SIZE_MAX});
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(count, chunkSize));
        std::size_t moved =
            useKernel ? kernelCopy(source, target, static_cast<std::size_t>(kernelStep)) : 0;
        target.noteWritten(moved);
        useKernel = useKernel && moved == kernelStep;
        if (moved == 0) {
            useKernel = false;
            if (buffer.size() < step)
                buffer.resize(step);
            source.readExact(buffer.data(), step);
            target.write(buffer.data(), step);
            moved = step;
        }
        count -= moved;
        if (afterChunk)
            afterChunk();
    }
}

} // namespace

void copyBytes(File& source, File& target, std::uint64_t count, std::size_t chunkSize,
               std::vector<char>& buffer, const std::function<void()>& afterChunk)
{
    copyFrom({source, std::nullopt}, target, count, chunkSize, buffer, afterChunk);
}

void copyBytesAt(File& source, std::uint64_t offset, File& target, std::uint64_t count,
                 std::size_t chunkSize, std::vector<char>& buffer,
                 const std::function<void()>& afterChunk)
{
    copyFrom({source, offset}, target, count, chunkSize, buffer, afterChunk);
}

} // namespace parcelo
