#include "compress/folder_archive.h"

#include "compress/zip_support.h"
#include "compress/zip_target.h"
#include "compress/zlib_tool.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/password.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>

namespace parcelo {

namespace {

namespace fs = std::filesystem;
using zipsupport::Archive;
using zipsupport::Entry;

enum class Kind { Folder, File, Link, Special };

Kind kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return Kind::Folder;
    if (S_ISLNK(mode))
        return Kind::Link;
    return S_ISREG(mode) ? Kind::File : Kind::Special;
}

// The permission bits kept: those of owner, group and others, never set-user, set-group
// or sticky.
constexpr mode_t kPermissionBits = 0777;

// A link longer than this is no link a file system makes.
constexpr std::uint64_t kLongestLink = 4096;

// --- packing ---------------------------------------------------------------------------

struct Item {
    std::string name; // inside the folder, parts joined by "/"
    fs::path path;
    Kind kind = Kind::File;
    mode_t mode = 0;
    time_t mtime = 0;
    std::uint64_t size = 0;
};

// Whether a file of the folder can be read; one that cannot goes to `unreadable`, which
// leaves it out (false) or throws.
bool readable(const fs::path& path, const std::string& name, const UnreadableFile& unreadable,
              FolderPacking& packing, bool folder)
{
    const int fd =
        ::open(path.c_str(), (folder ? O_DIRECTORY : 0) | O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    const RunError why = runErrorFromOs(errno, fromNativePath(path));
    if (!unreadable || !unreadable(fromNativePath(path), why))
        throw why;
    packing.unreadable.push_back(name);
    return false;
}

// The items under folder, each folder before what it holds, in the order of their names.
void collectItems(const fs::path& folder, const std::string& prefix,
                  const UnreadableFile& unreadable, FolderPacking& packing,
                  std::vector<Item>& items)
{
    std::vector<fs::path> children;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        children.push_back(it->path());
    if (ec)
        throw runErrorFromOs(ec.value(), fromNativePath(folder));
    std::sort(children.begin(), children.end());
    for (const fs::path& child : children) {
        jobStop().throwIfRequested();
        struct stat st {};
        if (::lstat(child.c_str(), &st) != 0)
            throw runErrorFromOs(errno, fromNativePath(child));
        Item item{prefix + child.filename().string(), child,       kindOf(st.st_mode),
                  st.st_mode & kPermissionBits,       st.st_mtime, 0};
        if (item.kind == Kind::Special) {
            packing.specialFiles.push_back(item.name);
            continue;
        }
        const bool folderItem = item.kind == Kind::Folder;
        if (item.kind != Kind::Link && !readable(child, item.name, unreadable, packing, folderItem))
            continue;
        item.size = item.kind == Kind::File ? static_cast<std::uint64_t>(st.st_size) : 0;
        items.push_back(item);
        if (folderItem)
            collectItems(child, item.name + "/", unreadable, packing, items);
    }
}

[[noreturn]] void throwArchiveError(zip_t* archive, const std::string& targetPath)
{
    zipsupport::throwZipError(*zip_get_error(archive), "write the archive", targetPath);
}

zip_int64_t addItem(zip_t* archive, const Item& item, std::deque<std::string>& links,
                    const std::string& targetPath)
{
    if (item.kind == Kind::Folder)
        return zip_dir_add(archive, item.name.c_str(), ZIP_FL_ENC_GUESS);
    zip_source_t* source = nullptr;
    if (item.kind == Kind::Link) {
        std::error_code ec;
        links.push_back(fs::read_symlink(item.path, ec).string());
        if (ec)
            throw runErrorFromOs(ec.value(), fromNativePath(item.path));
        source = zip_source_buffer(archive, links.back().data(), links.back().size(), 0);
    } else {
        source = zip_source_file(archive, item.path.c_str(), 0, 0);
    }
    if (source == nullptr)
        throwArchiveError(archive, targetPath);
    const zip_int64_t index = zip_file_add(archive, item.name.c_str(), source, ZIP_FL_ENC_GUESS);
    if (index < 0)
        zip_source_free(source);
    return index;
}

// Its kind and mode as zip keeps them for Unix, its time, its compression and encryption.
void describeItem(zip_t* archive, zip_uint64_t index, const Item& item, int level,
                  const Password* password, const std::string& targetPath)
{
    const mode_t type = item.kind == Kind::Folder ? S_IFDIR
                        : item.kind == Kind::Link ? S_IFLNK
                                                  : S_IFREG;
    const auto attributes = static_cast<zip_uint32_t>(type | item.mode) << 16;
    bool done = zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, attributes) == 0
                && zip_file_set_mtime(archive, index, item.mtime, 0) == 0;
    if (item.kind == Kind::File) {
        done =
            done
            && zip_set_file_compression(archive, index, level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                        static_cast<zip_uint32_t>(level))
                   == 0;
        if (password != nullptr && !password->empty())
            done =
                done
                && zip_file_set_encryption(archive, index, ZIP_EM_AES_256, password->c_str()) == 0;
    }
    if (!done)
        throwArchiveError(archive, targetPath);
}

struct PackingProgress {
    PercentProgress percent;
    std::uint64_t total;
};

void registerCallbacks(zip_t* archive, PackingProgress& progress)
{
    zip_register_progress_callback_with_state(
        archive, 0.001,
        [](zip_t*, double done, void* state) {
            auto* p = static_cast<PackingProgress*>(state);
            p->percent.advanceTo(static_cast<std::uint64_t>(done * static_cast<double>(p->total)));
        },
        nullptr, &progress);
    zip_register_cancel_callback_with_state(
        archive, [](zip_t*, void*) { return jobStop().requested() ? 1 : 0; }, nullptr, nullptr);
}

// --- unpacking -------------------------------------------------------------------------

struct Stored {
    zip_uint64_t index = 0;
    std::string name; // without a folder's final "/"
    Kind kind = Kind::File;
    mode_t mode = 0; // permission bits; 0 when the archive keeps none
    time_t mtime = 0;
    std::uint64_t size = 0;
    bool encrypted = false;
};

// A name as a message may show it: control characters as "?".
std::string shownName(const std::string& name)
{
    std::string shown = name;
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; },
        '?');
    return shown;
}

ZlibToolError unsafeEntry(const std::string& archivePath, const std::string& name,
                          const std::string& why)
{
    return ZlibToolError("The folder set " + archivePath
                         + " holds an entry that cannot be unpacked safely: \"" + shownName(name)
                         + "\" (" + why + "). Nothing has been unpacked.");
}

Stored storedEntry(zip_t* archive, zip_uint64_t index, const std::string& archivePath)
{
    zip_stat_t st;
    if (zip_stat_index(archive, index, 0, &st) != 0 || (st.valid & ZIP_STAT_NAME) == 0)
        zipsupport::throwReadError(*zip_get_error(archive), archivePath);
    Stored entry;
    entry.index = index;
    entry.name = st.name;
    if (const std::string problem = folderEntryProblem(entry.name); !problem.empty())
        throw unsafeEntry(archivePath, entry.name, problem);
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        zipsupport::throwReadError(*zip_get_error(archive), archivePath);
    const auto mode = static_cast<mode_t>(system == ZIP_OPSYS_UNIX ? attributes >> 16 : 0);
    // a name ending in "/" is a folder, whatever type its mode gives, but for a link or
    // special file
    const Kind typed = (mode & S_IFMT) == 0 ? Kind::File : kindOf(mode);
    const bool folder = entry.name.back() == '/';
    entry.kind = folder && typed == Kind::File ? Kind::Folder : typed;
    if (entry.kind == Kind::Special || (folder && entry.kind != Kind::Folder))
        throw unsafeEntry(archivePath, entry.name, "neither a file, a folder nor a link");
    if (folder)
        entry.name.pop_back();
    entry.mode = mode & kPermissionBits;
    entry.mtime = (st.valid & ZIP_STAT_MTIME) != 0 ? st.mtime : 0;
    entry.size = (st.valid & ZIP_STAT_SIZE) != 0 ? st.size : 0;
    entry.encrypted =
        (st.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && st.encryption_method != ZIP_EM_NONE;
    if (entry.kind == Kind::Link && entry.size > kLongestLink)
        throw unsafeEntry(archivePath, entry.name, "a link longer than any path");
    return entry;
}

// Every entry, checked: a sound name, one entry a name, and no path through another
// entry's link or file.
std::vector<Stored> checkedEntries(zip_t* archive, const std::string& archivePath)
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    std::vector<Stored> entries;
    std::map<std::string, Kind> kinds;
    for (zip_int64_t i = 0; i < count; ++i) {
        entries.push_back(storedEntry(archive, static_cast<zip_uint64_t>(i), archivePath));
        if (!kinds.emplace(entries.back().name, entries.back().kind).second)
            throw unsafeEntry(archivePath, entries.back().name, "it appears twice");
    }
    for (const Stored& entry : entries) {
        for (std::size_t slash = entry.name.find('/'); slash != std::string::npos;
             slash = entry.name.find('/', slash + 1)) {
            const auto above = kinds.find(entry.name.substr(0, slash));
            if (above == kinds.end() || above->second == Kind::Folder)
                continue;
            throw unsafeEntry(archivePath, entry.name,
                              std::string(above->second == Kind::Link ? "through the link \""
                                                                      : "through the file \"")
                                  + shownName(above->first) + "\"");
        }
    }
    return entries;
}

mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

Entry openEntry(zip_t* archive, const Stored& entry, const std::string& archivePath,
                const Password* password)
{
    zip_file_t* file = nullptr;
    if (!entry.encrypted) {
        file = zip_fopen_index(archive, entry.index, 0);
    } else {
        if (password == nullptr || password->empty())
            throw RunError(kPasswordNeededNumber,
                           "The file " + archivePath + " is encrypted: its password is needed.");
        file = zip_fopen_index_encrypted(archive, entry.index, 0, password->c_str());
        if (file == nullptr && zip_error_code_zip(zip_get_error(archive)) == ZIP_ER_WRONGPASSWD)
            throw RunError(kWrongPasswordNumber, kWrongPasswordText);
    }
    if (file == nullptr)
        zipsupport::throwReadError(*zip_get_error(archive), archivePath);
    return Entry(file);
}

// The folder being built under its temporary name, and how far the unpacking is.
struct Build {
    zip_t* archive;
    const std::string& archivePath;
    const Password* password;
    fs::path root;
    PercentProgress& progress;
    std::uint64_t done = 0;
};

void makeFolder(const fs::path& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        throw runErrorFromOs(errno, fromNativePath(path));
}

void unpackFile(Build& b, const Stored& entry)
{
    const fs::path path = b.root / entry.name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          entry.mode != 0 ? entry.mode : 0666); // the umask applies
    if (fd < 0)
        throw runErrorFromOs(errno, fromNativePath(path));
    File target = File::adopt(fd, fromNativePath(path));
    Entry data = openEntry(b.archive, entry, b.archivePath, b.password);
    const std::string what = b.archivePath + " (" + shownName(entry.name) + ")";
    const std::uint64_t copied =
        zipsupport::copyEntry(data.get(), target, entry.size, what, b.progress, b.done);
    if (copied != entry.size || zip_fclose(data.release()) != 0)
        throw zipsupport::damaged(what, "its data does not match its checksum");
    const timespec times[2] = {{entry.mtime, 0}, {entry.mtime, 0}};
    ::futimens(target.descriptor(), times);
    target.close();
    b.done += entry.size;
}

void unpackLink(Build& b, const Stored& entry)
{
    Entry data = openEntry(b.archive, entry, b.archivePath, b.password);
    std::string target(static_cast<std::size_t>(entry.size), '\0');
    const zip_int64_t got = zip_fread(data.get(), target.data(), target.size());
    if (got != static_cast<zip_int64_t>(target.size()) || zip_fclose(data.release()) != 0)
        throw zipsupport::damaged(b.archivePath, "the link " + shownName(entry.name)
                                                     + " does not match its checksum");
    const fs::path path = b.root / entry.name;
    if (::symlink(target.c_str(), path.c_str()) != 0)
        throw runErrorFromOs(errno, fromNativePath(path));
}

// The folders, each with the mode it gets: a folder entry's own, else the umask's.
std::map<std::string, mode_t> foldersOf(const std::vector<Stored>& entries)
{
    std::map<std::string, mode_t> folders;
    for (const Stored& entry : entries) {
        for (std::size_t slash = entry.name.find('/'); slash != std::string::npos;
             slash = entry.name.find('/', slash + 1))
            folders.emplace(entry.name.substr(0, slash), kPermissionBits);
        if (entry.kind == Kind::Folder)
            folders[entry.name] = entry.mode != 0 ? entry.mode : kPermissionBits;
    }
    return folders;
}

// Builds the folder under b.root: folders first (open to their owner while they fill),
// then files, then links, which nothing is written through; the folders' own modes and
// times last, deepest first.
void buildFolder(Build& b, const std::vector<Stored>& entries)
{
    const std::map<std::string, mode_t> folders = foldersOf(entries);
    makeFolder(b.root);
    for (const auto& folder : folders)
        makeFolder(b.root / folder.first);
    for (const Stored& entry : entries)
        if (entry.kind == Kind::File)
            unpackFile(b, entry);
    for (const Stored& entry : entries)
        if (entry.kind == Kind::Link)
            unpackLink(b, entry);
    const mode_t mask = currentUmask();
    std::map<std::string, time_t> times;
    for (const Stored& entry : entries)
        if (entry.kind == Kind::Folder)
            times[entry.name] = entry.mtime;
    std::vector<std::pair<std::string, mode_t>> deepestFirst(folders.begin(), folders.end());
    std::reverse(deepestFirst.begin(), deepestFirst.end());
    for (const auto& [name, mode] : deepestFirst) {
        const fs::path path = b.root / name;
        if (const auto time = times.find(name); time != times.end()) {
            const timespec stamps[2] = {{time->second, 0}, {time->second, 0}};
            ::utimensat(AT_FDCWD, path.c_str(), stamps, AT_SYMLINK_NOFOLLOW);
        }
        if (::chmod(path.c_str(), mode & ~mask) != 0)
            throw runErrorFromOs(errno, fromNativePath(path));
    }
    if (::chmod(b.root.c_str(), kPermissionBits & ~mask) != 0)
        throw runErrorFromOs(errno, fromNativePath(b.root));
}

// The password opens the archive's first encrypted file, before anything is made.
void checkPassword(zip_t* archive, const std::vector<Stored>& entries,
                   const std::string& archivePath, const Password* password)
{
    const auto encrypted =
        std::find_if(entries.begin(), entries.end(), [](const Stored& e) { return e.encrypted; });
    if (encrypted != entries.end())
        openEntry(archive, *encrypted, archivePath, password);
}

// Moves the built folder onto targetPath: never onto something there, unless `replace`,
// when the two change places and what was there goes with the scratch folder.
void moveIntoPlace(const fs::path& built, const std::string& targetPath, bool replace)
{
    const fs::path target = toNativePath(targetPath);
    std::error_code ec;
    const bool there = fs::exists(fs::symlink_status(target, ec));
    if (there && !replace)
        throw RunError(err::FileAlreadyExists,
                       describeRunError(err::FileAlreadyExists) + ": " + targetPath);
    if (::renameat2(AT_FDCWD, built.c_str(), AT_FDCWD, target.c_str(),
                    there ? RENAME_EXCHANGE : RENAME_NOREPLACE)
        != 0)
        throw runErrorFromOs(errno, targetPath);
}

} // namespace

std::vector<std::string> FolderPacking::notices() const
{
    const auto line = [](const std::string& intro, const std::vector<std::string>& names) {
        std::string text = intro;
        for (std::size_t i = 0; i < names.size(); ++i)
            text += (i == 0 ? " " : ", ") + shownName(names[i]);
        return text + ".";
    };
    std::vector<std::string> lines;
    if (!specialFiles.empty())
        lines.push_back(
            line("Left out of the folder set, neither files, folders nor links:", specialFiles));
    if (!unreadable.empty())
        lines.push_back(line("Left out of the folder set, not readable:", unreadable));
    return lines;
}

std::string folderEntryProblem(std::string_view name)
{
    if (name.empty())
        return "an empty name";
    if (name.find('\0') != std::string_view::npos)
        return "a name with a NUL character";
    if (name.front() == '/')
        return "an absolute path";
    if (name.back() == '/')
        name.remove_suffix(1); // a folder's mark
    for (std::size_t from = 0; from <= name.size();) {
        const std::size_t end = std::min(name.find('/', from), name.size());
        const std::string_view part = name.substr(from, end - from);
        if (part == "..")
            return "a path with \"..\"";
        if (part.empty() || part == ".")
            return "a path with an empty or \".\" part";
        from = end + 1;
    }
    return {};
}

void writeFolderArchive(const std::string& folderPath, const std::string& targetPath, int level,
                        const PercentProgress::Report& report,
                        const PercentProgress::BytesReport& bytes, Durability durability,
                        Sharing sharing, const Password* password, const UnreadableFile& unreadable,
                        FolderPacking& packing)
{
    if (level < 0 || level > 9)
        throw ZlibToolError("Invalid compression level " + std::to_string(level));
    packing = {};
    std::vector<Item> items;
    collectItems(toNativePath(folderPath), {}, unreadable, packing, items);
    std::uint64_t total = 0;
    for (const Item& item : items)
        total += item.size;
    zipsupport::ArchiveTarget target(targetPath, {}, durability, sharing);
    Archive archive = zipsupport::createArchive(target, targetPath);
    std::deque<std::string> links; // the links' targets, read when the archive is written
    for (const Item& item : items) {
        const zip_int64_t index = addItem(archive.get(), item, links, targetPath);
        if (index < 0)
            throwArchiveError(archive.get(), targetPath);
        describeItem(archive.get(), static_cast<zip_uint64_t>(index), item, level, password,
                     targetPath);
    }
    if (zip_set_archive_comment(archive.get(), kFolderSetComment.data(),
                                static_cast<zip_uint16_t>(kFolderSetComment.size()))
        != 0)
        throwArchiveError(archive.get(), targetPath);
    PackingProgress progress{PercentProgress(total, report, bytes), total};
    registerCallbacks(archive.get(), progress);
    if (zip_close(archive.get()) != 0) {
        jobStop().throwIfRequested();
        if (target.failure())
            std::rethrow_exception(target.failure());
        throwArchiveError(archive.get(), targetPath);
    }
    static_cast<void>(archive.release()); // zip_close has freed it
    progress.percent.finish();
}

bool isFolderArchive(const std::string& archivePath)
{
    int code = 0;
    const Archive archive(zip_open(toNativePath(archivePath).c_str(), ZIP_RDONLY, &code));
    if (!archive)
        return false;
    int length = 0;
    const char* comment = zip_get_archive_comment(archive.get(), &length, ZIP_FL_ENC_RAW);
    return comment != nullptr
           && std::string_view(comment, static_cast<std::size_t>(length)) == kFolderSetComment;
}

void extractFolderArchive(const std::string& archivePath, const std::string& targetPath,
                          const PercentProgress::Report& report,
                          const PercentProgress::BytesReport& bytes, bool replace,
                          const Password* password)
{
    Archive archive = zipsupport::openArchive(archivePath);
    const std::vector<Stored> entries = checkedEntries(archive.get(), archivePath);
    checkPassword(archive.get(), entries, archivePath, password);
    std::uint64_t total = 0;
    for (const Stored& entry : entries)
        total += entry.size;
    const std::string folder = GetFolderFromPath(targetPath);
    if (auto refusal =
            roomRefusal(folder, {total, entries.size() + 1, total}, LargeFileAdvice::AnotherDrive))
        throw *refusal;
    removeStaleTemporaries(targetPath);
    const TemporaryFolder scratch(targetPath);
    PercentProgress progress(total, report, bytes);
    Build build{archive.get(), archivePath, password,
                toNativePath(scratch.path() + GetFileNameFromPath(targetPath)), progress};
    buildFolder(build, entries);
    moveIntoPlace(build.root, targetPath, replace);
    progress.finish();
}

} // namespace parcelo
