#include "compress/zip_reader.h"

#include "compress/zip_support.h"
#include "compress/zlib_tool.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/password.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"
#include "platform/stop_token.h"

#include <zip.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace parcelo {

namespace {

using zipsupport::Archive;
using zipsupport::damaged;
using zipsupport::Entry;
using zipsupport::notOneFile;
using zipsupport::openArchive;
using zipsupport::throwReadError;

// The size of the archive's only entry; anything but one file entry is refused, so no
// entry is ever dropped unseen.
std::uint64_t onlyEntrySize(zip_t* archive, const std::string& archivePath)
{
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    if (entries != 1)
        throw notOneFile(archivePath, std::to_string(entries) + " entries");
    zip_stat_t st;
    if (zip_stat_index(archive, 0, 0, &st) != 0 || (st.valid & ZIP_STAT_SIZE) == 0)
        throwReadError(*zip_get_error(archive), archivePath);
    const std::string name = (st.valid & ZIP_STAT_NAME) != 0 ? st.name : "";
    if (name.empty() || name.back() == '/')
        throw notOneFile(archivePath, "a folder");
    return st.size;
}

bool onlyEntryEncrypted(zip_t* archive)
{
    zip_stat_t st;
    return zip_stat_index(archive, 0, 0, &st) == 0 && (st.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0
           && st.encryption_method != ZIP_EM_NONE;
}

// Opens the only entry, decrypting it with the password when it is encrypted. libzip
// checks the password against the two bytes the archive keeps for that before it reads
// any data; flags ZIP_FL_COMPRESSED gives the data as stored (decrypted, not inflated).
Entry openOnlyEntry(zip_t* archive, const std::string& archivePath, const Password* password,
                    zip_flags_t flags = 0)
{
    if (!onlyEntryEncrypted(archive)) {
        zip_file_t* entry = zip_fopen_index(archive, 0, flags);
        if (entry == nullptr)
            throwReadError(*zip_get_error(archive), archivePath);
        return Entry(entry);
    }
    if (password == nullptr || password->empty())
        throw RunError(kPasswordNeededNumber,
                       "The file " + archivePath + " is encrypted: its password is needed.");
    zip_file_t* entry = zip_fopen_index_encrypted(archive, 0, flags, password->c_str());
    if (entry == nullptr && zip_error_code_zip(zip_get_error(archive)) == ZIP_ER_WRONGPASSWD)
        throw RunError(kWrongPasswordNumber, kWrongPasswordText);
    if (entry == nullptr)
        throwReadError(*zip_get_error(archive), archivePath);
    return Entry(entry);
}

// True when the stored data of the encrypted entry passes its authentication code with
// the password: read through without inflating, libzip checks the code at the end.
bool authenticates(zip_t* archive, const std::string& archivePath, const Password& password)
{
    Entry entry = openOnlyEntry(archive, archivePath, &password, ZIP_FL_COMPRESSED);
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        jobStop().throwIfRequested();
        const zip_int64_t got = zip_fread(entry.get(), buffer.data(), buffer.size());
        if (got < 0)
            return false;
        if (got == 0)
            return zip_fclose(entry.release()) == 0;
    }
}

} // namespace

namespace {

using zipsupport::littleEndian;

// The ZIP64 field of an extra block that holds the sizes, when there is one whole.
std::uint64_t zip64Size(const std::vector<unsigned char>& extra)
{
    constexpr std::uint64_t kZip64Field = 1;
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::uint64_t id = littleEndian(&extra[at], 2);
        const std::size_t length = littleEndian(&extra[at + 2], 2);
        if (id == kZip64Field && length >= 8 && at + 4 + 8 <= extra.size())
            return littleEndian(&extra[at + 4], 8);
        at += 4 + length;
    }
    return 0;
}

} // namespace

DeclaredEntry declaredEntry(File& file, std::uint64_t archiveBytes)
{
    constexpr std::size_t kLocalHeader = 30;
    constexpr std::uint64_t kSignature = 0x04034b50;
    constexpr std::uint64_t kSizeInZip64 = 0xFFFFFFFF;
    constexpr std::uint64_t kEncryptedFlag = 0x0001;
    constexpr std::uint64_t kMostDeflateRatio = 1032; // deflate never packs more than this
    unsigned char header[kLocalHeader];
    if (file.read(header, kLocalHeader) != kLocalHeader || littleEndian(header, 4) != kSignature)
        return {};
    const bool encrypted = (littleEndian(header + 6, 2) & kEncryptedFlag) != 0;
    std::uint64_t size = littleEndian(header + 22, 4);
    if (size == kSizeInZip64) {
        file.seek(file.position() + littleEndian(header + 26, 2));
        std::vector<unsigned char> extra(littleEndian(header + 28, 2));
        extra.resize(file.read(extra.data(), extra.size()));
        size = zip64Size(extra);
    }
    return {size / kMostDeflateRatio <= archiveBytes ? size : 0, encrypted};
}

namespace {

// Copies the entry into the target and checks it complete. A failure of the data of an
// encrypted entry whose password passed the two-byte check is told as a wrong password
// when the data fails its authentication too: the pieces have passed their own checks by
// then, so it is the key that is wrong, not the data.
void copyCheckedEntry(zip_t* archive, Entry entry, File& target, const std::string& archivePath,
                      std::uint64_t expected, PercentProgress& progress, const Password* password)
{
    try {
        const std::uint64_t copied =
            zipsupport::copyEntry(entry.get(), target, expected, archivePath, progress);
        if (copied != expected)
            throw damaged(archivePath, "it holds less data than recorded");
        if (zip_fclose(entry.release()) != 0)
            throw damaged(archivePath, "its data does not match its checksum");
    } catch (const ZlibToolError&) {
        entry.reset();
        if (password == nullptr || !onlyEntryEncrypted(archive)
            || authenticates(archive, archivePath, *password))
            throw;
        throw RunError(kWrongPasswordNumber, kWrongPasswordText);
    }
}

} // namespace

void extractOnlyEntry(const std::string& archivePath, const std::string& targetPath,
                      const PercentProgress::Report& report,
                      const PercentProgress::BytesReport& bytes, bool replace,
                      const Password* password)
{
    Archive archive = openArchive(archivePath);
    const std::uint64_t expected = onlyEntrySize(archive.get(), archivePath);
    Entry entry = openOnlyEntry(archive.get(), archivePath, password);
    PercentProgress progress(expected, report, bytes);

    zipsupport::writeCheckedTarget(targetPath, expected, replace, [&](File& target) {
        copyCheckedEntry(archive.get(), std::move(entry), target, archivePath, expected, progress,
                         password);
    });
    progress.finish();
}

} // namespace parcelo

namespace parcelo {

void streamOnlyEntry(const std::string& archivePath, File& target,
                     const PercentProgress::Report& report,
                     const PercentProgress::BytesReport& bytes, const Password* password)
{
    Archive archive = openArchive(archivePath);
    const std::uint64_t expected = onlyEntrySize(archive.get(), archivePath);
    Entry entry = openOnlyEntry(archive.get(), archivePath, password);
    PercentProgress progress(expected, report, bytes);
    copyCheckedEntry(archive.get(), std::move(entry), target, archivePath, expected, progress,
                     password);
    progress.finish();
}

} // namespace parcelo
