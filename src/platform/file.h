#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace parcelo {

// An open file, closed on every way out. Failures throw RunError with the run-time
// number of the OS error and the file's path.
class File {
public:
    enum class Mode {
        Read,     // existing file, reading only
        Write,    // created, or emptied when it exists
        ReadWrite // existing file, reading and writing in place
    };

    File() = default;
    File(const std::string& path, Mode mode);
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File(); // closes quietly

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    int descriptor() const { return fd_; }

    // Reads up to size bytes; fewer only at the end of the file.
    std::size_t read(void* buffer, std::size_t size);
    // Reads exactly size bytes; throws 62 (input past end of file) when fewer remain.
    void readExact(void* buffer, std::size_t size);
    // As readExact, from offset, leaving the position as it is (safe on several threads).
    void readExactAt(void* buffer, std::size_t size, std::uint64_t offset);
    // Writes every byte or throws.
    void write(const void* buffer, std::size_t size);
    void write(const std::string& text) { write(text.data(), text.size()); }

    std::uint64_t size() const;
    std::uint64_t position() const;
    void seek(std::uint64_t position);

    // Closes the file; a failure to close a written file (data not stored) throws.
    void close();

    // Starts the disk writing what is written, every few megabytes and at close, without
    // waiting for it: an output that is synced before it takes its name is then mostly on
    // the disk already.
    void setWriteBehind(bool on) { writeBehind_ = on; }
    // Counts bytes that reached the file other than through write (a kernel copy).
    void noteWritten(std::uint64_t bytes);

    // Takes over an open descriptor; errors then name path.
    static File adopt(int descriptor, const std::string& path);

private:
    void closeQuietly() noexcept;

    int fd_ = -1;
    std::string path_;
    bool writeBehind_ = false;
    std::uint64_t notWrittenBack_ = 0; // bytes written since writing back last started
};

// A file that takes every byte written to it and keeps none.
inline constexpr const char* kNullDevice = "/dev/null";

// The largest block moved in one step by every copy in the programs.
inline constexpr std::size_t kCopyChunk = 2000000;

// Copies count bytes from the current position of source to the current position of
// target, in steps of at most chunkSize bytes, calling afterChunk after each step.
// Uses the kernel's file-to-file copy where it can, and the buffer otherwise; the
// bytes, and the errors raised, are the same either way. Without afterChunk the kernel
// copy is not cut into steps (it needs no buffer), which is faster on large files.
void copyBytes(File& source, File& target, std::uint64_t count, std::size_t chunkSize,
               std::vector<char>& buffer, const std::function<void()>& afterChunk = {});

// As copyBytes, reading count bytes of source from offset without moving its position:
// threads that each copy their own range of one source share its descriptor.
void copyBytesAt(File& source, std::uint64_t offset, File& target, std::uint64_t count,
                 std::size_t chunkSize, std::vector<char>& buffer,
                 const std::function<void()>& afterChunk = {});

// The whole content of a small file (a configuration or checksum file); throws RunError
// naming the file when it cannot be read.
std::string readWholeFile(const std::string& path);

namespace faults {
// Makes every write after the next `bytes` bytes fail with the OS error given, until
// cleared with clearWriteFault(); with pathPart, only writes into files whose path holds
// it count and fail. For tests of failure paths only.
void failWritesAfter(std::uint64_t bytes, int osError, const std::string& pathPart = {});
void clearWriteFault();
} // namespace faults

} // namespace parcelo
