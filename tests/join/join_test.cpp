#include "join/mod_join_file.h"

#include "fake_bindings.h"
#include "scripted_host.h"
#include "set_writer.h"
#include "temp_folder.h"

#include "format/split_set.h"
#include "platform/file.h"

#include <gtest/gtest.h>

#include "integrity/set_checksums.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

using namespace parcelo;
namespace fs = std::filesystem;

namespace {

const std::string kData = test::patternBytes(1000);

class JoinTest : public ::testing::Test {
protected:
    // The host's order of calls; true on success. replace: the user agreed to replace a
    // file of the joined name.
    bool join(const std::string& picked, bool replace = false)
    {
        engine.ResetJoin();
        engine.SetReplaceJoinedFile(replace);
        engine.SetSourceFile(picked);
        engine.SetDestinationFolder(out.folder());
        engine.LocateSplitFiles();
        if (engine.ErrorFlag() == 0)
            engine.JoinSplitFiles();
        engine.FinishJoin();
        return engine.ErrorFlag() == 0;
    }
    std::string joined(const std::string& name = "data.bin") const
    {
        return test::readFile(out.file(name));
    }

    test::TempFolder in;
    test::TempFolder out;
    test::ScriptedHost host;
    modJoinFile engine{host};
};

} // namespace

TEST_F(JoinTest, JoinsFromAnyPieceListingTheSetAndShowingProgressOrSaysWhyItCannot)
{
    const std::string deep = in.file(std::string(60, 'd'));
    fs::create_directory(deep);
    const auto pieces = test::writeByteSet(deep + "/report.pdf", kData, 300);
    test::FakeProgressBar bar;
    test::FakeLabel label;
    test::FakeFileList list;
    DisplayUnit unit = SizeUnit::Bytes;
    engine.SetDisplayUnit(&unit);
    engine.SetProgressBar(&bar);
    engine.SetStatusLabel(&label);
    engine.SetFileList(&list);
    test::writeFile(out.file("report.pdf"), std::string(5000, 'x')); // replaced, not kept
    ASSERT_TRUE(join(pieces[2], true)) << engine.ErrorMessage();
    EXPECT_EQ(engine.JoinedFileName(), "report.pdf");
    EXPECT_EQ(joined("report.pdf"), kData);
    EXPECT_TRUE(host.shown.empty());
    EXPECT_FALSE(host.busyChanges.back());
    ASSERT_EQ(list.rows.size(), 4u);
    EXPECT_EQ(list.rows[0], std::make_pair(pieces[0], std::string("312Bytes")));
    EXPECT_TRUE(bar.visible);
    EXPECT_EQ(bar.max, 4);
    EXPECT_EQ(bar.values.front(), 0);
    EXPECT_EQ(bar.values.back(), 4);
    EXPECT_TRUE(std::is_sorted(bar.values.begin(), bar.values.end()));
    ASSERT_EQ(label.captions.size(), 4u);
    EXPECT_EQ(label.captions[3], "Joining File: ..." + pieces[3].substr(pieces[3].size() - 51));
    EXPECT_EQ(engine.ProgressBar(), nullptr); // released by FinishJoin

    // A name that only begins "a:" is no path on the diskette drive: the name is kept whole.
    ASSERT_TRUE(join(test::writeByteSet(in.file("a:data.bin"), kData, 300)[1]));
    EXPECT_EQ(joined("a:data.bin"), kData);

    fs::remove(pieces[2]);
    EXPECT_FALSE(join(pieces[1]));
    EXPECT_EQ(engine.ErrorFlag(), -1);
    EXPECT_EQ(engine.ErrorMessage(), "Missing Split File: " + pieces[2]);

    // No digit at the end, no signature, a short header, no file.
    test::writeFile(in.file("report.pdf"), "x");
    test::writeFile(in.file("notes.1"), "just some text\r\n");
    test::writeFile(in.file("short.001"), std::string("\x20\xE0\x33\x5F\x01", 5));
    host.answer(Question::JoinPlain, Answer::No,
                "notes.1 is not a Parcelo piece. Join notes.1 to notes.1 as plain pieces?");
    host.answer(Question::Notice, Answer::Ok,
                "The file " + in.file("gone.001") + " cannot be located.");
    for (const char* name : {"report.pdf", "notes.1", "short.001", "gone.001"}) {
        EXPECT_FALSE(join(in.file(name))) << name;
        EXPECT_EQ(engine.ErrorMessage(), "The file you selected is not a split file!");
    }
    EXPECT_EQ(host.shown.size(), 2u);
    EXPECT_EQ(test::namesIn(out.path()), (std::set<std::string>{"a:data.bin", "report.pdf"}));
}

// Pieces without header: Parcelo's own plain set is named by its checksum file; another
// tool's numbered pieces are joined as plain pieces only when the user says so. (Joins that
// succeed are the join command's and parcelo-cli's tests.)
TEST_F(JoinTest, PlainPiecesAreKnownByTheChecksumFileOrJoinedWhenTheUserSaysSo)
{
    const auto ownSet = [&] { return test::writePlainSet(in.file("data.bin"), kData, 300); };
    // Another tool's pieces of kData, numbered from `first` with `width` digits.
    const auto toolSet = [&](int first, int width, std::size_t size) {
        std::vector<std::string> paths;
        for (std::size_t at = 0; at < kData.size(); at += size) {
            const int number = first + static_cast<int>(paths.size());
            paths.push_back(in.file("data.bin") + numberedExtension(number, width));
            test::writeFile(paths.back(), kData.substr(at, size));
        }
        return paths;
    };
    const std::string notASplitFile = "The file you selected is not a split file!";
    struct Case {
        const char* what;
        std::function<std::string()> picked; // makes the files, returns the piece picked
        Answer answer;                       // to the offer to join them as plain pieces
        std::string question;                // "": none expected
        std::string failure;                 // "": joined
    };
    const std::vector<Case> cases = {
        {"own set with a gap",
         [&] {
             const auto pieces = ownSet();
             fs::remove(pieces[2]);
             return pieces[0];
         },
         Answer::No, "", "Missing Split File: " + in.file("data.bin.003")},
        {"own set with a damaged piece",
         [&] {
             const auto pieces = ownSet();
             test::flipByte(pieces[2], 7);
             return pieces[3];
         },
         Answer::No, "", damagedPieceText(in.file("data.bin.003"))},
        {"own set cut from a Parcelo piece",
         [&] {
             test::writeBytePiece(in.file("data.bin"), PieceSignaturePlain, 5, 2, kData.substr(12));
             return test::writePlainSet(in.file("data.bin"), test::readFile(in.file("data.bin")),
                                        400)[0];
         },
         Answer::No, "", ""},
        {"declined", [&] { return toolSet(1, 3, 400)[0]; }, Answer::No,
         "data.bin.001 is not a Parcelo piece. Join data.bin.001 to data.bin.003 as plain pieces?",
         notASplitFile},
        {"another tool's set with a gap",
         [&] {
             const auto pieces = toolSet(1, 3, 250);
             fs::remove(pieces[1]);
             return pieces[3];
         },
         Answer::Yes, "Join data.bin.001 to data.bin.004",
         "Missing Split File: " + in.file("data.bin.002")},
        {"another tool's set with a checksum file and a damaged piece",
         [&] {
             const auto pieces = toolSet(0, 3, 400);
             test::writeFile(in.file("data.bin.sha256"),
                             test::commandOutput("cd " + in.path().string()
                                                 + " && sha256sum data.bin.00[0-2]"));
             test::flipByte(pieces[1], 0);
             return pieces[0];
         },
         Answer::Yes, "Join data.bin.000 to data.bin.002",
         damagedPieceText(in.file("data.bin.001"))},
        {"a header set whose picked header is gone is never offered",
         [&] {
             const auto pieces = test::writeByteSet(in.file("data.bin"), kData, 300);
             test::writeFile(pieces[0], std::string(12, '\0') + kData.substr(0, 300));
             return pieces[0];
         },
         Answer::No, "", notASplitFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(in.path());
        fs::create_directory(in.path());
        fs::remove(out.file("data.bin"));
        const std::string picked = c.picked();
        if (!c.question.empty())
            host.answer(Question::JoinPlain, c.answer, c.question);
        if (c.failure.starts_with("The file ") && c.failure != notASplitFile)
            host.answer(Question::Notice, Answer::Ok, c.failure);
        EXPECT_EQ(join(picked), c.failure.empty());
        EXPECT_TRUE(host.allAnswersUsed());
        if (c.failure.empty()) { // the piece the plain set was cut from
            EXPECT_TRUE(engine.PlainSet());
            EXPECT_EQ(joined(), test::readFile(in.file("data.bin")));
        } else {
            EXPECT_NE(engine.ErrorMessage().find(c.failure), std::string::npos)
                << engine.ErrorMessage();
            EXPECT_FALSE(fs::exists(out.file("data.bin")));
        }
        EXPECT_EQ(engine.PlainOfferDeclined(), c.failure == notASplitFile && !c.question.empty());
    }
}

TEST_F(JoinTest, SetsSplitByLinesAreJoinedLineByLine)
{
    test::writeLineSet(in.file("data.bin"), {{"one", "two"}, {"lone\nfeed", ""}, {"x"}});
    test::writeFile(in.file("data.bin.003"),
                    std::string(kLineMarker) + kCrLf + "cr only\rno ending");
    ASSERT_TRUE(join(in.file("data.bin.002"))) << engine.ErrorMessage();
    EXPECT_TRUE(engine.LineSet());
    // The lines come back with the endings they have in the pieces.
    const std::string whole = "one\r\ntwo\r\nlone\nfeed\r\n\r\ncr only\rno ending";
    EXPECT_EQ(joined(), whole);

    fs::remove(in.file("data.bin.001")); // the count runs upwards; pieces below must exist
    EXPECT_FALSE(join(in.file("data.bin.002")));
    EXPECT_EQ(engine.ErrorMessage(), "Missing Split File: " + in.file("data.bin.001"));

    // A piece further on shows one missing in between; a file that is no piece does not.
    test::writeLineSet(in.file("data.bin"), {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}});
    test::writeFile(in.file("data.bin.007"), "not a piece\r\n");
    ASSERT_TRUE(join(in.file("data.bin.004"), true)) << engine.ErrorMessage();
    fs::remove(in.file("data.bin.004"));
    EXPECT_FALSE(join(in.file("data.bin.002")));
    EXPECT_EQ(engine.ErrorMessage(), "Missing Split File: " + in.file("data.bin.004"));

    fs::remove(in.file("data.bin.005"));
    test::writeFile(in.file("data.bin.001"), std::string(kLineMarker) + " and more\r\n");
    host.answer(
        Question::Notice, Answer::Ok,
        "File " + in.file("data.bin.001")
            + " is not a valid split file. This file was not split by Parcelo application.");
    EXPECT_FALSE(join(in.file("data.bin.003")));
    EXPECT_EQ(joined(), "1\r\n2\r\n3\r\n4\r\n5\r\n"); // the earlier join's file stays
}

// A cancelled prompt with the cancel declined asks again; the cancel itself is checked
// with the safe writes.
TEST_F(JoinTest, ASetOnDiskettesIsAskedForDiskByDisk)
{
    const auto pieces = test::writeByteSet(out.file("x.bin"), kData, 400);
    test::DisketteFolder floppy(out.path());
    fs::rename(pieces[1], in.file("disk2"));
    host.onShown = [&](const test::ShownMessage& shown) { // the user puts the disk in
        if (shown.answer == Answer::Ok && shown.text.find("disk #2") != std::string::npos)
            fs::copy_file(in.file("disk2"), pieces[1]);
    };
    const std::string prompt = "Please insert disk #2 of 3 in drive A: and click OK to continue.";
    host.answer(Question::InsertDisk, Answer::Cancel, prompt)
        .answer(Question::ConfirmCancel, Answer::No, "Are you sure you want to cancel the process?")
        .answer(Question::InsertDisk, Answer::Ok, prompt);
    test::FakeFileList list;
    engine.SetSourceFile("a:/x.bin.001");
    engine.SetDestinationFolder(in.folder());
    engine.SetFileList(&list);
    engine.LocateSplitFiles();
    EXPECT_TRUE(list.rows.empty()); // listed as each disk is read
    engine.JoinSplitFiles();
    engine.FinishJoin();
    ASSERT_EQ(engine.ErrorFlag(), 0) << engine.ErrorMessage();
    EXPECT_EQ(host.shown[0].icon, Icon::Information);
    EXPECT_EQ(test::readFile(in.file("x.bin")), kData);
    EXPECT_EQ(list.rows.size(), 3u);
    EXPECT_TRUE(engine.DeleteBrokenFiles()); // never on diskettes: nothing asked
    EXPECT_TRUE(fs::exists(pieces[2]));
    EXPECT_TRUE(host.allAnswersUsed());
}

// A Yes, with the standalone joiner's own question, is the joiner's test.
TEST_F(JoinTest, DeletesThePiecesOnlyAfterASuccessAndWhenTheUserAgrees)
{
    const auto pieces = test::writeByteSet(in.file("data.bin"), kData, 300);
    ASSERT_TRUE(join(pieces[2]));
    host.answer(Question::DeletePieces, Answer::No,
                "All borken files have successfully been joined, do you wish");
    engine.DeleteBrokenFiles();
    EXPECT_TRUE(fs::exists(pieces[0]));

    fs::remove(pieces[3]);
    EXPECT_FALSE(join(pieces[0]));
    engine.SetConfirmDelete(false);
    engine.DeleteBrokenFiles(); // after a failure: nothing deleted
    EXPECT_TRUE(fs::exists(pieces[0]));
    EXPECT_TRUE(host.allAnswersUsed());
}
