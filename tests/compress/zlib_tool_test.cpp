#include "compress/zlib_tool.h"
#include "platform/file.h"

#include "archive_helpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <vector>

using namespace parcelo;
using namespace parcelo::test;
namespace fs = std::filesystem;

namespace {

int runErrorOf(ZlibTool& tool, void (ZlibTool::*operation)())
{
    try {
        (tool.*operation)();
    } catch (const RunError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(ZlibTool, WritesAStandardOneEntryArchiveAtEachLevel)
{
    TempFolder temp;
    const std::string content = mixedContent(700'000);
    const auto source = temp.file("report v2.pdf");
    writeFile(source, content);
    std::vector<std::int16_t> every;
    for (std::int16_t p = 1; p <= 100; ++p)
        every.push_back(p);
    // The effort recorded in the flags: fast, normal, maximum.
    for (auto [level, flags] : {std::pair{2, 4u}, {7, 0u}, {9, 2u}}) {
        SCOPED_TRACE(level);
        const auto archive = temp.file("out.zip");
        ZlibTool tool;
        std::vector<std::int16_t> notified;
        tool.SetProgressNotify([&](std::int16_t p) { notified.push_back(p); });
        tool.SetSourceFileName(source);
        tool.SetTargetFileName(archive);
        tool.SetCompressionLevel(level);
        tool.DoCompress();
        EXPECT_EQ(shell("unzip -t " + quoted(archive)), 0);
        EXPECT_EQ(shellOutput("unzip -Z1 " + quoted(archive)), "report v2.pdf\n");
        EXPECT_EQ(shellOutput("unzip -p " + quoted(archive)), content);
        EXPECT_EQ(headerField(archive, 6) & 6, flags);
        EXPECT_EQ(notified, every);
    }
}

TEST(ZlibTool, RestoresArchivesOfZipAndRejectsDamagedOnes)
{
    TempFolder temp;
    const std::string content = mixedContent(300'000);
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
    // Stored data carries no check of its own: only the CRC catches a changed byte.
    fs::remove(target);
    alterByte(temp.file("-0.zip"), firstEntryDataOffset(temp.file("-0.zip")) + 1000);
    EXPECT_EQ(runErrorOf(tool, &ZlibTool::DoDecompress), kZlibToolErrorNumber);
    EXPECT_FALSE(fs::exists(target));
    tool.SetSourceFileName(source); // not an archive
    EXPECT_EQ(runErrorOf(tool, &ZlibTool::DoDecompress), kZlibToolErrorNumber);
    EXPECT_FALSE(fs::exists(target));
}

TEST(ZlibTool, FailuresLeaveNoTargetAndKeepAnOldArchive)
{
    TempFolder temp;
    const auto source = temp.file("big.iso");
    writeFile(source, mixedContent(2'000'000));
    ZlibTool tool;
    tool.SetSourceFileName(source);
    tool.SetTargetFileName(temp.file("no folder/big.iso.zip"));
    EXPECT_EQ(runErrorOf(tool, &ZlibTool::DoCompress), err::PathNotFound);

    // Decompressing onto a full disk.
    tool.SetTargetFileName(temp.file("big.iso.zip"));
    tool.DoCompress();
    tool.SetSourceFileName(temp.file("big.iso.zip"));
    tool.SetTargetFileName(temp.file("restored"));
    faults::failWritesAfter(300'000, ENOSPC);
    EXPECT_EQ(runErrorOf(tool, &ZlibTool::DoDecompress), err::DiskFull);
    faults::clearWriteFault();
    EXPECT_FALSE(fs::exists(temp.file("restored")));

    // The source shrinks while it is read: the old archive stays as it was and no
    // temporary file is left beside it.
    writeFile(temp.file("big.iso.zip"), "old archive");
    tool.SetSourceFileName(source);
    tool.SetTargetFileName(temp.file("big.iso.zip"));
    tool.SetProgressNotify([&](std::int16_t percent) {
        if (percent == 20)
            fs::resize_file(source, 100'000);
    });
    EXPECT_EQ(runErrorOf(tool, &ZlibTool::DoCompress), err::InputPastEndOfFile);
    EXPECT_EQ(readFile(temp.file("big.iso.zip")), "old archive");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 2);
}
