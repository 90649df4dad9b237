#include "compress/zip_writer.h"

#include "compress/parallel_deflate.h"
#include "compress/zip_support.h"
#include "compress/zip_target.h"
#include "compress/zlib_tool.h"
#include "platform/file.h"
#include "platform/password.h"
#include "platform/paths.h"
#include "platform/stop_token.h"

#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace parcelo {

namespace {

time_t modificationTime(const std::string& path)
{
    std::error_code ec;
    const auto stamp = std::filesystem::last_write_time(toNativePath(path), ec);
    if (ec)
        return std::time(nullptr);
    const auto system = std::chrono::file_clock::to_sys(stamp);
    return std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
}

// The source file as libzip reads it: already deflated (on every core), counted for the
// progress, and failing with the original RunError kept for the caller.
class SourceReader {
public:
    SourceReader(const std::string& path, int level, const PercentProgress::Report& report,
                 const PercentProgress::BytesReport& bytes)
        : file_(path, File::Mode::Read), size_(file_.size()), mtime_(modificationTime(path)),
          level_(level), progress_(size_, report, bytes)
    {
        zip_error_init(&error_);
    }
    ~SourceReader() { zip_error_fini(&error_); }
    SourceReader(const SourceReader&) = delete;
    SourceReader& operator=(const SourceReader&) = delete;

    static zip_int64_t callback(void* state, void* data, zip_uint64_t length,
                                zip_source_cmd_t command)
    {
        auto* self = static_cast<SourceReader*>(state);
        try {
            return self->handle(data, length, command);
        } catch (...) {
            self->failure_ = std::current_exception();
            zip_error_set(&self->error_, ZIP_ER_READ, 0);
            return -1;
        }
    }

    // The exception that stopped a read, if one did.
    std::exception_ptr failure() const { return failure_; }

private:
    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            file_.seek(0);
            done_ = 0;
            crc_.reset();
            deflate_ = std::make_unique<ParallelDeflate>(
                level_, [this](char* out, std::size_t capacity) { return read(out, capacity); });
            return 0;
        case ZIP_SOURCE_READ:
            return static_cast<zip_int64_t>(deflate_->read(static_cast<char*>(data), length));
        case ZIP_SOURCE_CLOSE:
            if (deflate_ && deflate_->finished())
                crc_ = deflate_->crc();
            deflate_.reset();
            return 0;
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_STAT:
            return stat(data, length);
        case ZIP_SOURCE_GET_FILE_ATTRIBUTES:
            return attributes(data, length);
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error_, data, length);
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(
                ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_GET_FILE_ATTRIBUTES, -1);
        default:
            zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    zip_int64_t stat(void* data, zip_uint64_t length)
    {
        auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
        if (st == nullptr)
            return -1;
        zip_stat_init(st);
        st->size = size_;
        st->mtime = mtime_;
        st->comp_method = ZIP_CM_DEFLATE;
        st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME | ZIP_STAT_COMP_METHOD;
        // The CRC is known once the whole stream has been read (libzip asks again then).
        if (crc_) {
            st->crc = *crc_;
            st->valid |= ZIP_STAT_CRC;
        }
        return sizeof(zip_stat_t);
    }

    // The deflate effort in the entry's flags, as zip records it: fast for levels 1 and
    // 2, maximum for 8 and 9.
    zip_int64_t attributes(void* data, zip_uint64_t length)
    {
        auto* attributes = ZIP_SOURCE_GET_ARGS(zip_file_attributes_t, data, length, &error_);
        if (attributes == nullptr)
            return -1;
        zip_file_attributes_init(attributes);
        attributes->valid = ZIP_FILE_ATTRIBUTES_GENERAL_PURPOSE_BIT_FLAGS;
        attributes->general_purpose_bit_mask = 0x0006;
        attributes->general_purpose_bit_flags = level_ < 3 ? 0x0004 : level_ > 7 ? 0x0002 : 0;
        return sizeof(zip_file_attributes_t);
    }

    // Hands out at most the size the file had when it was opened; a file that shrinks
    // meanwhile cannot be archived.
    std::size_t read(char* out, std::size_t wanted)
    {
        jobStop().throwIfRequested();
        wanted = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, size_ - done_));
        const std::size_t given = file_.read(out, wanted);
        if (given < wanted)
            throw RunError(err::InputPastEndOfFile,
                           describeRunError(err::InputPastEndOfFile) + ": " + file_.path());
        done_ += given;
        progress_.advanceTo(done_);
        return given;
    }

    File file_;
    std::uint64_t size_;
    time_t mtime_;
    int level_;
    PercentProgress progress_;
    std::uint64_t done_ = 0;
    std::unique_ptr<ParallelDeflate> deflate_;
    std::optional<std::uint32_t> crc_;
    zip_error_t error_;
    std::exception_ptr failure_;
};

using zipsupport::Archive;
using zipsupport::createArchive;

void addEntry(zip_t* archive, SourceReader& reader, const std::string& entryName, int level,
              const std::string& targetPath, const Password* password)
{
    zip_source_t* source = zip_source_function(archive, &SourceReader::callback, &reader);
    if (source == nullptr)
        zipsupport::throwZipError(*zip_get_error(archive), "write the archive", targetPath);
    const zip_int64_t index = zip_file_add(archive, entryName.c_str(), source, ZIP_FL_ENC_GUESS);
    if (index < 0) {
        zip_source_free(source);
        zipsupport::throwZipError(*zip_get_error(archive), "write the archive", targetPath);
    }
    // The data comes deflated: libzip keeps it as it is and records the level's effort.
    if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                 static_cast<zip_uint32_t>(level))
        != 0)
        zipsupport::throwZipError(*zip_get_error(archive), "write the archive", targetPath);
    // libzip encrypts the deflated data as it goes out and keeps its own wiped copy of the
    // password until the archive is closed.
    if (password != nullptr && !password->empty()
        && zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256,
                                   password->c_str())
               != 0)
        zipsupport::throwZipError(*zip_get_error(archive), "encrypt the archive", targetPath);
}

} // namespace

void writePrefixedSingleEntryArchive(const std::string& sourcePath, const std::string& targetPath,
                                     const std::string& prefix, const std::string& entryName,
                                     int level, const PercentProgress::Report& report,
                                     const PercentProgress::BytesReport& bytes,
                                     Durability durability, Sharing sharing,
                                     const Password* password)
{
    if (level < 1 || level > 9)
        throw ZlibToolError("Invalid compression level " + std::to_string(level));
    SourceReader reader(sourcePath, level, report, bytes);
    zipsupport::ArchiveTarget target(targetPath, prefix, durability, sharing);
    Archive archive = createArchive(target, targetPath);
    addEntry(archive.get(), reader, entryName, level, targetPath, password);
    // zip_close writes everything and commits the target; on failure the target is
    // rolled back and the archive is left to be discarded.
    if (zip_close(archive.get()) != 0) {
        if (target.failure())
            std::rethrow_exception(target.failure());
        if (reader.failure())
            std::rethrow_exception(reader.failure());
        zipsupport::throwZipError(*zip_get_error(archive.get()), "write the archive", targetPath);
    }
    static_cast<void>(archive.release()); // zip_close has freed it
}

} // namespace parcelo
