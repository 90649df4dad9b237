// Afterwards the destination holds what it held before (or the complete result).
#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "format/split_set.h"
#include "join/mod_join_file.h"
#include "platform/diskette.h"
#include "platform/recent_files.h"
#include "split/split_request.h"

#include "fake_bindings.h"
#include "fault_host.h"
#include "set_writer.h"
#include "split_run.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>

using namespace parcelo;
using test::Answers;
using test::Fault;
namespace fs = std::filesystem;

namespace {

using Snapshot = std::map<std::string, std::string>; // each file's name and bytes

Snapshot snapshot(const fs::path& folder)
{
    Snapshot files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = test::readFile(entry.path().string());
    return files;
}

// How many files in the folder this process holds open.
std::size_t openIn(const fs::path& folder)
{
    std::size_t open = 0;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        open += fs::read_symlink(fd.path(), ec).string().starts_with(folder.string());
    }
    return open;
}

const std::string kDiskFull = "There is not enough space on the disk.";
const std::string kSure = "Are you sure you want to cancel the process?";

// A diskette drive in a folder, with room for every piece.
struct FolderDrive {
    explicit FolderDrive(const fs::path& folder)
    {
        fs::create_directory(folder);
        setDisketteDrive(std::make_shared<FolderDisketteDrive>(folder));
    }
    ~FolderDrive() { setDisketteDrive(nullptr); }
};

} // namespace

// The diskette's own cancels are split_diskette_test's.
TEST(SafeWrites, SplitLeavesTheDestinationAsItWas)
{
    // OK asks again while the disk stays full; No to the cancel question, too
    const Answers diskFull = {{Question::DiskFull, Answer::Ok, kDiskFull + "\rPlease insert"},
                              {Question::DiskFull, Answer::Cancel, kDiskFull},
                              {Question::ConfirmCancel, Answer::No, kSure},
                              {Question::DiskFull, Answer::Cancel, kDiskFull},
                              {Question::ConfirmCancel, Answer::Yes, kSure}};
    const struct {
        const char* name;
        std::string unit;
        Fault fault;
        Answers answers;
    } cases[] = {
        // a fault after 500 bytes hits the second piece in both modes
        {"disk full, cancelled", "BT", {500}, diskFull},
        {"write error", "BT", {500, EIO}, {}},
        {"stopped", "BT", {0, 0, 3}, {}},
        {"lines, disk full", "LN", {500}, diskFull},
        {"lines, write error", "LN", {500, EIO}, {}},
        {"lines, stopped", "LN", {0, 0, 2}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool lines = c.unit == "LN";
        test::SplitRun run(lines ? test::hundredLines() : test::patternBytes(1000),
                           lines ? 30 : 300, c.unit);
        test::writeFile(run.out + "data.bin.001", "a piece the user had");
        test::writeFile(run.out + "keep.txt", "unrelated");
        const Snapshot before = snapshot(run.out);
        run.host.cause(c.fault).say(c.answers);
        const bool broken = c.fault.osError == EIO;
        EXPECT_EQ(run.engine.StartSplit(), broken ? 57 : -1);
        EXPECT_EQ(run.engine.Message(), broken ? "Device I/O error: " + run.piecePath(2)
                                               : "Splitting of the files was cancelled.");
        EXPECT_TRUE(run.host.allAnswersUsed());
        EXPECT_EQ(snapshot(run.out), before);
        EXPECT_EQ(test::readFile(run.temp.file("data.bin")), run.content);
    }
}

// A failed join also closes every file it opened, whether or not it is finished.
TEST(SafeWrites, JoinKeepsAFileOfTheJoinedNameUnlessTheJoinCompletes)
{
    const std::string content = test::patternBytes(1000);
    test::TempFolder in, out;
    FolderDrive drive(in.path());
    const std::string joined = out.file("data.bin"), piece3 = in.file("data.bin.003");
    const std::string noSet = "File " + piece3
                              + " is not a valid split file. This file was "
                                "not split by Parcelo application.";
    const std::string largerSet = "The file " + piece3 + " is not a valid file of the set.";
    const std::string diskCancel =
        "Split files could not be located or process was cancelled by user.";
    const struct {
        const char* name;
        Fault fault;
        std::optional<PieceHeader> thirdPiece; // written over the set's third piece
        int flag;
        std::string message;
        bool diskette = false; // the second disk is asked for and the prompt cancelled
    } cases[] = {
        {"disk full", {500}, {}, 61, "Disk full: " + joined},
        {"write error", {500, EIO}, {}, 57, "Device I/O error: " + joined},
        {"stopped", {0, 0, 3}, {}, -1, "Process cancelled by the user."},
        {"piece of no set", {}, PieceHeader{0x12345678, 4, 3}, 1, noSet},
        {"piece of a larger set", {}, PieceHeader{PieceSignaturePlain, 5, 3}, 1, largerSet},
        {"diskette prompt cancelled", {}, {}, 1, diskCancel, true},
        {"complete", {}, {}, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pieces = test::writeByteSet(in.file("data.bin"), content, 300);
        if (c.diskette)
            fs::remove(pieces[1]);
        if (const auto h = c.thirdPiece)
            test::writeBytePiece(piece3, h->signature, h->count, h->number, std::string(300, 'x'));
        test::writeFile(joined, "the user's own file");
        test::writeFile(out.file("keep.txt"), "unrelated");
        Snapshot expected = snapshot(out.path());
        if (c.flag == 0)
            expected["data.bin"] = content;

        test::FaultHost host;
        host.cause(c.fault).acceptNotices();
        if (c.diskette)
            host.say({{Question::InsertDisk, Answer::Cancel, "Please insert disk #2"},
                      {Question::ConfirmCancel, Answer::Yes, kSure}});
        modJoinFile engine(host);
        engine.SetSourceFile(c.diskette ? "a:/data.bin.001" : pieces[1]);
        engine.SetDestinationFolder(out.folder());
        engine.LocateSplitFiles();
        engine.JoinSplitFiles();
        EXPECT_EQ(engine.ErrorFlag(), c.flag);
        EXPECT_EQ(engine.ErrorMessage(), c.message);
        EXPECT_TRUE(host.allAnswersUsed());
        EXPECT_EQ(snapshot(out.path()), expected);
        EXPECT_EQ(openIn(in.path()) + openIn(out.path()), 0u);
        engine.FinishJoin();
    }
}

TEST(SafeWrites, CompressedSplitRemovesItsCompressedFileAndNeverTheSource)
{
    const std::string content = test::patternBytes(200'000);
    // Random bytes are stored: the compressed file is a little over 200,000 bytes.
    const std::uint64_t zipped = 200'500;
    const Answers cancelAtDiskFull = {{Question::DiskFull, Answer::Cancel, kDiskFull},
                                      {Question::ConfirmCancel, Answer::Yes, kSure}};
    const Answers declined = {{Question::DisketteCount, Answer::No, "diskettes"}};
    const struct {
        const char* name;
        Fault fault;
        Answers answers;
        std::string size; // in bytes
        bool diskette = false;
    } cases[] = {
        {"disk full while compressing", {100}, cancelAtDiskFull, "1000"},
        {"write error in the pieces", {zipped + 500, EIO}, {}, "1000"},
        {"write error in the one piece", {zipped + 500, EIO}, {}, "1000000"},
        {"stopped while compressing", {0, 0, 1}, {}, "1000"},
        {"compression failed, no diskettes", {100, ENOSPC, 0, true}, declined, "1000", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder temp;
        test::writeFile(temp.file("source.bin"), content);
        fs::create_directory(temp.file("Temp"));
        FolderDrive drive(temp.path() / "floppy");
        const fs::path out = temp.path() / (c.diskette ? "floppy" : "out");
        fs::create_directories(out);
        test::writeFile((out / "keep.txt").string(), "unrelated");
        const Snapshot before = snapshot(out);

        const auto request = [&](Host& host) {
            test::FakeProgressBar bar;
            test::RecordedRecentFiles recent;
            ExploreMenu explore;
            ZlibTool tool;
            modSplitFile engine(host);
            CompressionAdapter compressor(host, tool, {&bar, nullptr, nullptr}, {},
                                          temp.file("Temp"));
            SplitServices services{host,   engine,  compressor,
                                   recent, explore, {&bar, nullptr, nullptr}};
            SplitPaneValues pane;
            pane.Text1 = temp.file("source.bin");
            pane.Text4 = c.diskette ? "a:/" : out.string();
            pane.Text3 = c.size;
            pane.Combo1 = 0;
            return cmdSpSplit_Click(pane, services).succeeded;
        };
        {
            test::FaultHost host;
            host.cause(c.fault).say(c.answers).acceptNotices();
            EXPECT_FALSE(request(host));
            EXPECT_TRUE(host.allAnswersUsed());
        }
        EXPECT_EQ(snapshot(out), before);
        EXPECT_TRUE(fs::is_empty(temp.file("Temp")));
        EXPECT_EQ(test::readFile(temp.file("source.bin")), content);
        if (!c.diskette) {
            test::ScriptedHost retry; // not refused for a compressed file it left
            retry.acceptNotices();
            EXPECT_TRUE(request(retry));
        }
    }
}
