// Afterwards the destination holds what it held before (or the complete result).
#include "format/split_set.h"
#include "join/mod_join_file.h"
#include "platform/file_system.h"

#include "fault_host.h"
#include "set_writer.h"
#include "split_run.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using namespace parcelo;
using test::Answers;
using test::Fault;
namespace fs = std::filesystem;

namespace {

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

const std::string kSure = "Are you sure you want to cancel the process?";

// A disk said to have room enough, which the injected faults fill up: a job fails with
// what it still had to write.
struct FullDisk {
    FullDisk()
    {
        setFileSystemQuery([](const fs::path&) {
            return std::optional<FileSystemFacts>({"/media/usb", "", std::uint64_t{1} << 40, 0});
        });
    }
    ~FullDisk() { setFileSystemQuery(nullptr); }
    static std::string text(const std::string& more)
    {
        return "There is not enough space on /media/usb: " + more + " more are needed.";
    }
};

} // namespace

// The diskette's own disk-full questions and cancels are split_diskette_test's.
TEST(SafeWrites, SplitLeavesTheDestinationAsItWas)
{
    // A full disk fails the split, unasked, with the room it still needed.
    const FullDisk disk;
    const struct {
        const char* name;
        std::string unit;
        Fault fault;
        int status;
        std::string message; // "" for the piece's write error
    } cases[] = {
        // a disk full after 500 bytes counts every piece's bytes, whichever worker wrote
        // them; the write error is the second piece's
        {"disk full", "BT", {500}, 61, FullDisk::text("548 bytes")},
        {"write error", "BT", {.failAfter = 100, .osError = EIO, .pathPart = ".002"}, 57, ""},
        {"stopped", "BT", {0, 0, 3}, -1, "Splitting of the files was cancelled."},
        {"lines, disk full", "LN", {500}, 61, FullDisk::text("500 bytes")},
        {"lines, write error", "LN", {500, EIO}, 57, ""},
        {"lines, stopped", "LN", {0, 0, 2}, -1, "Splitting of the files was cancelled."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool lines = c.unit == "LN";
        test::SplitRun run(lines ? test::hundredLines() : test::patternBytes(1000),
                           lines ? 30 : 300, c.unit);
        test::writeFile(run.out + "data.bin.001", "a piece the user had");
        test::writeFile(run.out + "keep.txt", "unrelated");
        const auto before = test::snapshot(run.out);
        run.engine.SetCompanions({false, false});
        run.host.cause(c.fault);
        EXPECT_EQ(run.engine.StartSplit(), c.status);
        EXPECT_EQ(run.engine.Message(),
                  c.message.empty() ? "Device I/O error: " + run.piecePath(2) : c.message);
        EXPECT_TRUE(run.host.allAnswersUsed());
        EXPECT_EQ(test::snapshot(run.out), before);
        EXPECT_EQ(test::readFile(run.temp.file("data.bin")), run.content);
    }
}

// A failed join also closes every file it opened, whether or not it is finished.
TEST(SafeWrites, JoinKeepsAFileOfTheJoinedNameUnlessTheJoinCompletes)
{
    const std::string content = test::patternBytes(1000);
    test::TempFolder in, out;
    test::DisketteFolder drive(in.path());
    const std::string joined = out.file("data.bin"), piece3 = in.file("data.bin.003");
    const std::string noSet = "File " + piece3
                              + " is not a valid split file. This file was "
                                "not split by Parcelo application.";
    const std::string largerSet = "The file " + piece3 + " is not a valid file of the set.";
    const std::string diskCancel =
        "Split files could not be located or process was cancelled by user.";
    const FullDisk disk;
    const struct {
        const char* name;
        Fault fault;
        std::optional<PieceHeader> thirdPiece; // written over the set's third piece
        int flag;
        std::string message;
        bool diskette = false; // the second disk is asked for and the prompt cancelled
        bool replace = true;   // the user agreed to replace the file of the joined name
    } cases[] = {
        {"disk full", {500}, {}, 61, FullDisk::text("500 bytes")},
        {"write error", {500, EIO}, {}, 57, "Device I/O error: " + joined},
        {"stopped", {0, 0, 3}, {}, -1, "Process cancelled by the user."},
        {"piece of no set", {}, PieceHeader{0x12345678, 4, 3}, 1, noSet},
        {"piece of a larger set", {}, PieceHeader{PieceSignaturePlain, 5, 3}, 1, largerSet},
        {"diskette prompt cancelled", {}, {}, 1, diskCancel, true},
        {"not agreed to replace", {}, {}, 58, "File already exists: " + joined, false, false},
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
        auto expected = test::snapshot(out.path());
        if (c.flag == 0)
            expected["data.bin"] = content;

        test::FaultHost host;
        host.cause(c.fault).acceptNotices();
        if (c.diskette)
            host.say({{Question::InsertDisk, Answer::Cancel, "Please insert disk #2"},
                      {Question::ConfirmCancel, Answer::Yes, kSure}});
        modJoinFile engine(host);
        engine.SetReplaceJoinedFile(c.replace);
        engine.SetSourceFile(c.diskette ? "a:/data.bin.001" : pieces[1]);
        engine.SetDestinationFolder(out.folder());
        engine.LocateSplitFiles();
        engine.JoinSplitFiles();
        EXPECT_EQ(engine.ErrorFlag(), c.flag);
        EXPECT_EQ(engine.ErrorMessage(), c.message);
        EXPECT_TRUE(host.allAnswersUsed());
        EXPECT_EQ(test::snapshot(out.path()), expected);
        EXPECT_EQ(openIn(in.path()) + openIn(out.path()), 0u);
        engine.FinishJoin();
    }
}

TEST(SafeWrites, AFailedCompanionLeavesAnOlderSetOfTheNameAsItWas)
{
    // the pieces take 1048 bytes: the faults hit the recovery piece, then the checksum file
    for (const std::uint64_t failAfter : {1100u, 1600u}) {
        SCOPED_TRACE(failAfter);
        test::SplitRun run(test::patternBytes(1000, 2), 300, "BT");
        run.engine.SetCompanions({true, true, 1, false});
        ASSERT_EQ(run.engine.StartSplit(), 0); // the older set, then the source edited
        test::writeFile(run.engine.SourceFile(), test::patternBytes(1000, 3));
        const auto before = test::snapshot(run.out);
        run.host.cause({failAfter, EIO});
        EXPECT_EQ(run.engine.StartSplit(), 57);
        EXPECT_EQ(test::snapshot(run.out), before);
    }
}
