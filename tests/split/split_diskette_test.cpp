#include "split_run.h"

#include "fake_bindings.h"
#include "platform/diskette.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <memory>

using namespace parcelo;
using test::SplitRun;

namespace {

// A diskette drive in a folder whose free space follows a script, one figure per look.
class ScriptedDrive : public FolderDisketteDrive {
public:
    using FolderDisketteDrive::FolderDisketteDrive;
    std::uint64_t freeSpace() const override
    {
        if (!script.empty()) {
            last = script.front();
            script.pop_front();
        }
        return last;
    }
    mutable std::deque<std::uint64_t> script;
    mutable std::uint64_t last = kDisketteCapacity;
};

struct DisketteRun : SplitRun {
    DisketteRun(std::string bytes, double size, const std::string& unit)
        : SplitRun(std::move(bytes), size, unit),
          drive(std::make_shared<ScriptedDrive>(temp.path() / "floppy"))
    {
        std::filesystem::create_directory(drive->mountPoint());
        setDisketteDrive(drive);
        engine.SetDestFolder("a:/");
    }
    ~DisketteRun() { setDisketteDrive(nullptr); }

    std::shared_ptr<ScriptedDrive> drive;
};

} // namespace

TEST(SplitToDiskettes, AsksForEachDiskAndChecksItsFreeSpace)
{
    DisketteRun run(test::patternBytes(3000), 1000, "BT");
    run.drive->script = {1000, 999, 1000, 5000}; // exactly enough, one byte short, ...
    run.host
        .answer(Question::DisketteCount, Answer::Yes,
                "you need 3 1.44MB diskettes with at least 1000 bytes of free space.")
        .answer(Question::InsertDisk, Answer::Ok,
                "Please insert disk #1 in drive A: and click OK to continue.")
        .answer(Question::InsertDisk, Answer::Ok, "Please insert disk #2 in drive A:")
        .answer(Question::DiskFull, Answer::Ok,
                "You need a disk with at least 1000 bytes of free space.")
        .answer(Question::InsertDisk, Answer::Ok, "Please insert disk #2 in drive A:")
        .answer(Question::InsertDisk, Answer::Cancel, "Please insert disk #3 in drive A:")
        .answer(Question::ConfirmCancel, Answer::No, "Are you sure you want to cancel the process?")
        .answer(Question::InsertDisk, Answer::Ok, "Please insert disk #3 in drive A:");
    EXPECT_EQ(run.engine.StartSplit(), 0) << run.engine.Message();
    EXPECT_TRUE(run.host.allAnswersUsed());
    EXPECT_EQ(run.pieces().size(), 3u);

    // line pieces ask for no free space
    DisketteRun lines("abcd\r\nabcd\r\nabcd\r\nabcd\r\n", 2, "LN");
    lines.drive->script = {0};
    lines.host
        .answer(Question::DisketteCount, Answer::Yes,
                "you need 2 1.44MB diskettes.\rDo you want to continue?")
        .answer(Question::InsertDisk, Answer::Ok, "disk #1")
        .answer(Question::InsertDisk, Answer::Ok, "disk #2");
    EXPECT_EQ(lines.engine.StartSplit(), 0) << lines.engine.Message();
    EXPECT_EQ(lines.pieces().size(), 2u);
}

// A disk already written keeps its complete piece, in place of a file of that name.
TEST(SplitToDiskettes, CancellingKeepsWrittenDisksAndDropsTheTemporaryFile)
{
    DisketteRun run(test::patternBytes(3000), 1000, "BT");
    run.engine.markTempCompressedFile(true);
    test::writeFile(run.drive->mountPoint() / "data.bin.001", "a piece the user had");
    test::writeFile(run.drive->mountPoint() / "keep.txt", "unrelated");
    run.host.answer(Question::DisketteCount, Answer::Yes, "you need 3")
        .answer(Question::InsertDisk, Answer::Ok, "disk #1")
        .answer(Question::InsertDisk, Answer::Cancel, "disk #2")
        .answer(Question::ConfirmCancel, Answer::Yes, "cancel the process");
    EXPECT_EQ(run.engine.StartSplit(), -1);
    EXPECT_EQ(run.engine.Message(), "Splitting of the files was cancelled.");
    EXPECT_FALSE(std::filesystem::exists(run.engine.SourceFile()));
    EXPECT_EQ(test::filesIn(run.drive->mountPoint()), 2u);
    ASSERT_EQ(run.pieces().size(), 1u);
    EXPECT_EQ(run.pieces()[0].substr(kPieceHeaderSize), run.content.substr(0, 1000));
}

TEST(SplitToDiskettes, Refusals)
{
    DisketteRun declined(test::patternBytes(1500000), 1.38, "MB");
    test::FakeProgressBar bar;
    declined.engine.SetProgressBar(&bar);
    declined.host.answer(Question::DisketteCount, Answer::No,
                         "you need 2 1.44MB diskettes with at least 1447034.88 bytes");
    EXPECT_EQ(declined.engine.StartSplit(), -1);
    EXPECT_EQ(bar.values, std::vector<int>{0});
    EXPECT_TRUE(std::filesystem::is_empty(declined.drive->mountPoint()));

    DisketteRun fits(test::patternBytes(10), kDisketteCapacity, "BT");
    fits.engine.SetSplitByPieces(true);
    fits.host.answer(Question::DisketteCount, Answer::No,
                     "you need 1 1.44MB diskettes with at least 1457664 bytes");
    EXPECT_EQ(fits.engine.StartSplit(), -1);
    DisketteRun over(test::patternBytes(10), kDisketteCapacity + 1, "BT");
    over.engine.SetSplitByPieces(true);
    EXPECT_EQ(over.engine.StartSplit(), -1);
    EXPECT_EQ(over.engine.Message(),
              "The split file size you specified is greater than the diskette storage size!");
}

// Nothing touches the drive before the questions ask for the disk: an empty drive is met
// only once the first disk is asked for.
TEST(SplitToDiskettes, AnEmptyDriveIsMetAfterTheQuestions)
{
    const struct {
        std::string bytes;
        double size;
        const char* unit;
        const char* question;
    } cases[] = {
        {test::patternBytes(3000), 1000, "BT", "you need 3 1.44MB diskettes with at least 1000"},
        {"abcd\r\nabcd\r\nabcd\r\nabcd\r\n", 2, "LN", "you need 2 1.44MB diskettes."},
    };
    for (const auto& c : cases) {
        DisketteRun empty(c.bytes, c.size, c.unit);
        empty.drive->setMediumPresent(false);
        empty.host.answer(Question::DisketteCount, Answer::Yes, c.question)
            .answer(Question::InsertDisk, Answer::Ok, "Please insert disk #1 in drive A:");
        EXPECT_EQ(empty.engine.StartSplit(), 52) << c.unit;
        EXPECT_EQ(empty.engine.Message(), "Bad file name or number");
        EXPECT_TRUE(empty.host.allAnswersUsed()) << c.unit;
    }
}

// The checksum file and join scripts that do not fit on the last disk go onto one more
// disk, asked for as the pieces' disks are; without it they are left out with a notice.
// Either way the split succeeds: every piece is on its disk.
TEST(SplitToDiskettes, CompanionsThatDoNotFitAskForOneMoreDiskAndNeverFailTheSplit)
{
    const char* const companions[] = {"data.bin.sha256", "data.bin.join.sh", "data.bin.join.cmd"};
    for (const Answer extraDisk : {Answer::Ok, Answer::Cancel}) {
        DisketteRun run(test::patternBytes(3000), 1000, "BT");
        run.host.onShown = [](const test::ShownMessage& shown) {
            if (shown.text.find("disk #3") != std::string::npos) // room for the piece alone
                faults::failWritesAfter(kPieceHeaderSize + 1000, ENOSPC);
            else if (shown.text.find("disk #4") != std::string::npos)
                faults::clearWriteFault();
        };
        run.host.answer(Question::DisketteCount, Answer::Yes, "you need 3")
            .answer(Question::InsertDisk, Answer::Ok, "disk #1")
            .answer(Question::InsertDisk, Answer::Ok, "disk #2")
            .answer(Question::InsertDisk, Answer::Ok, "disk #3")
            .answer(Question::InsertDisk, extraDisk,
                    "Please insert disk #4 in drive A: and click OK to continue.");
        if (extraDisk == Answer::Cancel)
            run.host.answer(Question::Notice, Answer::Ok,
                            "The checksum file and join scripts of data.bin were not written: no "
                            "disk took them. Every piece is on its disk.");
        EXPECT_EQ(run.engine.StartSplit(), 0) << run.engine.Message();
        EXPECT_TRUE(run.host.allAnswersUsed());
        EXPECT_EQ(run.pieces().size(), 3u);
        for (const char* name : companions)
            EXPECT_EQ(std::filesystem::exists(run.drive->mountPoint() / name),
                      extraDisk == Answer::Ok)
                << name;
    }
}
