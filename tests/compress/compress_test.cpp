#include "compress/compression_adapter.h"
#include "compress/folder_archive.h"
#include "compress/zip_layout.h"
#include "compress/zip_reader.h"
#include "compress/zip_writer.h"
#include "compress/zlib_tool.h"
#include "platform/file.h"
#include "platform/password.h"
#include "platform/stop_token.h"

#include "fake_bindings.h"
#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

using namespace parcelo;
using namespace parcelo::test;
namespace fs = std::filesystem;
using Values = std::vector<int>;

namespace {

// Archives are checked with the zip and unzip commands.
std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

// The exit status of a shell command, its output thrown away.
int shell(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// Text lines ('t'), random bytes ('r') or both in turn ('m'), as most real files mix them.
std::string contentOf(char kind, std::size_t size)
{
    std::string content;
    for (std::uint32_t seed = 1; content.size() < size; ++seed) {
        for (int line = 0; kind != 'r' && line < 2000; ++line)
            content += "line " + std::to_string(line * 7919 % 1000) + " of some text\r\n";
        if (kind != 't')
            content += patternBytes(20000, seed);
    }
    content.resize(size);
    return content;
}

// The one entry's data as libzip reads it through zlib's inflate, its CRC checked.
std::string inflatedByZlib(const std::string& path)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr)
        return "(no archive)";
    std::string data;
    if (zip_file_t* entry = zip_fopen_index(archive, 0, 0)) {
        char buffer[65536];
        zip_int64_t got = 0;
        while ((got = zip_fread(entry, buffer, sizeof buffer)) > 0)
            data.append(buffer, static_cast<std::size_t>(got));
        if (zip_fclose(entry) != 0 || got < 0)
            data += "(damaged)";
    }
    zip_discard(archive);
    return data;
}

// A component that only raises the notifications it is given.
class NotifyingTool : public ZlibTool {
public:
    void DoCompress() override { notify(); }
    void DoDecompress() override { notify(); }
    std::vector<std::int16_t> percentages;

private:
    void notify()
    {
        for (auto p : percentages)
            raiseProgressNotify(p);
    }
};

// The main window's split and join panes as the adapter sees them.
struct Window {
    ScriptedHost host;
    FakeLabel label5, label8;
    FakeProgressBar progressBar1, progressBar2;
    PaneBindings split{&progressBar1, &label5, nullptr};
    PaneBindings join{&progressBar2, &label8, nullptr};
};

} // namespace

// The deflate stream is made of 512 KiB blocks deflated in parallel and chained into one
// stream, by a different codec at each level: every size around the window and the block
// must read back in unzip, 7-Zip and zlib at every level. Random bytes are stored, a few
// bytes a block over their size; text compresses across blocks.
TEST(ZlibTool, WritesAStandardOneEntryArchiveOfEverySizeAtEveryLevelAloneOrAfterAPrefix)
{
    TempFolder temp;
    const auto source = temp.file("report v2.pdf");
    const auto archive = temp.file("out.zip");
    const auto prefixed = temp.file("out.zip.001");
    const std::string prefix("header\0bytes", 12);
    std::vector<std::int16_t> every;
    for (std::int16_t p = 1; p <= 100; ++p)
        every.push_back(p);
    // The effort recorded in bits 1 and 2 of the first local header's flags: fast, normal,
    // maximum.
    const std::pair<int, int> levels[] = {{2, 4}, {7, 0}, {9, 2}};
    constexpr std::size_t block = 524288;
    const std::pair<std::size_t, char> contents[] = {
        {0, 'm'},         {1, 'm'},         {32768, 't'},     {32769, 'm'},
        {block - 1, 'r'}, {block, 'm'},     {block + 1, 't'}, {2 * block, 't'},
        {1'700'000, 'm'}, {1'700'000, 'r'}, {2'900'000, 't'}};
    for (const auto& [size, kind] : contents) {
        const std::string content = contentOf(kind, size);
        writeFile(source, content);
        for (const auto& [level, flags] : levels) {
            SCOPED_TRACE(std::to_string(size) + kind + " at level " + std::to_string(level));
            ZlibTool tool;
            std::vector<std::int16_t> notified;
            tool.SetProgressNotify([&](std::int16_t p) { notified.push_back(p); });
            tool.SetSourceFileName(source);
            tool.SetTargetFileName(archive);
            tool.SetCompressionLevel(level);
            tool.DoCompress();
            EXPECT_EQ(shell("unzip -t " + quoted(archive)), 0);
            EXPECT_EQ(shell("7zz t " + quoted(archive)), 0);
            EXPECT_EQ(commandOutput("unzip -Z1 " + quoted(archive)), "report v2.pdf\n");
            // compared whole: a text diff of megabytes would take gtest minutes
            EXPECT_TRUE(commandOutput("unzip -p " + quoted(archive)) == content);
            EXPECT_TRUE(inflatedByZlib(archive) == content);
            EXPECT_EQ(readFile(archive).at(6) & 6, flags);
            if (size > 0) {
                EXPECT_EQ(notified, every);
            }
            if (kind == 'r') {
                EXPECT_LE(fs::file_size(archive), size + size / 10000 + 200);
            }
            if (kind == 't' && size > block) {
                EXPECT_LT(fs::file_size(archive), size / 8);
            }
            writePrefixedSingleEntryArchive(source, prefixed, prefix, "report v2.pdf", level, {});
            ASSERT_EQ(readFile(prefixed), prefix + readFile(archive));
            // the size its first piece declares, believed only within deflate's reach
            File piece(prefixed, File::Mode::Read);
            for (const auto& [archiveBytes, declared] :
                 {std::pair{fs::file_size(archive), size}, {size / 2000, size < 1032 ? size : 0}}) {
                piece.seek(prefix.size());
                EXPECT_EQ(declaredEntry(piece, archiveBytes).size, declared);
            }
            piece.seek(0);
            EXPECT_EQ(declaredEntry(piece, size).size, 0u) << "no local header there";
        }
    }
    // No temporary file is left beside the three.
    EXPECT_EQ(filesIn(temp.path()), 3u);
}

TEST(ZlibTool, RestoresArchivesOfZipToTheTargetAndRefusesAFolder)
{
    TempFolder temp;
    const std::string content = contentOf('m', 300'000);
    const auto source = temp.file("data.bin");
    writeFile(source, content);
    const auto target = temp.file("out");
    ZlibTool tool;
    tool.SetTargetFileName(target);
    for (std::string level : {"-2", "-7", "-9", "-0"}) {
        SCOPED_TRACE(level);
        const auto archive = temp.file(level + ".zip");
        ASSERT_EQ(shell("zip -j -q " + level + " " + quoted(archive) + " " + quoted(source)), 0);
        tool.SetSourceFileName(archive);
        tool.DoDecompress();
        EXPECT_EQ(readFile(target), content);
    }
    // The entry's own name never places the output: "../evil" still goes to the target.
    writeFile(temp.file("ab.evil"), "payload");
    const auto evil = temp.file("evil.zip");
    ASSERT_EQ(shell("zip -j -q " + quoted(evil) + " " + quoted(temp.file("ab.evil"))), 0);
    std::string bytes = readFile(evil);
    for (auto at = bytes.find("ab.evil"); at != std::string::npos; at = bytes.find("ab.evil"))
        bytes.replace(at, 7, "../evil");
    writeFile(evil, bytes);
    tool.SetSourceFileName(evil);
    tool.DoDecompress();
    EXPECT_EQ(readFile(target), "payload");
    EXPECT_FALSE(fs::exists(temp.path().parent_path() / "evil"));

    // A folder is refused like any archive that is not one file (the join command's tests
    // refuse the others): the target stays as it was and nothing is left beside it.
    fs::create_directory(temp.file("folder"));
    ASSERT_EQ(shell("cd " + quoted(temp.folder()) + " && zip -q folder.zip folder"), 0);
    const auto entries = filesIn(temp.path());
    tool.SetSourceFileName(temp.file("folder.zip"));
    EXPECT_EQ(runErrorOf([&] { tool.DoDecompress(); }), kZlibToolErrorNumber);
    EXPECT_EQ(readFile(target), "payload");
    EXPECT_EQ(filesIn(temp.path()), entries);
}

TEST(ZlibTool, FailuresLeaveNoTargetAndKeepAnOldArchive)
{
    TempFolder temp;
    const auto source = temp.file("big.iso");
    writeFile(source, contentOf('m', 2'000'000));
    ZlibTool tool;
    tool.SetSourceFileName(source); // a missing folder is SafeOutput's test

    // The source shrinks while it is read: the old archive stays as it was and no
    // temporary file is left beside it. (A full disk while decompressing is the join
    // command's test.)
    writeFile(temp.file("big.iso.zip"), "old archive");
    tool.SetTargetFileName(temp.file("big.iso.zip"));
    tool.SetProgressNotify([&](std::int16_t percent) {
        if (percent == 20)
            fs::resize_file(source, 100'000);
    });
    EXPECT_EQ(runErrorOf([&] { tool.DoCompress(); }), err::InputPastEndOfFile);
    EXPECT_EQ(readFile(temp.file("big.iso.zip")), "old archive");
    EXPECT_EQ(filesIn(temp.path()), 2u);

    // A stop request, and a disk that fills while blocks are still being deflated,
    // end the archive the same way.
    writeFile(source, contentOf('m', 3'000'000));
    tool.SetProgressNotify([](std::int16_t percent) {
        if (percent == 30)
            jobStop().request();
    });
    EXPECT_THROW(tool.DoCompress(), JobStopped);
    jobStop().reset();
    tool.SetProgressNotify({});
    faults::failWritesAfter(200'000, ENOSPC);
    EXPECT_EQ(runErrorOf([&] { tool.DoCompress(); }), err::DiskFull);
    faults::clearWriteFault();
    EXPECT_EQ(readFile(temp.file("big.iso.zip")), "old archive");
    EXPECT_EQ(filesIn(temp.path()), 2u);
}

// An encrypted archive opens in 7-Zip and bsdtar with its password (Info-ZIP's unzip
// cannot read AES), holds no byte of the source or the password in the clear, and a
// wrong or missing password, or data that fails its authentication, writes no target.
TEST(ZlibTool, EncryptsWithAes256ThatArchiveToolsOpenAndTellsAWrongPasswordApart)
{
    TempFolder temp;
    const auto source = temp.file("secret plans.txt");
    const auto archive = temp.file("secret plans.txt.zip");
    const auto target = temp.file("restored");
    const std::string marker = "PLAINTEXT-MARKER-7f3a";
    const Password password("correct horse battery");
    const Password wrong("correct horse battery!");
    // Random bytes are stored as they are: without encryption the marker would show.
    const std::pair<std::size_t, char> contents[] = {{0, 'm'}, {5, 't'}, {1'700'000, 'r'}};
    for (const auto& [size, kind] : contents) {
        SCOPED_TRACE(std::to_string(size) + kind);
        const std::string content = contentOf(kind, size) + marker;
        writeFile(source, content);
        ZlibTool tool;
        tool.SetSourceFileName(source);
        tool.SetTargetFileName(archive);
        tool.SetCompressionLevel(2);
        tool.SetEntryPassword(&password);
        tool.DoCompress();
        const std::string bytes = readFile(archive);
        EXPECT_EQ(bytes.find(marker), std::string::npos);
        EXPECT_EQ(bytes.find(std::string(password.view())), std::string::npos);
        EXPECT_EQ(shell("7zz t -pcorrect\\ horse\\ battery " + quoted(archive)), 0);
        EXPECT_NE(shell("7zz t -pwrong " + quoted(archive)), 0);
        EXPECT_EQ(commandOutput("bsdtar -xOf " + quoted(archive)
                                + " --passphrase 'correct horse battery'"),
                  content);
        EXPECT_NE(shell("unzip -t -P 'correct horse battery' " + quoted(archive)), 0);

        tool.SetSourceFileName(archive);
        tool.SetTargetFileName(target);
        for (const auto& [given, number] :
             {std::pair{static_cast<const Password*>(nullptr), kPasswordNeededNumber},
              {&wrong, kWrongPasswordNumber}}) {
            tool.SetEntryPassword(given);
            EXPECT_EQ(runErrorOf([&] { tool.DoDecompress(); }), number);
            EXPECT_FALSE(fs::exists(target));
        }
        tool.SetEntryPassword(&password);
        tool.DoDecompress();
        EXPECT_EQ(readFile(target), content);
        fs::remove(target);
    }
    // Data changed after the password check: it fails its authentication, which a join
    // (whose pieces passed their checks) can only owe to a wrong key.
    std::string bytes = readFile(archive);
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x20);
    writeFile(archive, bytes);
    ZlibTool tool;
    tool.SetSourceFileName(archive);
    tool.SetTargetFileName(target);
    tool.SetEntryPassword(&password);
    EXPECT_EQ(runErrorOf([&] { tool.DoDecompress(); }), kWrongPasswordNumber);
    EXPECT_EQ(filesIn(temp.path()), 2u);
}

TEST(CompressionAdapter, NamesItsFilesPassesTheLevelAndMovesTheBarWithEveryPercent)
{
    // The compressed file's own name is checked below and by the next test.
    EXPECT_EQ(DecompressedFileName("/zips.zip/big.iso.zip"), "/zips.zip/big.iso");
    Window w;
    w.progressBar1.max = 10;
    NotifyingTool tool;
    CompressionAdapter adapter(w.host, tool, w.split, w.join, "/app");
    // Only a final lower-case ".zip" of the name itself counts: without one nothing is
    // done, and the window is not touched.
    for (const char* path :
         {"/out/a.zipped", "/photos.zip.d/photos", "/out/.zip", "/out/BIG.ZIP"}) {
        EXPECT_EQ(DecompressedFileName(path), "") << path;
        EXPECT_EQ(adapter.DecompressFile(path), 0) << path;
    }
    EXPECT_TRUE(w.label8.captions.empty() && w.progressBar2.values.empty());

    adapter.SetDestFolder("/out/");
    using enum CompressionLevelOption;
    for (auto [option, level] :
         {std::pair{MediumCompression, 7}, {HighestSpeed, 2}, {HighestCompression, 9}, {None, 9}}) {
        adapter.SetLevelOption(option);
        EXPECT_EQ(adapter.CompressFile("/data/big.iso"), 1);
        EXPECT_EQ(tool.CompressionLevel(), level);
    }
    EXPECT_EQ(tool.TargetFileName(), "/out/big.iso.zip");
    EXPECT_EQ(w.label5.captions.back(), "Compressing /data/big.iso...");

    // With no notification the bar still ends full.
    EXPECT_EQ(w.progressBar1.values, (Values{0, 10, 0, 10, 0, 10, 0, 10}));
    w.progressBar1.values.clear();
    tool.percentages = {0, 10, 20, 55, 60, 100};
    EXPECT_EQ(adapter.CompressFile("/data/big.iso"), 1);
    EXPECT_EQ(w.progressBar1.values, (Values{0, 0, 1, 2, 6, 6, 10, 10}));

    // Decompression moves the join pane's bar.
    tool.percentages = {40, 80};
    EXPECT_EQ(adapter.DecompressFile("/out/big.iso.zip"), 1);
    EXPECT_EQ(w.progressBar2.values, (Values{0, 40, 80, 100}));
    EXPECT_EQ(w.label8.captions.back(), "Decompressing /out/big.iso.zip...");
    EXPECT_EQ(w.progressBar1.values.size(), 8u);
    EXPECT_TRUE(w.progressBar1.visible && w.progressBar2.visible);

    // Outside an operation a notification does nothing.
    EXPECT_EQ(adapter.CompressOperation(), "");
    adapter.ProgressNotify(40);
    EXPECT_EQ(w.progressBar1.values.size(), 8u);
    EXPECT_EQ(w.progressBar2.values.size(), 4u);
}

TEST(CompressionAdapter, CompressesToTempAndRestoresBesideTheJoinedFile)
{
    TempFolder temp;
    fs::create_directory(temp.file("joined"));
    const std::string content = contentOf('m', 1'500'000);
    writeFile(temp.file("big.iso"), content);
    Window w;
    ZlibTool tool;
    CompressionAdapter adapter(w.host, tool, w.split, w.join, temp.file("Temp"),
                               CompressionLevelOption::HighestSpeed);
    adapter.markTempCompressedFile(true);
    ASSERT_EQ(adapter.CompressFile(temp.file("big.iso")), 1); // makes the missing folder
    // in a private folder of its own (the split request's test has its modes)
    const fs::path zipped = adapter.CompressedFileFor(temp.file("big.iso"));
    EXPECT_EQ(zipped.filename(), "big.iso.zip");
    EXPECT_EQ(zipped.parent_path().parent_path(), temp.file("Temp"));

    const auto joined = temp.file("joined/big.iso.zip");
    fs::copy_file(zipped, joined);
    adapter.ReleaseTemporaryFolder();
    EXPECT_TRUE(fs::is_empty(temp.file("Temp")));
    ASSERT_EQ(adapter.DecompressFile(joined), 1);
    EXPECT_EQ(readFile(temp.file("joined/big.iso")), content);
    EXPECT_TRUE(fs::exists(joined)); // the join command deletes it

    // A truncated archive leaves no target; the failure gives the pointer back and ends
    // the operation.
    fs::remove(temp.file("joined/big.iso"));
    fs::resize_file(joined, fs::file_size(joined) - 40);
    EXPECT_EQ(adapter.DecompressFile(joined), 0);
    EXPECT_FALSE(fs::exists(temp.file("joined/big.iso")));
    EXPECT_EQ(w.host.busyChanges, (std::vector<bool>{true, false, true, false, true, false}));
    EXPECT_EQ(adapter.CompressOperation(), "");
    EXPECT_TRUE(w.host.shown.empty());
}

namespace {

// An entry of a folder set's archive as any tool could write it: its name, its bytes and
// its Unix mode with the type (0: none recorded).
struct CraftedEntry {
    std::string name;
    std::string bytes;
    unsigned mode;
};

void writeCraftedSet(const std::string& path, const std::vector<CraftedEntry>& entries)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const CraftedEntry& e : entries) {
        zip_source_t* data = zip_source_buffer(archive, e.bytes.data(), e.bytes.size(), 0);
        const zip_int64_t i = zip_file_add(archive, e.name.c_str(), data, ZIP_FL_ENC_RAW);
        ASSERT_GE(i, 0) << e.name;
        const auto index = static_cast<zip_uint64_t>(i);
        zip_set_file_compression(archive, index, ZIP_CM_STORE, 0);
        if (e.mode != 0)
            zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, e.mode << 16);
    }
    zip_set_archive_comment(archive, kFolderSetComment.data(),
                            static_cast<zip_uint16_t>(kFolderSetComment.size()));
    ASSERT_EQ(zip_close(archive), 0);
}

} // namespace

// Every entry of a folder set is untrusted: one that would land outside the folder, pass
// through a link or file of the set, or is no file, folder or link refuses the set before
// anything is written; a CRC error fails it at that entry, leaving nothing either.
TEST(FolderSets, CraftedEntriesAreRefusedAndLeaveNothingInsideOrOutside)
{
    TempFolder temp;
    const std::string dest = temp.file("dest");
    fs::create_directory(dest);
    const std::string archive = temp.file("set.zip");
    const std::string outside = temp.path().string();
    const struct {
        const char* what;
        std::vector<CraftedEntry> entries;
        const char* reason;
    } cases[] = {
        {"a parent part", {{"ok", "fine", 0100644}, {"../evil", "payload", 0100644}}, "\"..\""},
        {"an absolute path", {{outside + "/evil", "payload", 0}}, "an absolute path"},
        {"a dot part", {{"a/./evil", "payload", 0}}, "\".\" part"},
        {"through a stored link",
         {{"ln", outside, 0120777}, {"ln/evil", "payload", 0100644}},
         "through the link \"ln\""},
        {"through a file", {{"f", "x", 0}, {"f/evil", "payload", 0}}, "through the file \"f\""},
        {"a device", {{"dev", "", 0020644}}, "neither a file, a folder nor a link"},
        {"a name twice", {{"a", "1", 0}, {"a/", "", 040755}}, "it appears twice"},
        {"a CRC error in the fifth entry",
         {{"1", "one", 0}, {"2", "two", 0}, {"3/", "", 0}, {"3/4", "four", 0}, {"5", "FIFTH", 0}},
         "(5) is damaged: its data does not match its checksum"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeCraftedSet(archive, c.entries);
        std::string bytes = readFile(archive);
        if (const auto at = bytes.find("FIFTH"); at != std::string::npos) {
            bytes[at] = 'f';
            writeFile(archive, bytes);
        }
        ASSERT_TRUE(isFolderArchive(archive));
        std::string message;
        try {
            extractFolderArchive(archive, dest + "/set", {}, {}, true, nullptr);
        } catch (const RunError& error) {
            message = error.description();
        }
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        EXPECT_TRUE(fs::is_empty(dest));
        EXPECT_EQ(namesIn(temp.path()), (std::set<std::string>{"dest", "set.zip"}));
    }
}

// The names a folder set's entries may have; the fuzzer holds the rest to this.
TEST(FolderSets, EntryNamesStayInsideTheFolder)
{
    const std::pair<std::string_view, bool> names[] = {
        {"a", true},     {"a/b/", true}, {"ü é/x y", true}, {"..a/b..", true},
        {"", false},     {"/a", false},  {"a/../b", false}, {"..", false},
        {"a//b", false}, {"./a", false}, {"a/.", false},    {std::string_view("a\0b", 3), false},
    };
    for (const auto& [name, sound] : names)
        EXPECT_EQ(folderEntryProblem(name).empty(), sound) << name;
}

// The end of an archive read from the pieces decides before any data is read: one file
// entry it reads itself, one of another kind libzip reads (nullopt), anything else refused.
TEST(OnlyEntryLayout, TakesOneFileLeavesOtherKindsToLibzipAndRefusesTheRest)
{
    TempFolder temp;
    writeFile(temp.file("a.txt"), contentOf('t', 5000));
    fs::create_directory(temp.file("d"));
    const auto zipOf = [&](const std::string& what) {
        fs::remove(temp.file("made.zip"));
        EXPECT_EQ(shell("cd " + quoted(temp.path().string()) + " && zip -q made.zip " + what), 0);
        return readFile(temp.file("made.zip"));
    };
    const std::string good = zipOf("a.txt");
    const std::size_t central = good.find("PK\x01\x02");
    const std::size_t end = good.find("PK\x05\x06");
    ASSERT_NE(end, std::string::npos);
    // Bytes at `at` of the archive (local header: 0), and the same at + delta further.
    const auto patched = [&](std::size_t at, const std::string& bytes, std::size_t delta = 0) {
        std::string archive = good;
        archive.replace(at, bytes.size(), bytes);
        if (delta > 0)
            archive.replace(at + delta, bytes.size(), bytes);
        return archive;
    };
    const std::string name = "The file x.zip";
    const std::string inconsistent = name + " is damaged: its contents are inconsistent.";
    const struct {
        const char* what;
        std::string archive;
        std::string refusal; // "": read here; "libzip": left to libzip
    } cases[] = {
        {"one deflated file", good, ""},
        {"encrypted", patched(6, std::string("\x01", 1), central + 2), "libzip"},
        {"bzip2", patched(8, std::string("\x0c", 1), central + 2), "libzip"},
        {"folder set", patched(end + 20, std::string("\x12", 1)) + "Parcelo folder set", "libzip"},
        {"a folder", zipOf("d"), name + " holds a folder; only an archive of exactly one file"},
        {"local name", patched(30, "b"), inconsistent},
        {"local header elsewhere", patched(central + 42, std::string("\x01", 1)), inconsistent},
        {"directory size", patched(end + 12, std::string("\x01", 1)), inconsistent},
        {"cut short", good.substr(0, good.size() - 1), name + " is not a ZIP archive."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string& bytes = c.archive;
        const ArchiveReader read = [&](std::uint64_t offset, unsigned char* into, std::size_t n) {
            ASSERT_LE(offset + n, bytes.size());
            std::memcpy(into, bytes.data() + offset, n);
        };
        std::string refusal = "libzip";
        try {
            if (const auto entry = readOnlyEntryLayout(read, bytes.size(), "x.zip")) {
                refusal.clear();
                EXPECT_TRUE(entry->deflated && entry->size == 5000);
            }
        } catch (const RunError& e) {
            refusal = e.description();
        }
        EXPECT_EQ(refusal.substr(0, c.refusal.size()), c.refusal);
        EXPECT_EQ(refusal.empty(), c.refusal.empty());
    }
}
