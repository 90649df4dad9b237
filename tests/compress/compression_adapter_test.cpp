#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"

#include "archive_helpers.h"
#include "fake_bindings.h"
#include "scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace parcelo;
using namespace parcelo::test;
namespace fs = std::filesystem;
using Values = std::vector<int>;

namespace {

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

TEST(CompressionAdapter, NamesTheCompressedAndDecompressedFiles)
{
    EXPECT_EQ(CompressedFileName("/data/big.iso", "/out/", "", "/app"), "/out/big.iso.zip");
    EXPECT_EQ(CompressedFileName("/data/big.iso", "/out/", "Yes", "/app"), "/app/Temp/big.iso.zip");
    EXPECT_EQ(DecompressedFileName("/out/big.iso.zip"), "/out/big.iso");
    EXPECT_EQ(DecompressedFileName("/zips.zip/big.iso.zip"), "/zips.zip/big.iso");
    EXPECT_EQ(DecompressedFileName("/out/a.zipped"), "/out/a");

    // Without a lower-case ".zip" nothing is done and the window is not touched.
    Window w;
    ZlibTool tool;
    CompressionAdapter adapter(w.host, tool, w.split, w.join, "/app");
    EXPECT_EQ(adapter.DecompressFile("/out/BIG.ISO.ZIP"), 0);
    EXPECT_TRUE(w.label8.captions.empty() && w.progressBar2.values.empty());
    EXPECT_TRUE(w.host.busyChanges.empty());
}

TEST(CompressionAdapter, PassesTheLevelAndMovesTheBarOnlyAtTheFourMarks)
{
    Window w;
    w.progressBar1.max = 10;
    NotifyingTool tool;
    CompressionAdapter adapter(w.host, tool, w.split, w.join, "/app");
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
    EXPECT_EQ(w.progressBar1.values, (Values{0, 2, 6, 10}));
    EXPECT_EQ(w.host.eventsProcessed, 2);

    // Decompression moves the join pane's bar.
    tool.percentages = {40, 80};
    EXPECT_EQ(adapter.DecompressFile("/out/big.iso.zip"), 1);
    EXPECT_EQ(w.progressBar2.values, (Values{0, 40, 80, 100}));
    EXPECT_EQ(w.label8.captions.back(), "Decompressing /out/big.iso.zip...");
    EXPECT_EQ(w.progressBar1.values.size(), 4u);
    EXPECT_TRUE(w.progressBar1.visible && w.progressBar2.visible);

    // Outside an operation a notification does nothing.
    EXPECT_EQ(adapter.CompressOperation(), "");
    adapter.ProgressNotify(40);
    EXPECT_EQ(w.host.eventsProcessed, 4);
    EXPECT_EQ(w.host.busyChanges.size(), 12u);
}

TEST(CompressionAdapter, CompressesToTempAndRestoresBesideTheJoinedFile)
{
    TempFolder temp;
    fs::create_directories(temp.file("app/Temp"));
    fs::create_directory(temp.file("joined"));
    const std::string content = mixedContent(1'500'000);
    writeFile(temp.file("big.iso"), content);
    Window w;
    ZlibTool tool;
    CompressionAdapter adapter(w.host, tool, w.split, w.join, temp.file("app"),
                               CompressionLevelOption::HighestSpeed);
    adapter.SetTempCompressedFile("Yes");
    ASSERT_EQ(adapter.CompressFile(temp.file("big.iso")), 1);
    const auto zipped = temp.file("app/Temp/big.iso.zip");
    EXPECT_EQ(adapter.CompressedFileFor(temp.file("big.iso")), zipped);
    EXPECT_EQ(w.progressBar1.values, (Values{0, 20, 40, 60, 80, 100}));

    const auto joined = temp.file("joined/big.iso.zip");
    fs::copy_file(zipped, joined);
    ASSERT_EQ(adapter.DecompressFile(joined), 1);
    EXPECT_EQ(readFile(temp.file("joined/big.iso")), content);
    EXPECT_TRUE(fs::exists(joined)); // the join command deletes it
    EXPECT_EQ(w.progressBar2.values, (Values{0, 20, 40, 60, 80, 100}));

    // A truncated archive, and one with a single altered data byte, leave no target.
    const auto restored = temp.file("joined/big.iso");
    fs::remove(restored);
    fs::resize_file(joined, fs::file_size(joined) - 40);
    EXPECT_EQ(adapter.DecompressFile(joined), 0);
    EXPECT_FALSE(fs::exists(restored));
    fs::copy_file(zipped, joined, fs::copy_options::overwrite_existing);
    const auto data = firstEntryDataOffset(joined);
    alterByte(joined, data + (fs::file_size(joined) - data) / 2);
    EXPECT_EQ(adapter.DecompressFile(joined), 0);
    EXPECT_FALSE(fs::exists(restored));

    // A failure gives the pointer back and ends the operation.
    EXPECT_EQ(w.host.busyChanges,
              (std::vector<bool>{true, false, true, false, true, false, true, false}));
    EXPECT_EQ(adapter.CompressOperation(), "");
    EXPECT_TRUE(w.host.shown.empty());
}
