#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "format/set_pieces.h"
#include "integrity/join_script.h"
#include "join/join_command.h"
#include "join/mod_join_file.h"
#include "platform/diskette.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/password.h"
#include "platform/paths.h"

#include "fake_bindings.h"
#include "fault_host.h"
#include "scripted_host.h"
#include "set_writer.h"
#include "temp_folder.h"
#include "tool_pieces.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>

using namespace parcelo;

namespace {

class JoinCommandTest : public ::testing::Test {
protected:
    JoinCommandTest()
        : engine(host), compressor(host, tool, {}, {&bar, &label, nullptr}, temp.path().string())
    {
        std::filesystem::create_directory(temp.file("in"));
        std::filesystem::create_directory(temp.file("out"));
        request.destinationFolder = temp.file("out");
    }

    CommandOutcome join() { return joinCommand(request, services); }
    // A join whose host shows only the given critical message, after agreeing to replace
    // the file named `replacing` when one is named.
    CommandOutcome joinShowing(JoinRequest& values, const std::string& message,
                               const std::string& replacing = {})
    {
        test::ScriptedHost failing;
        if (!replacing.empty())
            failing.answer(Question::Replace, Answer::Yes, replacing + " already exists in ");
        failing.answer(Question::Notice, Answer::Ok, message);
        JoinServices s{failing, engine, compressor, recent, explore, {&bar, &label, &list}};
        const CommandOutcome outcome = joinCommand(values, s);
        EXPECT_TRUE(failing.allAnswersUsed());
        EXPECT_EQ(failing.shown.size(), replacing.empty() ? 1u : 2u);
        EXPECT_EQ(failing.shown.back().icon, Icon::Critical);
        return outcome;
    }
    std::string in(const std::string& name) const { return temp.file("in/" + name); }
    std::string out(const std::string& name) const { return temp.file("out/" + name); }

    // content as the compression component writes it, encrypted with a password if given.
    std::string compressedBytes(const std::string& content, const Password* password = nullptr)
    {
        test::writeFile(temp.file("report.pdf"), content);
        tool.SetSourceFileName(temp.file("report.pdf"));
        tool.SetTargetFileName(temp.file("report.pdf.zip"));
        tool.SetEntryPassword(password);
        tool.DoCompress();
        tool.SetEntryPassword(nullptr);
        return test::readFile(temp.file("report.pdf.zip"));
    }

    test::TempFolder temp;
    test::ScriptedHost host;
    test::FakeProgressBar bar;
    test::FakeLabel label;
    test::FakeFileList list;
    test::RecordedRecentFiles recent;
    ExploreMenu explore;
    ZlibTool tool;
    modJoinFile engine;
    CompressionAdapter compressor;
    JoinServices services{host, engine, compressor, recent, explore, {&bar, &label, &list}};
    JoinRequest request;
};

// The notice of a join that made `path`.
std::string created(const std::string& path, const std::string& how = " ")
{
    return "The file: " + path + CR + " has been created" + how
           + "from all split files successfully.";
}

} // namespace

TEST_F(JoinCommandTest, RefusalsNameTheProblemAndMoveTheFocus)
{
    test::writeByteSet(in("a.bin"), "0123456789", 4);
    struct Case {
        std::string text5, text6, message;
        RequestField focus;
    };
    const std::string out = temp.file("out"), nowhere = temp.file("nowhere");
    const std::vector<Case> cases = {
        {"", out, "Please locate any of the splitted file!", RequestField::None},
        {in("a.bin.001"), "", "Please specify destination folder for the joined file!",
         RequestField::None},
        {temp.folder(), out, "Please enter a valid file name to continue with this operation.",
         RequestField::PiecePath},
        {"a:/x.001", "a:/",
         "You cannot select a: drive as source AND destination to join files. "
         "Please select a different folder as destination.",
         RequestField::DestinationFolder},
        {in("a.bin.009"), out, test::notLocated("file", in("a.bin.009")), RequestField::PiecePath},
        {in("a.bin.001"), nowhere, test::notLocated("folder", nowhere + "/"),
         RequestField::DestinationFolder},
    };
    for (const Case& c : cases) {
        JoinRequest values{c.text5, c.text6, false, false};
        const CommandOutcome outcome = joinShowing(values, c.message);
        EXPECT_FALSE(outcome.succeeded) << c.message;
        EXPECT_EQ(outcome.focus, c.focus) << c.message;
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.file("out")));
}

// The answers to the offer to delete the pieces are join_test's.
TEST_F(JoinCommandTest, JoinsFromAMiddlePieceDecompressesByNameOrShowsTheEnginesError)
{
    const std::string content = test::patternBytes(3500);
    const auto pieces = test::writeByteSet(in("report.pdf"), content, 1000);
    request.piecePath = pieces[1];
    host.answer(Question::Notice, Answer::Ok, created(out("report.pdf")));
    EXPECT_TRUE(join().succeeded);
    EXPECT_EQ(test::readFile(out("report.pdf")), content);
    EXPECT_EQ(request.destinationFolder,
              temp.file("out") + "/"); // the list and label are the window's test
    EXPECT_FALSE(bar.visible);
    EXPECT_EQ(recent.added, std::vector<std::string>{"Joined:" + pieces[1]});

    test::writeBytePiece(pieces[2], 0x12345678, 4, 3, std::string(1000, 'x'));
    std::filesystem::remove(out("report.pdf"));
    host.answer(Question::Notice, Answer::Ok, "File " + pieces[2] + " is not a valid split file.");
    host.answer(Question::Notice, Answer::Ok,
                "Error:1 : File " + pieces[2] + " is not a valid split file.");
    EXPECT_FALSE(join().succeeded);
    EXPECT_FALSE(std::filesystem::exists(out("report.pdf")));

    // A compressed set is decompressed by its own name only; keeping the compressed file
    // (keepCompressed) is the window's test.
    const std::string archive = compressedBytes(content);
    request.piecePath = test::writeByteSet(in("report.pdf.zip"), archive, 1000, true).back();
    std::filesystem::remove(out("report.pdf"));
    host.answer(Question::Notice, Answer::Ok, created(out("report.pdf"), " and decompressed "));
    EXPECT_TRUE(join().succeeded);
    EXPECT_EQ(test::readFile(out("report.pdf")), content);
    EXPECT_EQ(test::namesIn(out("")), std::set<std::string>{"report.pdf"});

    // Without a final ".zip" the joined file is the result (the adapter's test has the rule).
    request.piecePath = test::writeByteSet(in("photos"), archive, 1000, true)[0];
    host.answer(Question::Notice, Answer::Ok,
                created(out("photos")) + CR
                    + "It has not been decompressed: its name does not end in \".zip\".");
    EXPECT_TRUE(join().succeeded);
    EXPECT_EQ(test::namesIn(out("")), (std::set<std::string>{"photos", "report.pdf"}));
    EXPECT_TRUE(host.allAnswersUsed());
}

// Plain pieces as the window joins them: Parcelo's own set of a compressed file is
// decompressed; another tool's pieces are joined byte for byte once the user agrees.
TEST_F(JoinCommandTest, PlainPiecesOfParceloAndOfOtherToolsJoinByteForByte)
{
    const std::string content = test::patternBytes(3500);
    request.piecePath =
        test::writePlainSet(in("report.pdf.zip"), compressedBytes(content), 1000)[1];
    host.answer(Question::Notice, Answer::Ok, created(out("report.pdf"), " and decompressed "));
    EXPECT_TRUE(join().succeeded);
    EXPECT_EQ(test::readFile(out("report.pdf")), content);
    for (const test::ToolPieces& set : test::makeToolPieces(temp)) {
        SCOPED_TRACE(set.what);
        request.piecePath = set.picked;
        host.answer(Question::JoinPlain, Answer::Yes,
                    GetFileNameFromPath(set.picked) + " is not a Parcelo piece. Join ");
        host.answer(Question::Notice, Answer::Ok, created(out(set.joined)));
        EXPECT_TRUE(join().succeeded);
        EXPECT_TRUE(test::readFile(out(set.joined)) == set.expected);
        std::filesystem::remove(out(set.joined));
    }
    EXPECT_TRUE(host.allAnswersUsed());
}

// A compressed set is decompressed straight from its pieces, into the file or the stream,
// byte for byte what unzip makes of the joined archive, wherever the pieces cut it.
TEST_F(JoinCommandTest, DecompressionFromThePiecesEqualsUnzip)
{
    const std::string text = test::commandOutput("seq 1 40000");
    test::writeFile(temp.file("report.pdf"), text);
    const auto zipped = [&](const std::string& command) {
        EXPECT_EQ(std::system(("cd " + temp.path().string() + " && " + command).c_str()), 0);
        return test::readFile(temp.file("made.zip"));
    };
    const std::string ours = compressedBytes(text);
    const std::string stored = zipped("zip -q -0 made.zip report.pdf");
    const std::string zip64 = zipped("rm -f made.zip && zip -q -fz made.zip report.pdf");
    // from a pipe: sizes in a data descriptor after the data
    const std::string described = zipped("cat report.pdf | zip -q - - | cat > made.zip");
    const std::string tiny = zipped("rm -f made.zip && printf 'tiny' > t && zip -q made.zip t");
    const std::size_t centralOfOurs = ours.size() - 22 - 46 - 10; // the entry's name
    const struct {
        const char* what;
        const std::string& archive;
        std::size_t pieceSize; // 0: a plain set of 1000-byte pieces
        bool stream;
    } cases[] = {
        {"one piece", ours, ours.size(), false},
        {"boundary in the central directory", ours, centralOfOurs + 20, false},
        {"into the stream", ours, 3000, true},
        {"stored", stored, 7000, false},
        {"ZIP64", zip64, 5000, false},
        {"data descriptor", described, 4000, true},
        {"boundaries in every header", tiny, 7, false},
        {"plain set", ours, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::writeFile(temp.file("joined.zip"), c.archive);
        const std::string expected =
            test::commandOutput("unzip -p " + temp.file("joined.zip") + " 2>&1");
        ASSERT_FALSE(expected.empty());
        std::filesystem::remove_all(in(""));
        std::filesystem::create_directory(in(""));
        const auto pieces =
            c.pieceSize == 0
                ? test::writePlainSet(in("report.pdf.zip"), c.archive, 1000)
                : test::writeByteSet(in("report.pdf.zip"), c.archive, c.pieceSize, true);
        request.piecePath = pieces.back();
        if (c.stream) {
            File stream(temp.file("stream.out"), File::Mode::Write);
            EXPECT_TRUE(joinIntoStreamCommand(request, services, stream).succeeded);
            stream.close();
            EXPECT_TRUE(test::readFile(temp.file("stream.out")) == expected);
        } else {
            host.answer(Question::Notice, Answer::Ok,
                        created(out("report.pdf"), " and decompressed "));
            EXPECT_TRUE(join().succeeded);
            EXPECT_TRUE(test::readFile(out("report.pdf")) == expected);
        }
        // never through the joined archive
        EXPECT_EQ(test::namesIn(out("")),
                  c.stream ? std::set<std::string>{} : std::set<std::string>{"report.pdf"});
        std::filesystem::remove(out("report.pdf"));
    }
    EXPECT_TRUE(host.allAnswersUsed());
}

// A damaged archive is refused from its pieces, before or while it is read: nothing is written
// (a file of the decompressed name stays as it was), the pieces are kept and not even offered
// for deletion.
TEST_F(JoinCommandTest, ADamagedArchiveInThePiecesWritesNothingAndKeepsThePieces)
{
    const std::string content = test::patternBytes(30'000);
    const std::string good = compressedBytes(content);
    const std::string zip = "zip -j -q " + temp.file("stored.zip") + " ";
    ASSERT_EQ(std::system((zip + "-0 " + temp.file("report.pdf")).c_str()), 0);
    const std::string stored = test::readFile(temp.file("stored.zip"));
    std::string badCrc = stored;
    badCrc[badCrc.size() / 2] ^= 0x55;
    ASSERT_EQ(std::system((zip + temp.file("report.pdf.zip")).c_str()), 0);
    const std::string twoEntries = test::readFile(temp.file("stored.zip"));
    // The file's size, as both the local and the central header give it, told one byte more.
    const auto lyingSize = [&good](int by) {
        std::string archive = good;
        const std::string size = archive.substr(22, 4);
        for (std::size_t at = 0; (at = archive.find(size, at)) != std::string::npos; at += 4) {
            auto bytes = reinterpret_cast<unsigned char*>(&archive[at]);
            std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24;
            value = static_cast<std::uint32_t>(static_cast<int>(value) + by);
            for (int i = 0; i < 4; ++i)
                bytes[i] = static_cast<unsigned char>(value >> (8 * i));
        }
        return archive;
    };

    struct Case {
        std::string archive;
        int osError; // a write failure, or 0
        std::string reason;
    };
    const std::string file = "The file " + in("report.pdf.zip.001");
    const std::string disk = fileSystemFacts(temp.path())->mountPoint;
    const std::vector<Case> cases = {
        {badCrc, 0, file + " is damaged: its data does not match its checksum."},
        {content, 0, file + " is not a ZIP archive."},
        {good.substr(0, good.size() - 30), 0, file + " is not a ZIP archive."},
        {lyingSize(+1), 0, file + " is damaged: it holds less data than recorded."},
        {lyingSize(-1), 0, file + " is damaged: it holds more data than recorded."},
        {twoEntries, 0,
         file
             + " holds 2 entries; only an archive of exactly one file can be "
               "decompressed."},
        // 1000 of 30,000 bytes written; other errors: the safe writes
        {good, ENOSPC, "There is not enough space on " + disk + ": 29 KB more are needed."},
    };
    test::writeFile(out("report.pdf"), "previous");
    request.deletePiecesAfter = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        std::filesystem::remove_all(in(""));
        std::filesystem::create_directory(in(""));
        const auto pieces = test::writeByteSet(in("report.pdf.zip"), c.archive, 1000, true);
        request.piecePath = pieces[0];
        if (c.osError != 0)
            faults::failWritesAfter(1000, c.osError, out(""));
        const CommandOutcome outcome = joinShowing(
            request, c.reason + CR + "Nothing has been written and the pieces are kept.",
            "report.pdf");
        faults::clearWriteFault();
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_EQ(test::namesIn(out("")), std::set<std::string>{"report.pdf"});
        EXPECT_EQ(test::readFile(out("report.pdf")), "previous");
        for (std::size_t i = 0; i < pieces.size(); ++i)
            EXPECT_EQ(test::readFile(pieces[i]).substr(12), c.archive.substr(i * 1000, 1000));
    }
}

// A stop while the pieces are checked, the decompression running beside the checks, ends
// the join as cancelled and leaves the folder as it was: no temporary, no joined archive.
TEST_F(JoinCommandTest, AStopWhileDecompressingFromThePiecesLeavesTheFolderAsItWas)
{
    const std::string archive = compressedBytes(test::patternBytes(3'000'000));
    const auto pieces = test::writeByteSet(in("report.pdf.zip"), archive, 1'000'000, true);
    request.piecePath = pieces[0];
    struct StoppingLabel : test::FakeLabel { // asks for the stop at the second piece
        void setCaption(const std::string& c) override
        {
            if (c.find("report.pdf.zip.002") != std::string::npos)
                jobStop().request();
        }
    } stoppingLabel;
    test::FaultHost stopping; // lifts the stop when it goes
    stopping.acceptNotices();
    JoinServices s{stopping, engine, compressor, recent, explore, {&bar, &stoppingLabel, &list}};
    EXPECT_FALSE(joinCommand(request, s).succeeded);
    ASSERT_FALSE(stopping.shown.empty());
    EXPECT_NE(stopping.shown.back().text.find(kCancelledByUser), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(out("")));
    EXPECT_EQ(test::namesIn(in("")).size(), pieces.size());
}

// An encrypted set's password is asked once its pieces have passed their checks (a damaged
// piece is refused without asking); each wrong one is told in the next question, three
// tries in all. A wrong or missing password writes nothing, not even the joined archive,
// and keeps the pieces; kept compressed, the archive is joined without a password.
TEST_F(JoinCommandTest, AnEncryptedSetAsksItsPasswordAfterTheChecksAndAWrongOneWritesNothing)
{
    const std::string content = test::patternBytes(30'000);
    const Password right("a long enough passphrase");
    const std::string archive = compressedBytes(content, &right);
    const auto pieces = test::writeByteSet(in("report.pdf.zip"), archive, 10'000, true);
    request.piecePath = pieces[1];
    request.deletePiecesAfter = true; // offered after a success only
    const std::string asked = "The pieces of report.pdf.zip are encrypted. Type the password";
    const std::string nothing = "Nothing has been written and the pieces are kept.";
    const struct {
        std::vector<std::string> typed; // "" cancels
        bool joined;
        std::string last; // the message after the last question
    } cases[] = {
        {{"a long enough passphrase"}, true, "has been created and decompressed"},
        {{"wrong", "also wrong", "a long enough passphrase"}, true, "and decompressed"},
        {{"wrong", "wrong", "wrong"}, false, std::string(kWrongPasswordText) + CR + nothing},
        {{"wrong", ""}, false, std::string(kWrongPasswordText) + CR + nothing},
        {{""},
         false,
         std::string("The pieces of report.pdf.zip are encrypted and no password was given.") + CR
             + nothing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.size());
        for (std::size_t i = 0; i < c.typed.size(); ++i)
            host.password(c.typed[i], i == 0 ? asked
                                             : std::string(kWrongPasswordText) + CR
                                                   + "Type the password of report.pdf.zip again ("
                                                   + (i == 1 ? "2 tries" : "1 try") + " left):");
        host.answer(Question::Notice, Answer::Ok, c.last);
        if (c.joined)
            host.answer(Question::DeletePieces, Answer::No);
        EXPECT_EQ(join().succeeded, c.joined);
        EXPECT_TRUE(host.allAnswersUsed());
        EXPECT_EQ(test::namesIn(out("")),
                  c.joined ? std::set<std::string>{"report.pdf"} : std::set<std::string>{});
        EXPECT_EQ(test::readFile(out("report.pdf")), c.joined ? content : "");
        std::filesystem::remove(out("report.pdf"));
        for (std::size_t i = 0; i < pieces.size(); ++i)
            EXPECT_EQ(test::readFile(pieces[i]).substr(12), archive.substr(i * 10'000, 10'000));
    }

    // Kept compressed: no password, and the outcome says what opens the archive.
    request.keepCompressed = true;
    request.deletePiecesAfter = false;
    host.answer(Question::Notice, Answer::Ok, kEncryptedArchiveNote);
    EXPECT_TRUE(join().succeeded);
    EXPECT_EQ(test::readFile(out("report.pdf.zip")), archive);
    std::filesystem::remove(out("report.pdf.zip"));

    // A piece that fails the checksum file is refused before any password is asked.
    request.keepCompressed = false;
    ASSERT_EQ(
        std::system(
            ("cd " + in("") + " && sha256sum report.pdf.zip.00? > report.pdf.zip.sha256").c_str()),
        0);
    test::flipByte(pieces[2], 500);
    host.answer(Question::Notice, Answer::Ok, "report.pdf.zip.003")
        .answer(Question::Notice, Answer::Ok, "report.pdf.zip.003");
    EXPECT_FALSE(join().succeeded);
    EXPECT_TRUE(host.allAnswersUsed());
    EXPECT_TRUE(std::filesystem::is_empty(out("")));
}

// Asked before anything is written: No keeps the file byte for byte and writes nothing, Yes
// replaces it and the new file keeps its permissions.
TEST_F(JoinCommandTest, AFileOfANameTheJoinMakesIsReplacedOnlyWhenTheUserSaysSo)
{
    const std::string content = test::patternBytes(2500);
    const std::string archive = compressedBytes(content);
    const struct {
        bool compressed;
        bool keepZip; // "Do not decompress"
        std::string existing;
        Answer answer;
        std::string result; // what the existing name holds after a Yes
        bool asked = true;  // false: the join makes no file of that name and leaves it be
    } cases[] = {
        {false, false, "report.pdf", Answer::No, {}},
        {false, false, "report.pdf", Answer::Yes, content},
        {true, false, "report.pdf", Answer::No, {}},
        {true, false, "report.pdf", Answer::Yes, content},
        {true, false, "report.pdf.zip", Answer::Yes, "the user's own file", false},
        {true, true, "report.pdf.zip", Answer::Yes, archive},
    };
    const std::string mine = "the user's own file";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.existing + (c.compressed ? " compressed" : "") + (c.keepZip ? " kept" : ""));
        std::filesystem::remove_all(temp.file("out"));
        std::filesystem::create_directory(temp.file("out"));
        request.piecePath = c.compressed
                                ? test::writeByteSet(in("report.pdf.zip"), archive, 1000, true)[0]
                                : test::writeByteSet(in("report.pdf"), content, 1000)[1];
        request.keepCompressed = c.keepZip;
        test::writeFile(out(c.existing), mine);
        std::filesystem::permissions(out(c.existing), std::filesystem::perms(0640));

        test::ScriptedHost asked;
        if (c.asked)
            asked.answer(Question::Replace, c.answer,
                         c.existing + " already exists in " + temp.file("out") + ". Replace it?");
        asked.acceptNotices();
        JoinServices s{asked, engine, compressor, recent, explore, {&bar, &label, &list}};
        const bool joined = joinCommand(request, s).succeeded;
        EXPECT_EQ(joined, c.answer == Answer::Yes);
        if (!c.asked) {
            for (const auto& shown : asked.shown)
                EXPECT_NE(shown.kind, Question::Replace);
            EXPECT_EQ(test::readFile(out("report.pdf")), content);
            std::filesystem::remove(out("report.pdf"));
        } else {
            EXPECT_EQ(asked.shown[0].buttons, Buttons::YesNo);
        }
        EXPECT_EQ(test::namesIn(out("")), std::set<std::string>{c.existing});
        EXPECT_EQ(test::readFile(out(c.existing)), c.answer == Answer::Yes ? c.result : mine);
        EXPECT_EQ(std::filesystem::status(out(c.existing)).permissions(),
                  std::filesystem::perms(0640));
        if (c.answer == Answer::No) {
            EXPECT_EQ(asked.shown.size(), 1u); // nothing more is said
        }
    }
}

TEST_F(JoinCommandTest, ExploreMenuTakesNewFoldersInEntriesThreeAndFour)
{
    // entries 3 and 4 as shown, "" while hidden
    const auto shown = [](const ExploreMenu& menu) {
        const auto tag = [&](int i) { return menu.entry(i).visible ? menu.entry(i).tag : ""; };
        return tag(3) + " | " + tag(4);
    };
    explore.entry(1).tag = "/defaults/PcxBr";
    explore.entry(2).tag = "/defaults/PcxJn";
    offerJoinFolder(explore, "/defaults/pcxjn/"); // a default folder, any case: no entry
    EXPECT_EQ(shown(explore), " | ");
    offerJoinFolder(explore, "/data/out2/");
    EXPECT_EQ(shown(explore), "/data/out2 | ");
    for (const char* folder : {"/data/out3", "/data/out4", "a:/"})
        offerJoinFolder(explore, folder);
    EXPECT_EQ(shown(explore), "/data/out2 | /data/out4");

    ExploreMenu split;
    split.entry(1).tag = "/defaults/PcxBr";
    offerSplitFolder(split, "/x/first/");
    offerSplitFolder(split, "/x/second/"); // the first moves to entry 4 while it is hidden
    EXPECT_EQ(split.entry(3).caption + " | " + split.entry(4).caption, "/x/second | /x/first");
    offerSplitFolder(split, "/x/third/");
    EXPECT_EQ(shown(split), "/x/third | /x/first");
}

TEST_F(JoinCommandTest, OnlyTheDriveLetterIsTheDisketteAndClearAllEmptiesThePane)
{
    const std::string content = test::patternBytes(2500);
    request.piecePath = test::writeByteSet(in("report.pdf"), content, 1000)[0];
    test::DisketteFolder floppy(temp.file("out"));
    floppy.drive->setMediumPresent(false);
    request.destinationFolder = "a:";
    host.answer(Question::InsertDisk, Answer::Cancel,
                "Please insert disk in drive A: and click OK to continue.");
    EXPECT_FALSE(join().succeeded);
    EXPECT_EQ(engine.ErrorMessage(), "Processing of the files was cancelled.");
    EXPECT_EQ(host.shown.size(), 1u);

    std::filesystem::create_directory(temp.file("archive"));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(temp.path());
    request.destinationFolder = "archive";
    host.answer(Question::Notice, Answer::Ok, created("archive/report.pdf"));
    EXPECT_TRUE(join().succeeded);
    std::filesystem::current_path(previous);
    EXPECT_EQ(test::readFile(temp.file("archive/report.pdf")), content);

    list.addRow("row", FileRowKind::Piece);
    clearJoinCommand(request, services.pane);
    EXPECT_TRUE(request.piecePath.empty() && request.destinationFolder.empty());
    EXPECT_TRUE(!bar.visible && label.captions.back().empty() && list.rows.empty());
}
