#include "verify/verify.h"

#include "fake_bindings.h"
#include "scripted_host.h"
#include "set_writer.h"
#include "temp_folder.h"

#include "format/split_set.h"
#include "integrity/set_checksums.h"
#include "join/mod_join_file.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace parcelo;
namespace fs = std::filesystem;

namespace {

class VerifyTest : public ::testing::Test {
protected:
    // The text of the one message a check showed.
    std::string onlyMessage() const
    {
        EXPECT_EQ(host.shown.size(), 1u);
        return host.shown.empty() ? std::string() : host.shown.back().text;
    }
    VerifyVerdict run(VerifyVerdict (*check)(const std::string&, const VerifyContext&),
                      const std::string& path)
    {
        host.shown.clear();
        host.acceptNotices();
        return check(path, context);
    }
    VerifyVerdict checkFile(const std::string& path) { return run(VerifySplitFile, path); }
    VerifyVerdict checkSet(const std::string& path) { return run(VerifySplitSet, path); }
    // The join's reason for refusing the set, found before anything is written.
    std::string joinRefusal(const std::string& picked)
    {
        modJoinFile join{host};
        join.SetSourceFile(picked);
        join.SetDestinationFolder(out.folder());
        join.LocateSplitFiles();
        EXPECT_EQ(join.ErrorFlag(), -1);
        EXPECT_TRUE(fs::is_empty(out.path()));
        return join.ErrorMessage();
    }

    test::TempFolder in;
    test::TempFolder out;
    test::ScriptedHost host;
    test::FakeFileList list;
    DisplayUnit unit = SizeUnit::Bytes;
    ErrorState joinState;
    VerifyContext context{host, &list, &unit, &joinState};
    test::RecordedRecentFiles recent;
    VerifyServices services{host, recent, {nullptr, nullptr, &list}, &unit, &joinState};
};

std::string valid(const std::string& path, int number, int count)
{
    return "File " + path + " is a valid split file. \nIt is split file #" + std::to_string(number)
           + " in a set of " + std::to_string(count) + " file(s).";
}

std::string invalid(const std::string& path, const std::string& reason)
{
    return "File " + path + " is not a valid split file.\n" + reason;
}

const std::string kSetOk =
    "The set of split files associated with this file has been verified successfully.";
const std::string kSetBad =
    "The set of split files associated with this file could not be verified.\n";

} // namespace

TEST_F(VerifyTest, OnePieceIsJudgedByItsHeaderOrItsMarkerLine)
{
    const auto judged = [this](const std::string& name, VerifyVerdict verdict) {
        EXPECT_EQ(checkFile(in.file(name)), verdict) << name;
        return onlyMessage();
    };
    const std::string piece = in.file("report.pdf.003");
    test::writeBytePiece(piece, PieceSignaturePlain, 7, 3, "abc");
    EXPECT_EQ(judged("report.pdf.003", VerifyVerdict::Verified), valid(piece, 3, 7));
    EXPECT_EQ(host.shown.back().icon, Icon::None);
    EXPECT_EQ(list.rows, (std::vector<std::pair<std::string, std::string>>{{piece, "15Bytes"}}));
    fs::copy_file(piece, in.file("copy.015")); // the header decides, not the number
    fs::copy_file(piece, in.file("report.pdf.003a"));
    EXPECT_EQ(judged("copy.015", VerifyVerdict::Verified), valid(in.file("copy.015"), 3, 7));
    test::writeLineSet(in.file("notes.txt"), {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}});
    const std::string notes = in.file("notes.txt.002");
    EXPECT_EQ(judged("notes.txt.002", VerifyVerdict::Verified), valid(notes, 2, 5));
    fs::remove(in.file("notes.txt.004"));
    fs::remove(in.file("notes.txt.001")); // below the picked piece: not looked at
    EXPECT_EQ(judged("notes.txt.002", VerifyVerdict::Verified), valid(notes, 2, 3));

    list.clear(); // a refused piece is not listed
    EXPECT_EQ(judged("report.pdf.003a", VerifyVerdict::NotVerified),
              invalid(in.file("report.pdf.003a"), "The file does not have a valid extension."));
    EXPECT_EQ(host.shown.back().icon, Icon::Critical);
    test::writeFile(in.file("text.001"), "hello\r\nworld");
    EXPECT_EQ(judged("text.001", VerifyVerdict::NotVerified),
              invalid(in.file("text.001"), "This file was not split by Parcelo application."));
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(judged("missing.001", VerifyVerdict::NoVerdict),
              "The file does not exist in the specified path.");
    test::writeFile(in.file("empty.001"), "");
    EXPECT_EQ(judged("empty.001", VerifyVerdict::NoVerdict), "Error:62 Input past end of file");
    EXPECT_EQ(joinState.ErrorFlag(), 62);
}

TEST_F(VerifyTest, AByteSetListsEveryPieceAndGivesOneReasonPerBadPiece)
{
    const std::string data = test::patternBytes(400);
    const auto pieces = test::writeByteSet(in.file("report.pdf"), data, 100);
    EXPECT_EQ(checkSet(pieces[1]), VerifyVerdict::Verified);
    EXPECT_EQ(onlyMessage(), kSetOk);
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(list.rows[3].second, "112Bytes");

    test::writeFile(pieces.back() + "0", "a piece beyond the count is not looked at");
    test::writeBytePiece(pieces[2], PieceSignaturePlain, 5, 3, data.substr(200, 100));
    test::writeBytePiece(pieces[3], 0x01020304, 4, 4, data.substr(300));
    EXPECT_EQ(checkSet(pieces[0]), VerifyVerdict::NotVerified);
    EXPECT_EQ(onlyMessage(), kSetBad + "The file " + pieces[2]
                                 + " is not a valid file of the set.\nThe file " + pieces[3]
                                 + " was not split by Parcelo application.\n");
    EXPECT_EQ(list.rows.size(), 4u);

    fs::remove(pieces[2]);
    EXPECT_EQ(checkSet(pieces[0]), VerifyVerdict::NoVerdict);
    EXPECT_EQ(onlyMessage(), "Error:53 File not found: " + pieces[2]);

    jobStop().request(); // a stopped check ends without a verdict or a listed piece
    EXPECT_EQ(checkSet(pieces[0]), VerifyVerdict::NoVerdict);
    jobStop().reset();
    EXPECT_TRUE(host.shown.empty());
    EXPECT_TRUE(list.rows.empty());
}

// Pieces without header are checked as the set their checksum file names, from any one.
TEST_F(VerifyTest, APlainSetIsCheckedAsItsChecksumFileNamesIt)
{
    const std::string data = test::patternBytes(400);
    const auto pieces = test::writePlainSet(in.file("report.pdf"), data, 100);
    EXPECT_EQ(checkFile(pieces[2]), VerifyVerdict::Verified);
    EXPECT_EQ(onlyMessage(), valid(pieces[2], 3, 4));
    EXPECT_EQ(checkSet(pieces[1]), VerifyVerdict::Verified);
    EXPECT_EQ(onlyMessage(), kSetOk);
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(list.rows[3].second, "100Bytes");

    test::flipByte(pieces[1], 50);
    EXPECT_EQ(checkFile(pieces[1]), VerifyVerdict::NotVerified);
    EXPECT_EQ(onlyMessage(), damagedPieceText(pieces[1]));
    fs::remove(pieces[2]);
    EXPECT_EQ(checkSet(pieces[0]), VerifyVerdict::NotVerified);
    EXPECT_EQ(onlyMessage(), kSetBad + "Missing Split File: " + pieces[2] + "\n"
                                 + damagedPieceText(pieces[1]) + "\n");
}

TEST_F(VerifyTest, ABadHeaderOrPieceSizeGivesTheJoinAndBothChecksTheSameReason)
{
    const auto count = [](const char* n) {
        return "The header gives a set of " + std::string(n)
               + " pieces; a set has 1 to 32767 pieces.";
    };
    const auto number = [](const char* n) {
        return "The header gives piece number " + std::string(n) + ", outside the set of 3 pieces.";
    };
    const struct {
        PieceHeader header;
        std::string data;
        std::string reason;
    } cases[] = {
        {{PieceSignaturePlain, 40000, 1}, "abc", count("40000")},
        {{PieceSignaturePlain, 0, 0}, "abc", count("0")},
        {{PieceSignatureCompressed, 3, 5}, "abc", number("5")},
        {{PieceSignaturePlain, 3, 0}, "abc", number("0")},
        {{PieceSignaturePlain, 3, 3}, "", "The piece holds no data, though its set has 3 pieces."},
    };
    const std::string path = in.file("bad.bin.001");
    for (const auto& c : cases) {
        test::writeBytePiece(path, c.header.signature, c.header.count, c.header.number, c.data);
        EXPECT_EQ(checkFile(path), VerifyVerdict::NotVerified);
        EXPECT_EQ(onlyMessage(), invalid(path, c.reason));
        EXPECT_EQ(checkSet(path), VerifyVerdict::NotVerified);
        EXPECT_EQ(onlyMessage(), kSetBad + invalid(path, c.reason));
        EXPECT_EQ(joinRefusal(path), invalid(path, c.reason));
    }

    // A piece cut short or grown is named before anything is joined.
    const std::string data = test::patternBytes(1000);
    const struct {
        int piece;
        std::size_t dataSize; // of that piece; the others hold 300, 300, 300, 100
    } sizes[] = {{2, 299}, {1, 250}, {4, 301}, {4, 0}, {3, 0}};
    for (const auto& c : sizes) {
        const auto pieces = test::writeByteSet(in.file("set.bin"), data, 300);
        const std::string& wrong = pieces[static_cast<std::size_t>(c.piece) - 1];
        test::writeBytePiece(wrong, PieceSignaturePlain, 4, c.piece, std::string(c.dataSize, 'z'));
        const std::string reason = "The file " + wrong + " is not a valid file of the set.";
        EXPECT_EQ(checkSet(pieces[0]), VerifyVerdict::NotVerified);
        EXPECT_EQ(onlyMessage(), kSetBad + reason + "\n");
        EXPECT_EQ(joinRefusal(pieces[1]), reason);
    }
}

TEST_F(VerifyTest, ALineSetIsCountedUpFromThePickedPiece)
{
    const auto pieces = test::writeLineSet(in.file("notes.txt"), {{"a"}, {"b"}, {"c"}, {"d"}});
    EXPECT_EQ(checkSet(pieces[1]), VerifyVerdict::Verified);
    EXPECT_EQ(list.rows.size(), 4u);

    // A piece further on than the last consecutive one: the one between is missing.
    fs::remove(pieces[2]);
    EXPECT_EQ(checkSet(pieces[0]), VerifyVerdict::NotVerified);
    EXPECT_EQ(onlyMessage(), kSetBad + "Missing Split File: " + pieces[2] + "\n");
    EXPECT_EQ(list.rows.size(), 2u);
    fs::remove(pieces[3]);
    EXPECT_EQ(checkSet(pieces[0]), VerifyVerdict::Verified);

    test::writeFile(pieces[1], "no marker\r\n");
    EXPECT_EQ(checkSet(pieces[0]), VerifyVerdict::NotVerified);
    // The picked piece's own reason stays in front of the reasons of the line pass.
    EXPECT_EQ(onlyMessage(), kSetBad + "This file was not split by Parcelo application.The file "
                                 + pieces[1] + " was not split by Parcelo application.\n");
}

TEST_F(VerifyTest, ASetOnDiskettesIsCheckedFromTheFirstDisk)
{
    test::DisketteFolder floppy(in.path() / "drive");
    test::writeBytePiece(in.file("drive/x.bin.003"), PieceSignaturePlain, 3, 3, "abc");
    host.answer(Question::InsertDisk, Answer::Cancel,
                "Please insert disk #1 of 3 in drive A: and click OK to continue.")
        .answer(Question::ConfirmCancel, Answer::Yes,
                "This action will cancel the process completely.");
    EXPECT_EQ(VerifySplitSet("a:/x.bin.003", context), VerifyVerdict::NoVerdict);
    EXPECT_EQ(joinState.ErrorFlag(), -1);
    EXPECT_EQ(joinState.ErrorMessage(), "Process cancelled by the user.");
    EXPECT_TRUE(host.allAnswersUsed());
}

// A blank box is the window's test.
TEST_F(VerifyTest, TheButtonsRefuseBadInputBeforeChecking)
{
    using Button = CommandOutcome (*)(VerifyRequest&, VerifyServices&);
    const auto press = [this](Button button, const std::string& text) {
        VerifyRequest request{text};
        return button(request, services);
    };
    host.answer(Question::Notice, Answer::Ok, "Please enter a valid file name to verify.");
    auto result = press(verifyFileCommand, in.folder()); // ends with "/"
    EXPECT_EQ(result.focus, RequestField::PiecePath);
    EXPECT_EQ(host.shown.back().icon, Icon::None);

    // "Verify whole set" refuses only a final backslash; a folder then is no file.
    host.answer(Question::Notice, Answer::Ok, test::notLocated("file", in.folder()));
    result = press(verifySetCommand, in.folder());
    EXPECT_EQ(result.focus, RequestField::PiecePath);
    EXPECT_EQ(host.shown.back().icon, Icon::Critical);
    EXPECT_TRUE(host.busyChanges.empty());

    test::writeByteSet(in.file("a.bin"), "abc", 2);
    list.addRow("from before", FileRowKind::Piece);
    host.answer(Question::Notice, Answer::Ok, kSetOk);
    result = press(verifySetCommand, in.file("a.bin.001"));
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.focus, RequestField::None);
    EXPECT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(host.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_TRUE(host.allAnswersUsed());
    // only the check that reached a verdict is remembered
    EXPECT_EQ(recent.added, std::vector<std::string>{"Verified:" + in.file("a.bin.001")});
}
