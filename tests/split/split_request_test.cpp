#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "format/split_choices.h"
#include "format/split_set.h"
#include "integrity/join_script.h"
#include "platform/durability.h"
#include "platform/recent_files.h"
#include "split/mod_split_file.h"
#include "split/split_request.h"

#include "fake_bindings.h"
#include "fault_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>

using namespace parcelo;

namespace {

class SplitRequestTest : public ::testing::Test {
protected:
    SplitRequestTest()
        : engine(host), compressor(host, tool, {&bar, &label, nullptr}, {}, temp.path().string())
    {
        std::filesystem::create_directory(temp.file("out"));
        request.sourcePath = temp.file("source.bin");
        request.destinationFolder = temp.file("out");
        request.compressFirst = false;
    }

    CommandOutcome split() { return splitCommand(request, services); }
    // Splits; the one message shown must hold `expected`.
    bool splitSaying(const std::string& expected)
    {
        host.answer(Question::Notice, Answer::Ok, expected);
        return split().succeeded;
    }
    std::string out(const std::string& name) const { return temp.file("out/" + name); }
    std::uintmax_t sizeOf(const std::string& name) const
    {
        return std::filesystem::file_size(out(name));
    }

    test::TempFolder temp;
    test::FaultHost host;
    test::FakeProgressBar bar;
    test::FakeLabel label;
    test::FakeFileList list;
    test::RecordedRecentFiles recent;
    ExploreMenu explore;
    ZlibTool tool;
    modSplitFile engine;
    CompressionAdapter compressor;
    SplitServices services{host, engine, compressor, recent, explore, {&bar, &label, &list}};
    SplitRequest request;
};

} // namespace

TEST_F(SplitRequestTest, RefusalsNameTheProblemAndMoveTheFocus)
{
    test::writeFile(temp.file("source.bin"), "0123456789");
    using Change = std::function<void(SplitRequest&)>;
    const auto pieces = [](std::string n) -> Change {
        return [n](SplitRequest& p) {
            p.mode = SplitMode::ByPieces;
            p.pieceCount = n;
        };
    };
    const auto size = [](std::string n) -> Change { return [n](auto& p) { p.pieceSize = n; }; };
    const struct {
        Change change;
        std::string text;
        RequestField focus;
    } cases[] = {
        {[](auto& p) { p.sourcePath.clear(); }, "Please select a file to split/compress.",
         RequestField::SourcePath},
        {[](auto& p) { p.destinationFolder.clear(); },
         "Please specify the folder where you want to save the generated files.",
         RequestField::DestinationFolder},
        {[&](auto& p) { p.sourcePath = temp.file("none") + "/"; },
         "Please enter a valid file name to continue with this operation.",
         RequestField::SourcePath},
        {[&](auto& p) { p.sourcePath = temp.file("none.bin"); },
         test::notLocated("file", temp.file("none.bin")), RequestField::SourcePath},
        {[&](auto& p) { p.destinationFolder = temp.file("nowhere"); },
         test::notLocated("folder", temp.file("nowhere") + "/"), RequestField::DestinationFolder},
        {pieces("abc"), "Please enter a valid value for number of pieces!",
         RequestField::PieceCount},
        {pieces("0"), "Number of pieces should be more than zero!", RequestField::PieceCount},
        {size(""), "Please enter a valid value for the size of split file(s)!",
         RequestField::PieceSize},
        {size("-2"), "Please enter a valid value for the size of split file(s)!",
         RequestField::PieceSize},
        {[](auto& p) {
             p.sizeUnit = SizeUnit::Lines;
             p.compressFirst = true;
         },
         std::string("You can not compress file if you want it to be split by number of lines.")
             + LF + "Please uncheck 'Compress before Splitting' to continue.",
         RequestField::CompressFirst},
        {[](auto& p) { p.encrypt = true; }, "Please type the password to encrypt the pieces with.",
         RequestField::Password},
        {[](auto& p) {
             p.encrypt = true;
             p.password.assign("one passphrase");
             p.passwordAgain.assign("one passphrase!");
         },
         "The two passwords are not the same. Please type the same password twice.",
         RequestField::PasswordAgain},
        {[](auto& p) {
             p.sizeUnit = SizeUnit::Lines;
             p.encrypt = true;
             p.password.assign("pw");
             p.passwordAgain.assign("pw");
         },
         std::string("A file split by number of lines cannot be encrypted: only a compressed set "
                     "can.")
             + LF + "Please uncheck 'Encrypt with a password' to continue.",
         RequestField::Encrypt},
        {[](auto& p) {
             p.sourcePath.clear();
             p.recoveryCount = "x";
         },
         "Please select a file to split/compress.", RequestField::SourcePath},
        {[](auto& p) { p.recoveryCount = "x"; },
         "Recovery pieces takes a number of recovery pieces or a percentage, such as 10%.",
         RequestField::RecoveryCount},
        {[](auto& p) {
             p.destinationFolder = "a:/";
             p.recoveryCount = "2";
         },
         "Recovery pieces cannot be written onto diskettes: they are made from every piece of "
         "the set, and the pieces are on other disks by then.",
         RequestField::RecoveryCount},
        {[](auto& p) {
             p.sizeUnit = SizeUnit::Lines;
             p.plainPieces = true;
         },
         "Splitting by lines makes header pieces only: every piece of a line set starts with the "
         "marker line by which it is joined, and plain pieces hold nothing but the file's bytes.",
         RequestField::PlainPieces},
        {[](auto& p) {
             p.destinationFolder = "a:/";
             p.plainPieces = true;
         },
         "Plain pieces cannot be written onto diskettes: they are known by their checksum file "
         "alone, which would be on another disk than the pieces.",
         RequestField::PlainPieces},
    };
    request.pieceSize = "4";
    const SplitRequest valid = request;
    for (const auto& c : cases) {
        c.change(request = valid);
        host.shown.clear();
        host.answer(Question::Notice, Answer::Ok, c.text);
        const CommandOutcome outcome = split();
        EXPECT_FALSE(outcome.succeeded) << c.text;
        EXPECT_EQ(outcome.focus, c.focus) << c.text;
        host.expectOnlyCritical(c.text);
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.file("out")));
    EXPECT_TRUE(recent.added.empty());
}

// Three pieces of 4 bytes from 10 is the CLI's test.
TEST_F(SplitRequestTest, EachWayToSizeThePiecesReportsTheRealCountAndTheSourceCanBeDeleted)
{
    test::writeFile(temp.file("source.bin"), "0123456789");
    request.mode = SplitMode::ByPieces;
    request.pieceCount = "6"; // 2-byte pieces: five of them, and the message says so
    EXPECT_TRUE(splitSaying("split into 5 files. \rEach file contains 2 Bytes or less."));
    EXPECT_EQ(sizeOf("source.bin.005"), 14u);
    EXPECT_EQ(request.destinationFolder, temp.file("out") + "/"); // trailing separator written back
    EXPECT_EQ(label.captions.back(), "Completed splitting.");
    EXPECT_EQ(recent.added, std::vector<std::string>{"Split:" + temp.file("source.bin")});
    request.pieceCount = "2.9"; // the whole part counts
    EXPECT_TRUE(splitSaying("split into 2 files. \rEach file contains 5 Bytes or less."));

    // typed sizes, presets and lines
    test::writeFile(temp.file("source.bin"), test::patternBytes(4'000'000));
    request.mode = SplitMode::BySize;
    request.pieceSize = "1.5";
    request.sizeUnit = SizeUnit::Megabytes;
    EXPECT_TRUE(splitSaying("split into 3 files. \rEach file contains 1.5 Megabytes or less."));
    EXPECT_EQ(sizeOf("source.bin.001"), 1'572'864u + 12);

    request.mode = SplitMode::ByPreset;
    request.presetIndex = 1; // 2.88 MegaBytes
    EXPECT_TRUE(splitSaying("split into 2 files. \rEach file contains 2.88 Megabytes or less."));
    EXPECT_EQ(sizeOf("source.bin.001"), 3'019'899u + 12);

    test::writeFile(temp.file("source.bin"), "a\r\nb\r\nc\r\n");
    request.mode = SplitMode::BySize;
    request.sizeUnit = SizeUnit::Lines;
    request.pieceSize = "2";
    request.deleteSourceAfter = true; // declined here; the window and the CLI accept it
    host.answer(Question::Notice, Answer::Ok,
                "splitting files by number of lines is successful only for text files")
        .answer(Question::Notice, Answer::Ok,
                "split into 2 files. \rEach file contains 2 lines or less.")
        .answer(Question::DeleteSource, Answer::No,
                "The file: " + temp.file("source.bin")
                    + " has been split successfully.\rDo you wish to delete it?");
    EXPECT_TRUE(split().succeeded);
    EXPECT_EQ(host.shown[host.shown.size() - 3].title, "Warning: Parcelo");
    EXPECT_EQ(test::readFile(out("source.bin.002")), "PcxLineBreak9174\r\nc\r\n");
    EXPECT_TRUE(std::filesystem::exists(temp.file("source.bin")));
}

// Each preset of today's limits gives the largest piece file, header included (plain pieces
// hold as much data); a source too small for them is refused before anything is written.
TEST_F(SplitRequestTest, PresetsForTodaysLimitsGiveTheirPieceFiles)
{
    test::writeFile(temp.file("source.bin"), "tiny");
    request.mode = SplitMode::ByPreset;
    const std::pair<const char*, std::uint64_t> limits[] = {
        {"18MB", 18'000'000},   {"700MB", 734'003'200},   {"2GB", 2'000'000'000},
        {"4GB", 4'294'967'295}, {"4.7GB", 4'700'000'000}, {"25GB", 25'000'000'000}};
    for (const auto& [name, fileBytes] : limits) {
        request.presetIndex = 0;
        while (std::string(presetAt(request.presetIndex).name) != name)
            ++request.presetIndex;
        for (const bool plain : {false, true}) {
            SCOPED_TRACE(std::string(name) + (plain ? " plain" : ""));
            request.plainPieces = plain;
            EXPECT_FALSE(splitSaying("The file you want to split is smaller than the size you "
                                     "specified!"));
            EXPECT_EQ(engine.SplitSize() * bytesPerUnit(engine.sizeUnit().value()),
                      static_cast<double>(fileBytes - (plain ? 0 : kPieceHeaderSize)));
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.file("out")));
}

// A sparse source of 4.5 GB on a FAT32 stick: the first piece is the largest file FAT32
// holds. (4.5 GB are written: the slowest test.)
TEST_F(SplitRequestTest, TheFat32PresetsFirstPieceIsTheLargestFileFat32Holds)
{
    struct NoFlush {
        NoFlush() { setFlushToDisk(false); }
        ~NoFlush() { setFlushToDisk(true); }
    } noFlush;
    test::writeFile(temp.file("source.bin"), "");
    std::filesystem::resize_file(temp.file("source.bin"), std::uintmax_t{9} << 29);
    request.mode = SplitMode::ByPreset;
    request.presetIndex = 10;
    ASSERT_EQ(std::string(presetAt(request.presetIndex).name), "4GB");
    EXPECT_TRUE(splitSaying("split into 2 files. \rEach file contains 4294967283 Bytes or less."));
    EXPECT_EQ(sizeOf("source.bin.001"), 4'294'967'295u);
    EXPECT_EQ(sizeOf("source.bin.002"), (std::uintmax_t{9} << 29) - 4'294'967'283u + 12);
}

// Plain pieces are the file's bytes alone, named by the checksum file that is always
// written; one of the name that a split did not write refuses them before the first piece.
TEST_F(SplitRequestTest, PlainPiecesAreTheFilesBytesNamedByTheirChecksumFile)
{
    const std::string content = test::patternBytes(10'000);
    test::writeFile(temp.file("source.bin"), content);
    request.plainPieces = true;
    request.pieceSize = "3000";
    request.sizeUnit = SizeUnit::Bytes;
    engine.SetCompanions({false, false});
    EXPECT_TRUE(splitSaying("Anyone can join them without Parcelo: cat source.bin.0* > "
                            "source.bin, copy /b source.bin.0* source.bin on Windows."));
    std::string joined;
    for (const char* piece :
         {"source.bin.001", "source.bin.002", "source.bin.003", "source.bin.004"})
        joined += test::readFile(out(piece));
    EXPECT_EQ(joined, content);
    EXPECT_EQ(test::namesIn(temp.file("out")),
              (std::set<std::string>{"source.bin.001", "source.bin.002", "source.bin.003",
                                     "source.bin.004", "source.bin.sha256"}));

    // fewer pieces of the name: the older ones beyond go, a file that is none is named
    test::writeFile(out("source.bin.005"), "mine");
    request.pieceSize = "6000";
    EXPECT_TRUE(splitSaying("source.bin.005 follows the pieces but is not one of them: leave it "
                            "out when joining them with cat or copy /b."));
    EXPECT_EQ(test::namesIn(temp.file("out")),
              (std::set<std::string>{"source.bin.001", "source.bin.002", "source.bin.005",
                                     "source.bin.sha256"}));

    test::writeFile(out("source.bin.sha256"), "my own list\n");
    for (const char* piece : {"source.bin.001", "source.bin.002", "source.bin.005"})
        std::filesystem::remove(out(piece));
    EXPECT_FALSE(splitSaying("source.bin.sha256 already exists and was not written by Parcelo: "
                             "plain pieces are known by it alone, so none were written."));
    EXPECT_EQ(test::namesIn(temp.file("out")), std::set<std::string>{"source.bin.sha256"});
}

TEST_F(SplitRequestTest, CompressedFileThatFitsIsOnePieceAndNoUserFileIsReplaced)
{
    const std::string content(200'000, 'z');
    test::writeFile(temp.file("source.bin"), content);
    request.compressFirst = true;
    request.pieceSize = "1";
    request.sizeUnit = SizeUnit::Megabytes;
    EXPECT_TRUE(splitSaying("The compressed file was not split because the size of the compressed "
                            "file is less than the desired size of the split file."));
    const std::string piece = test::readFile(out("source.bin.zip.001"));
    const auto header = encodePieceHeader({PieceSignatureCompressed, 1, 1});
    EXPECT_FALSE(std::filesystem::exists(out("source.bin.zip")));
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].first, out("source.bin.zip.001"));
    EXPECT_EQ(label.captions.back(), "Completed compressing and splitting.");

    // Written straight after the header when the source itself fits, else compressed and
    // copied: the same bytes either way.
    ZlibTool reference;
    reference.SetSourceFileName(temp.file("source.bin"));
    reference.SetTargetFileName(temp.file("reference.zip"));
    reference.DoCompress();
    const std::string expected =
        std::string(header.begin(), header.end()) + test::readFile(temp.file("reference.zip"));
    EXPECT_EQ(piece, expected);
    std::filesystem::remove(out("source.bin.zip.001"));
    request.pieceSize = "5";
    request.sizeUnit = SizeUnit::Kilobytes;
    EXPECT_TRUE(splitSaying("The compressed file was not split"));
    EXPECT_EQ(test::readFile(out("source.bin.zip.001")), expected);

    // a compressed file of the name the user already has is never replaced
    test::writeFile(temp.file("source.bin"), test::patternBytes(100'000));
    test::writeFile(out("source.bin.zip"), "my own archive");
    request.pieceSize = "10";
    request.sizeUnit = SizeUnit::Kilobytes;
    recent.added.clear();
    std::filesystem::remove(out("source.bin.zip.001"));
    EXPECT_FALSE(splitSaying("source.bin.zip already exists."));
    EXPECT_EQ(test::readFile(out("source.bin.zip")), "my own archive");
    EXPECT_FALSE(std::filesystem::exists(out("source.bin.zip.001")));
    EXPECT_TRUE(recent.added.empty());
}

TEST_F(SplitRequestTest, FailedSplitShowsTheEngineMessageAndClearAllResetsThePane)
{
    test::writeFile(temp.file("source.bin"), "tiny");
    request.pieceSize = "1";
    request.sizeUnit = SizeUnit::Kilobytes;
    EXPECT_FALSE(splitSaying("The file you want to split is smaller than the size you specified!"));
    EXPECT_EQ(bar.values.back(), 0);

    request.deleteSourceAfter = true;
    request.pieceCount = "4";
    request.mode = SplitMode::ByPreset;
    request.presetIndex = 3;
    clearSplitCommand(request, services.pane);
    const auto values = [](const SplitRequest& p) {
        return std::tuple(p.sourcePath, p.pieceCount, p.pieceSize, p.destinationFolder, p.mode,
                          p.sizeUnit, p.presetIndex, p.compressFirst, p.deleteSourceAfter);
    }; // the delete option belongs to the Options request and stays
    SplitRequest fresh;
    fresh.deleteSourceAfter = true;
    EXPECT_EQ(values(request), values(fresh));
    EXPECT_TRUE(!bar.visible && label.captions.back().empty() && list.rows.empty());
}

// With a password the set is always compressed and its archive encrypted, whatever the way
// of sizing the pieces: no file of the set, nor the diskette split's private compressed copy
// while the split waits for a disk, holds a byte of the source in the clear, and the
// request wipes the password when it ends. The pieces' data opens with the password only.
TEST_F(SplitRequestTest, AnEncryptedSplitIsCompressedAndNoFileItWritesHoldsTheSourceInTheClear)
{
    namespace fs = std::filesystem;
    const std::string marker = "PLAIN-MARKER-0451";
    // random bytes are stored as they are: only the encryption hides the marker
    const std::string content = test::patternBytes(300'000) + marker + test::patternBytes(900);
    test::writeFile(temp.file("source.bin"), content);
    test::DisketteFolder floppy(temp.path() / "floppy");
    const Password password("staple battery horse correct");
    const SplitRequest fresh = request;
    const auto bySize = [](SplitRequest& p) {
        p.pieceSize = "100";
        p.sizeUnit = SizeUnit::Kilobytes;
    };
    const auto byPieces = [](SplitRequest& p) {
        p.mode = SplitMode::ByPieces;
        p.pieceCount = "3";
    };
    const struct {
        const char* name;
        std::function<void(SplitRequest&)> change;
        bool compressOnly;
        int pieces;
    } cases[] = {{"by size", bySize, false, 3},
                 {"by pieces", byPieces, false, 3},
                 {"compress only", {}, true, 1}};
    host.acceptNotices();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(temp.file("out"));
        fs::create_directory(temp.file("out"));
        request = fresh; // not compressed: an encrypted set is compressed all the same
        request.encrypt = true;
        request.password = request.passwordAgain = password;
        if (c.change)
            c.change(request);
        ASSERT_TRUE((c.compressOnly ? compressOnlyCommand(request, services) : split()).succeeded);
        EXPECT_TRUE(request.password.empty() && request.passwordAgain.empty());
        EXPECT_EQ(test::filesHolding(temp.file("out"), marker), std::set<std::string>{});
        std::string archive;
        for (int n = 1; n <= c.pieces; ++n) {
            const std::string piece = test::readFile(out("source.bin.zip.00" + std::to_string(n)));
            ASSERT_GT(piece.size(), kPieceHeaderSize);
            EXPECT_EQ(
                decodePieceHeader(reinterpret_cast<const unsigned char*>(piece.data())).signature,
                PieceSignatureCompressed);
            archive += piece.substr(kPieceHeaderSize);
        }
        EXPECT_FALSE(fs::exists(out("source.bin.zip.00" + std::to_string(c.pieces + 1))));
        EXPECT_NE(test::readFile(out("source.bin.zip.join.sh")).find(kEncryptedArchiveNote),
                  std::string::npos);
        test::writeFile(temp.file("joined.zip"), archive);
        ZlibTool opener;
        opener.SetSourceFileName(temp.file("joined.zip"));
        opener.SetTargetFileName(temp.file("joined"));
        EXPECT_EQ(test::runErrorOf([&] { opener.DoDecompress(); }), kPasswordNeededNumber);
        opener.SetEntryPassword(&password);
        opener.DoDecompress();
        EXPECT_EQ(test::readFile(temp.file("joined")), content);
        fs::remove(temp.file("joined"));
    }

    // Onto diskettes, stopped at the second disk: the compressed copy waiting in its
    // private folder is encrypted too, and nothing of the split stays.
    request = fresh;
    request.destinationFolder = "a:/";
    request.pieceSize = "200000";
    request.sizeUnit = SizeUnit::Bytes;
    request.encrypt = true;
    request.password = request.passwordAgain = password;
    std::set<std::string> plainWhileWaiting{"none looked"};
    bool copyWasThere = false;
    host.onShown = [&](const test::ShownMessage& shown) {
        if (shown.kind != Question::InsertDisk || shown.text.find("#2") == std::string::npos)
            return;
        copyWasThere = fs::exists(engine.SourceFile());
        plainWhileWaiting = test::filesHolding(temp.path(), marker, {"source.bin"});
    };
    host.answer(Question::DisketteCount, Answer::Yes, "diskettes")
        .answer(Question::InsertDisk, Answer::Ok, "disk #1")
        .answer(Question::InsertDisk, Answer::Cancel, "disk #2")
        .answer(Question::ConfirmCancel, Answer::Yes, "cancel");
    EXPECT_FALSE(split().succeeded);
    EXPECT_TRUE(host.allAnswersUsed());
    EXPECT_TRUE(copyWasThere);
    EXPECT_EQ(plainWhileWaiting, std::set<std::string>{});
    EXPECT_EQ(test::filesHolding(temp.path(), marker), std::set<std::string>{"source.bin"});

    // A compression that cannot even start (its temporary folder cannot be made) never
    // lets the file be split in the clear.
    test::writeFile(temp.file("Temp"), "a file where the folder would go");
    CompressionAdapter blocked(host, tool, {&bar, &label, nullptr}, {}, temp.file("Temp"));
    SplitServices blockedServices{host, engine, blocked, recent, explore, {&bar, &label, &list}};
    request.password = request.passwordAgain = password;
    host.onShown = {};
    host.shown.clear();
    const auto before = test::snapshot(temp.file("floppy"));
    EXPECT_FALSE(splitCommand(request, blockedServices).succeeded);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].icon, Icon::Critical);
    EXPECT_EQ(test::snapshot(temp.file("floppy")), before);
}

// The compressed file goes beside the pieces, or to the temporary folder (here the
// source's) for diskettes; a failure removes it, keeps the source and the destination as
// they were, and no later split is refused for it.
TEST_F(SplitRequestTest, AFailedCompressedSplitRemovesItsCompressedFileAndNeverTheSource)
{
    const std::string content = test::patternBytes(200'000);
    // Random bytes are stored: the compressed file is a little over 200,000 bytes.
    const std::uint64_t zipped = 200'500;
    const test::Answers declined = {{Question::DisketteCount, Answer::No, "diskettes"}};
    const struct {
        const char* name;
        test::Fault fault;
        test::Answers answers;
        std::string size; // in bytes
        bool diskette = false;
    } cases[] = {
        {"disk full while compressing", {100}, {}, "1000"},
        {"write error in the pieces", {zipped + 500, EIO}, {}, "1000"},
        {"write error in the one piece", {zipped / 2, EIO}, {}, "1000000"},
        {"stopped while compressing", {0, 0, 1}, {}, "1000"},
        {"compression failed, no diskettes", {100, ENOSPC, 0, true}, declined, "1000", true},
    };
    test::DisketteFolder floppy(temp.path() / "floppy");
    test::writeFile(temp.file("source.bin"), content);
    test::writeFile(out("keep.txt"), "unrelated");
    request.compressFirst = true;
    request.sizeUnit = SizeUnit::Bytes;
    host.acceptNotices();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string destination = c.diskette ? temp.file("floppy") : temp.file("out");
        request.destinationFolder = c.diskette ? "a:/" : destination;
        request.pieceSize = c.size;
        const auto before = test::snapshot(destination);
        host.cause(c.fault).say(c.answers);
        EXPECT_FALSE(split().succeeded);
        EXPECT_TRUE(host.allAnswersUsed());
        host.cause({});
        EXPECT_EQ(test::snapshot(destination), before);
        EXPECT_EQ(test::namesIn(temp.path()),
                  (std::set<std::string>{"floppy", "out", "source.bin"}));
        EXPECT_EQ(test::readFile(temp.file("source.bin")), content);
        EXPECT_TRUE(c.diskette || split().succeeded); // not refused for a file it left
    }
}

// A diskette split's compressed copy lies in a private folder of its own, made under a name
// nobody can know beforehand; what waits at the name the copy once had (a folder, which a
// rename cannot replace, or someone's link) never stops the split being compressed.
TEST_F(SplitRequestTest, ADisketteSplitsCompressedCopyIsPrivateWhateverWaitsAtItsOldName)
{
    namespace fs = std::filesystem;
    test::DisketteFolder floppy(temp.path() / "floppy");
    test::writeFile(temp.file("source.bin"), test::patternBytes(5000));
    const std::string oldName = temp.file("source.bin.zip");
    const std::function<void()> plants[] = {
        [] {},
        [&] { fs::create_directory(oldName); },
        [&] { fs::create_symlink(temp.file("source.bin"), oldName); },
    };
    request.destinationFolder = "a:/";
    request.compressFirst = true;
    request.sizeUnit = SizeUnit::Bytes;
    request.pieceSize = "1000";
    host.acceptNotices();
    std::set<std::string> folders;
    for (const auto& plant : plants) {
        fs::remove(oldName);
        plant();
        const auto before = test::namesIn(temp.path());
        fs::path copy;
        fs::perms folderMode{}, copyMode{};
        host.onShown = [&](const test::ShownMessage& shown) {
            if (shown.kind != Question::DisketteCount)
                return;
            copy = engine.SourceFile();
            folderMode = fs::status(copy.parent_path()).permissions();
            copyMode = fs::status(copy).permissions();
            EXPECT_EQ(engine.Compressed(), "Yes");
        };
        host.answer(Question::DisketteCount, Answer::No, "diskettes");
        EXPECT_FALSE(split().succeeded);
        EXPECT_TRUE(host.allAnswersUsed());
        EXPECT_EQ(copy.filename(), "source.bin.zip");
        EXPECT_EQ(copy.parent_path().parent_path(), temp.path());
        EXPECT_EQ(folderMode, fs::perms(0700));
        EXPECT_EQ(copyMode, fs::perms(0600));
        EXPECT_EQ(test::namesIn(temp.path()), before); // the folder goes with the split
        folders.insert(copy.parent_path().filename().string());
    }
    EXPECT_EQ(folders.size(), std::size(plants));
}
