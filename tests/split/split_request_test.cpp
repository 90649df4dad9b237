#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "format/split_set.h"
#include "platform/recent_files.h"
#include "split/mod_split_file.h"
#include "split/split_request.h"

#include "fake_bindings.h"
#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace parcelo;

namespace {

class RecordedRecentFiles : public RecentFilesSink {
public:
    void AddRecentFile(const std::string& file, const std::string& kind) override
    {
        added.push_back(kind + ":" + file);
    }
    std::vector<std::string> added;
};

class SplitRequestTest : public ::testing::Test {
protected:
    SplitRequestTest()
        : engine(host), compressor(host, tool, {&bar, &label, nullptr}, {}, temp.path().string())
    {
        std::filesystem::create_directory(temp.file("out"));
        pane.Text1 = temp.file("source.bin");
        pane.Text4 = temp.file("out");
        pane.Check1 = false;
    }

    CommandOutcome split() { return cmdSpSplit_Click(pane, services); }
    std::string out(const std::string& name) const { return temp.file("out/" + name); }
    std::uintmax_t sizeOf(const std::string& name) const
    {
        return std::filesystem::file_size(out(name));
    }

    test::TempFolder temp;
    test::ScriptedHost host;
    test::FakeProgressBar bar;
    test::FakeLabel label;
    test::FakeFileList list;
    RecordedRecentFiles recent;
    ExploreMenu explore;
    ZlibTool tool;
    modSplitFile engine;
    CompressionAdapter compressor;
    SplitServices services{host, engine, compressor, recent, explore, {&bar, &label, &list}};
    SplitPaneValues pane;
};

} // namespace

TEST_F(SplitRequestTest, RefusalsNameTheProblemAndMoveTheFocus)
{
    struct Case {
        std::function<void(SplitPaneValues&)> change;
        std::string text;
        std::string focus;
    };
    test::writeFile(temp.file("source.bin"), "0123456789");
    const std::vector<Case> cases = {
        {[](auto& p) { p.Text1.clear(); }, "Please select a file to split/compress.", "Text1"},
        {[](auto& p) { p.Text4.clear(); },
         "Please specify the folder where you want to save the generated files.", "Text4"},
        {[&](auto& p) { p.Text1 = temp.folder(); },
         "Please enter a valid file name to continue with this operation.", "Text1"},
        {[&](auto& p) { p.Text1 = temp.file("none.bin"); },
         "The file " + temp.file("none.bin")
             + " cannot be located. Please make sure that the file exists in the specified path.",
         "Text1"},
        {[&](auto& p) { p.Text4 = temp.file("nowhere"); },
         "The folder " + temp.file("nowhere")
             + "/ cannot be located. Please make sure that the folder exists in the specified "
               "path.",
         "Text4"},
        {[](auto& p) {
             p.Option1 = false;
             p.Text2 = "abc";
         },
         "Please enter a valid value for number of pieces!", "Text2"},
        {[](auto& p) {
             p.Option1 = false;
             p.Text2 = "0";
         },
         "Number of pieces should be more than zero!", "Text2"},
        {[](auto& p) {
             p.Option1 = false;
             p.Text2 = "-3";
         },
         "Number of pieces should be more than zero!", "Text2"},
        {[](auto& p) { p.Text3 = ""; }, "Please enter a valid value for the size of split file(s)!",
         "Text3"},
        {[](auto& p) { p.Text3 = "-2"; },
         "Please enter a valid value for the size of split file(s)!", "Text3"},
        {[](auto& p) {
             p.Text3 = "4";
             p.Combo1 = 4;
             p.Check1 = true;
         },
         std::string("You can not compress file if you want it to be split by number of lines.")
             + LF + "Please uncheck 'Compress before Splitting' to continue.",
         "Check1"},
    };
    for (const Case& c : cases) {
        SplitPaneValues values;
        values.Text1 = temp.file("source.bin");
        values.Text4 = temp.file("out");
        values.Text3 = "4";
        values.Combo1 = 0;
        values.Check1 = false;
        c.change(values);
        test::ScriptedHost refusing;
        refusing.answer(Answer::Ok, c.text);
        SplitServices s{refusing, engine, compressor, recent, explore, {&bar, &label, &list}};
        const CommandOutcome outcome = cmdSpSplit_Click(values, s);
        EXPECT_FALSE(outcome.succeeded) << c.text;
        EXPECT_EQ(outcome.focus, c.focus) << c.text;
        ASSERT_EQ(refusing.shown.size(), 1u) << c.text;
        EXPECT_EQ(refusing.shown[0].text, c.text);
        EXPECT_EQ(refusing.shown[0].icon, Icon::Critical);
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp.file("out")));
    EXPECT_TRUE(recent.added.empty());
}

TEST_F(SplitRequestTest, NumberOfPiecesSizesThePiecesAndReportsTheRealCount)
{
    test::writeFile(temp.file("source.bin"), "0123456789");
    pane.Option1 = false;
    pane.Text2 = "3";
    host.answer(Answer::Ok, "split into 3 files. \rEach file contains 4 Bytes or less.");
    EXPECT_TRUE(split().succeeded);
    EXPECT_EQ(sizeOf("source.bin.001"), 16u);
    EXPECT_EQ(sizeOf("source.bin.003"), 14u);
    EXPECT_EQ(pane.Text4, temp.file("out") + "/"); // trailing separator written back
    EXPECT_EQ(label.captions.back(), "Completed splitting.");
    EXPECT_EQ(recent.added, std::vector<std::string>{"Split:" + temp.file("source.bin")});

    pane.Text2 = "6"; // 2-byte pieces: five of them, and the message says so
    host.answer(Answer::Ok, "split into 5 files. \rEach file contains 2 Bytes or less.");
    EXPECT_TRUE(split().succeeded);
    pane.Text2 = "2.9"; // the whole part counts
    host.answer(Answer::Ok, "split into 2 files. \rEach file contains 5 Bytes or less.");
    EXPECT_TRUE(split().succeeded);
    EXPECT_TRUE(host.allAnswersUsed());
}

TEST_F(SplitRequestTest, TypedSizesPresetsAndLines)
{
    test::writeFile(temp.file("source.bin"), test::patternBytes(4'000'000));
    pane.Text3 = "1.5";
    pane.Combo1 = 2;
    host.answer(Answer::Ok, "split into 3 files. \rEach file contains 1.5 Megabytes or less.");
    EXPECT_TRUE(split().succeeded);
    EXPECT_EQ(sizeOf("source.bin.001"), 1'572'864u + 12);

    pane.Option1 = false;
    pane.Option3 = true;
    pane.Combo2 = 1; // 2.88 MegaBytes
    host.answer(Answer::Ok, "split into 2 files. \rEach file contains 2.88 Megabytes or less.");
    EXPECT_TRUE(split().succeeded);
    EXPECT_EQ(sizeOf("source.bin.001"), 3'019'899u + 12);

    test::writeFile(temp.file("source.bin"), "a\r\nb\r\nc\r\n");
    pane.Option1 = true;
    pane.Option3 = false;
    pane.Combo1 = 4;
    pane.Text3 = "2";
    host.answer(Answer::Ok, "splitting files by number of lines is successful only for text files");
    host.answer(Answer::Ok, "split into 2 files. \rEach file contains 2 lines or less.");
    EXPECT_TRUE(split().succeeded);
    EXPECT_EQ(host.shown[host.shown.size() - 2].title, "Warning: Parcelo");
    EXPECT_EQ(test::readFile(out("source.bin.002")), "PcxLineBreak9174\r\nc\r\n");
}

TEST_F(SplitRequestTest, CompressedFileThatFitsIsStoredAsOnePiece)
{
    const std::string content(200'000, 'z');
    test::writeFile(temp.file("source.bin"), content);
    pane.Check1 = true;
    pane.Text3 = "1";
    pane.Combo1 = 2;
    host.answer(Answer::Ok, "The compressed file was not split because the size of the compressed "
                            "file is less than the desired size of the split file.");
    EXPECT_TRUE(split().succeeded);
    const std::string piece = test::readFile(out("source.bin.zip.001"));
    ASSERT_GT(piece.size(), 12u);
    const PieceHeader header =
        decodePieceHeader(reinterpret_cast<const unsigned char*>(piece.data()));
    EXPECT_TRUE(header.isCompressed());
    EXPECT_EQ(header.count, 1);
    EXPECT_EQ(header.number, 1);
    EXPECT_FALSE(std::filesystem::exists(out("source.bin.zip")));
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].first, out("source.bin.zip.001"));
    EXPECT_EQ(label.captions.back(), "Completed compressing and splitting.");
}

TEST_F(SplitRequestTest, CompressionNeverReplacesAFileTheUserHas)
{
    test::writeFile(temp.file("source.bin"), test::patternBytes(100'000));
    test::writeFile(out("source.bin.zip"), "my own archive");
    pane.Check1 = true;
    pane.Text3 = "10";
    pane.Combo1 = 1;
    host.answer(Answer::Ok, "source.bin.zip already exists.");
    const CommandOutcome outcome = split();
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(test::readFile(out("source.bin.zip")), "my own archive");
    EXPECT_FALSE(std::filesystem::exists(out("source.bin.zip.001")));
    EXPECT_TRUE(recent.added.empty());
}

TEST_F(SplitRequestTest, DeletingTheSourceIsOfferedAndAnsweredBothWays)
{
    test::writeFile(temp.file("source.bin"), test::patternBytes(3000));
    pane.Text3 = "1";
    pane.Combo1 = 1;
    pane.chkDelOrgSplit = true;
    host.answer(Answer::Ok, "split into 3 files.");
    host.answer(Answer::No, "The file: " + temp.file("source.bin")
                                + " has been split successfully.\rDo you wish to delete it?");
    EXPECT_TRUE(split().succeeded);
    EXPECT_TRUE(std::filesystem::exists(temp.file("source.bin")));

    host.answer(Answer::Ok, "split into 3 files.");
    host.answer(Answer::Yes, "Do you wish to delete it?");
    EXPECT_TRUE(split().succeeded);
    EXPECT_FALSE(std::filesystem::exists(temp.file("source.bin")));
    EXPECT_TRUE(host.allAnswersUsed());
}

TEST_F(SplitRequestTest, FailedSplitShowsTheEngineMessageAndClearAllResetsThePane)
{
    test::writeFile(temp.file("source.bin"), "tiny");
    pane.Text3 = "1";
    pane.Combo1 = 1;
    host.answer(Answer::Ok, "The file you want to split is smaller than the size you specified!");
    EXPECT_FALSE(split().succeeded);
    EXPECT_EQ(bar.values.back(), 0);

    pane.chkDelOrgSplit = true;
    pane.Text2 = "4";
    pane.Option3 = true;
    cmdSpCancel_Click(pane, services.pane);
    EXPECT_TRUE(pane.Text1.empty() && pane.Text2.empty() && pane.Text3.empty()
                && pane.Text4.empty());
    EXPECT_TRUE(pane.Option1);
    EXPECT_FALSE(pane.Option3);
    EXPECT_EQ(pane.Combo1, 2);
    EXPECT_EQ(pane.Combo2, 0);
    EXPECT_TRUE(pane.Check1);
    EXPECT_TRUE(pane.chkDelOrgSplit); // an option of the Options pane, not of this pane
    EXPECT_FALSE(bar.visible);
    EXPECT_EQ(label.captions.back(), "");
    EXPECT_TRUE(list.rows.empty());
}
