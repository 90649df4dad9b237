#include "platform/copy_core.h"

#include "platform/file.h"
#include "platform/run_error.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace parcelo::copycore {

namespace {

std::optional<Method> g_forced;

// Errors that mean "this method does not work for these files", not a failed copy.
bool unsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EBADF
           || error == EXDEV || error == ESPIPE;
}

#if defined(__linux__)

constexpr int kPipeSize = 1 << 20;

// A pipe kept per thread for splice, enlarged to 1 MiB so each step moves large folios.
class SplicePipe {
public:
    ~SplicePipe() { close(); }

    bool open()
    {
        if (read_ >= 0)
            return true;
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        read_ = ends[0];
        write_ = ends[1];
        const int granted = ::fcntl(write_, F_SETPIPE_SZ, kPipeSize);
        capacity_ = static_cast<std::size_t>(granted > 0 ? granted : ::fcntl(write_, F_GETPIPE_SZ));
        return true;
    }

    void close()
    {
        if (read_ >= 0) {
            ::close(read_);
            ::close(write_);
        }
        read_ = write_ = -1;
    }

    int readEnd() const { return read_; }
    int writeEnd() const { return write_; }
    std::size_t capacity() const { return capacity_; }

private:
    int read_ = -1;
    int write_ = -1;
    std::size_t capacity_ = 0;
};

thread_local SplicePipe t_pipe;

// Puts what the pipe holds into target with ordinary writes: the way out when the
// kernel takes bytes from the source but will not splice them into the target.
void writeOutOfPipe(int pipeRead, std::size_t pending, File& target)
{
    std::vector<char> buffer(pending);
    std::size_t got = 0;
    while (got < pending) {
        const ssize_t n = ::read(pipeRead, buffer.data() + got, pending - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw runErrorFromOs(n < 0 ? errno : EIO, target.path());
        got += static_cast<std::size_t>(n);
    }
    target.write(buffer.data(), pending);
}

// Empties the pipe into target. Returns false when target takes no splice at all (the
// bytes then went through writeOutOfPipe).
bool spliceOut(std::size_t pending, File& target)
{
    bool first = true;
    while (pending > 0) {
        const ssize_t n = ::splice(t_pipe.readEnd(), nullptr, target.descriptor(), nullptr, pending,
                                   SPLICE_F_MOVE | SPLICE_F_MORE);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (first && unsupported(errno)) {
                writeOutOfPipe(t_pipe.readEnd(), pending, target);
                return false;
            }
            throw runErrorFromOs(errno, target.path());
        }
        pending -= static_cast<std::size_t>(n);
        first = false;
    }
    return true;
}

// Source to pipe to target, a pipe-full at a time. Returns the bytes moved; stops early
// (without error) when the files do not take splice.
// With sourceAt the source is read from there on (the offset advances) and its position
// stays where it is.
std::size_t spliceCopy(File& source, loff_t* sourceAt, File& target, std::size_t size)
{
    if (!t_pipe.open())
        return 0;
    std::size_t done = 0;
    try {
        while (done < size) {
            const ssize_t in =
                ::splice(source.descriptor(), sourceAt, t_pipe.writeEnd(), nullptr,
                         std::min(size - done, t_pipe.capacity()), SPLICE_F_MOVE | SPLICE_F_MORE);
            if (in < 0) {
                if (errno == EINTR)
                    continue;
                if (unsupported(errno))
                    return done;
                throw runErrorFromOs(errno, source.path());
            }
            if (in == 0)
                throw RunError(err::InputPastEndOfFile);
            const bool spliced = spliceOut(static_cast<std::size_t>(in), target);
            done += static_cast<std::size_t>(in);
            if (!spliced)
                return done;
        }
    } catch (...) {
        t_pipe.close(); // it may still hold bytes that belong to no one now
        throw;
    }
    return done;
}

// Source to target inside the kernel. Returns the bytes moved; stops early (without
// error) when the files do not take copy_file_range.
std::size_t rangeCopy(File& source, File& target, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t moved = ::copy_file_range(source.descriptor(), nullptr, target.descriptor(),
                                                nullptr, size - done, 0);
        if (moved < 0) {
            if (errno == EINTR)
                continue;
            if (done == 0 && unsupported(errno))
                return 0;
            throw runErrorFromOs(errno, target.path());
        }
        if (moved == 0)
            throw RunError(err::InputPastEndOfFile);
        done += static_cast<std::size_t>(moved);
    }
    return done;
}

#endif

} // namespace

void forceMethod(std::optional<Method> method)
{
    g_forced = method;
}

std::size_t kernelCopy(File& source, File& target, std::size_t size)
{
#if defined(__linux__)
    const Method first = g_forced.value_or(Method::Splice);
    std::size_t done = 0;
    if (first == Method::Splice)
        done = spliceCopy(source, nullptr, target, size);
    if (done < size && first != Method::Buffer)
        done += rangeCopy(source, target, size - done);
    return done;
#else
    (void)source;
    (void)target;
    (void)size;
    return 0;
#endif
}

std::size_t kernelCopyAt(File& source, std::uint64_t offset, File& target, std::size_t size)
{
#if defined(__linux__)
    if (g_forced.value_or(Method::Splice) != Method::Splice)
        return 0;
    auto at = static_cast<loff_t>(offset);
    return spliceCopy(source, &at, target, size);
#else
    (void)source;
    (void)offset;
    (void)target;
    (void)size;
    return 0;
#endif
}

} // namespace parcelo::copycore
