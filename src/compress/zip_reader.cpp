#include "compress/zip_reader.h"

#include "compress/zip_support.h"
#include "compress/zlib_tool.h"
#include "platform/file.h"
#include "platform/paths.h"

#include <zip.h>

#include <memory>
#include <vector>

namespace parcelo {

namespace {

using Archive = std::unique_ptr<zip_t, zipsupport::ArchiveDiscarder>;

struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

// The target, opened for writing and removed on every way out but a completed one. A
// target that cannot be opened is left as it was.
class Target {
public:
    explicit Target(const std::string& path) : file_(path, File::Mode::Write) {}
    ~Target()
    {
        if (kept_)
            return;
        const std::string path = file_.path();
        file_ = File();
        removeFileQuietly(path);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    File& file() { return file_; }
    void complete()
    {
        file_.close();
        kept_ = true;
    }

private:
    File file_;
    bool kept_ = false;
};

Archive openArchive(const std::string& archivePath)
{
    int code = 0;
    zip_t* archive = zip_open(toNativePath(archivePath).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr)
        zipsupport::throwZipError(code, "read the archive", archivePath);
    return Archive(archive);
}

ZlibToolError damaged(const std::string& archivePath, const std::string& why)
{
    return ZlibToolError("The archive " + archivePath + " is damaged: " + why);
}

std::uint64_t firstEntrySize(zip_t* archive, const std::string& archivePath)
{
    if (zip_get_num_entries(archive, 0) < 1)
        throw ZlibToolError("The archive " + archivePath + " holds no file");
    zip_stat_t st;
    if (zip_stat_index(archive, 0, 0, &st) != 0 || (st.valid & ZIP_STAT_SIZE) == 0)
        zipsupport::throwZipError(*zip_get_error(archive), "read the archive", archivePath);
    return st.size;
}

Entry openFirstEntry(zip_t* archive, const std::string& archivePath)
{
    zip_file_t* entry = zip_fopen_index(archive, 0, 0);
    if (entry == nullptr)
        zipsupport::throwZipError(*zip_get_error(archive), "read the archive", archivePath);
    return Entry(entry);
}

// Copies the entry's bytes to the target; libzip checks the CRC as the last bytes go.
std::uint64_t copyEntry(zip_file_t* entry, File& target, std::uint64_t expected,
                        const std::string& archivePath, PercentProgress& progress)
{
    std::vector<char> buffer(kCopyChunk);
    std::uint64_t done = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(entry, buffer.data(), buffer.size());
        if (got < 0)
            zipsupport::throwZipError(*zip_file_get_error(entry), "read the archive", archivePath);
        if (got == 0)
            return done;
        done += static_cast<std::uint64_t>(got);
        if (done > expected)
            throw damaged(archivePath, "the file is longer than recorded");
        target.write(buffer.data(), static_cast<std::size_t>(got));
        progress.advanceTo(done);
    }
}

} // namespace

void extractFirstEntry(const std::string& archivePath, const std::string& targetPath,
                       const PercentProgress::Report& report)
{
    Archive archive = openArchive(archivePath);
    const std::uint64_t expected = firstEntrySize(archive.get(), archivePath);
    Entry entry = openFirstEntry(archive.get(), archivePath);
    PercentProgress progress(expected, report);

    Target target(targetPath);
    if (copyEntry(entry.get(), target.file(), expected, archivePath, progress) != expected)
        throw damaged(archivePath, "the file is shorter than recorded");
    if (zip_fclose(entry.release()) != 0)
        throw damaged(archivePath, "the check of its data failed");
    target.complete();
    progress.finish();
}

} // namespace parcelo
