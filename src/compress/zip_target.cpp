#include "compress/zip_target.h"

#include "compress/zip_support.h"
#include "platform/run_error.h"

#include <cerrno>

namespace parcelo::zipsupport {

ArchiveTarget::ArchiveTarget(std::string targetPath, std::string prefix, Durability durability,
                             Sharing sharing)
    : targetPath_(std::move(targetPath)), prefix_(std::move(prefix)), durability_(durability),
      sharing_(sharing)
{
    zip_error_init(&error_);
}

ArchiveTarget::~ArchiveTarget()
{
    zip_error_fini(&error_);
}

zip_source_t* ArchiveTarget::makeSource()
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(&ArchiveTarget::callback, this, &error);
    if (source == nullptr)
        throwZipError(error, "create the archive", targetPath_);
    zip_error_fini(&error);
    return source;
}

zip_int64_t ArchiveTarget::callback(void* state, void* data, zip_uint64_t length,
                                    zip_source_cmd_t command)
{
    auto* self = static_cast<ArchiveTarget*>(state);
    try {
        return self->handle(data, length, command);
    } catch (...) {
        if (!self->failure_)
            self->failure_ = std::current_exception();
        zip_error_set(&self->error_, ZIP_ER_WRITE, 0);
        return -1;
    }
}

zip_int64_t ArchiveTarget::handle(void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    switch (command) {
    case ZIP_SOURCE_STAT:
        // No archive to read: libzip starts a new one.
        zip_error_set(&error_, ZIP_ER_READ, ENOENT);
        return -1;
    case ZIP_SOURCE_BEGIN_WRITE:
        removeStaleTemporaries(targetPath_);
        output_ = SafeOutput(targetPath_, durability_, sharing_);
        output_.file().write(prefix_.data(), prefix_.size());
        return 0;
    case ZIP_SOURCE_WRITE:
        output_.file().write(data, static_cast<std::size_t>(length));
        return static_cast<zip_int64_t>(length);
    case ZIP_SOURCE_TELL_WRITE:
        return tell();
    case ZIP_SOURCE_SEEK_WRITE:
        return seek(data, length);
    case ZIP_SOURCE_COMMIT_WRITE:
        output_.commit();
        return 0;
    case ZIP_SOURCE_ROLLBACK_WRITE:
        output_.discard();
        return 0;
    case ZIP_SOURCE_REMOVE:
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
    case ZIP_SOURCE_SUPPORTS:
        // libzip opens only sources that claim reading and seeking too; a new archive is
        // never read, so those commands answer "not supported".
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS,
            ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE,
            ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE, -1);
    default:
        zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

zip_int64_t ArchiveTarget::tell()
{
    return static_cast<zip_int64_t>(output_.file().position() - prefix_.size());
}

zip_int64_t ArchiveTarget::seek(void* data, zip_uint64_t length)
{
    auto* args = ZIP_SOURCE_GET_ARGS(zip_source_args_seek_t, data, length, &error_);
    if (args == nullptr)
        return -1;
    File& file = output_.file();
    auto base = static_cast<std::int64_t>(prefix_.size());
    if (args->whence == SEEK_CUR)
        base = static_cast<std::int64_t>(file.position());
    else if (args->whence == SEEK_END)
        base = static_cast<std::int64_t>(file.size());
    const std::int64_t target = base + args->offset;
    if (target < static_cast<std::int64_t>(prefix_.size())) {
        zip_error_set(&error_, ZIP_ER_INVAL, 0);
        return -1;
    }
    file.seek(static_cast<std::uint64_t>(target));
    return 0;
}

Archive createArchive(ArchiveTarget& target, const std::string& targetPath)
{
    zip_source_t* source = target.makeSource();
    zip_error_t error;
    zip_error_init(&error);
    zip_t* archive = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        zip_source_free(source);
        throwZipError(error, "create the archive", targetPath);
    }
    zip_error_fini(&error);
    return Archive(archive);
}

} // namespace parcelo::zipsupport
