#include "split_run.h"

#include "fake_bindings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>

using namespace parcelo;
using test::SplitRun;

TEST(SplitBySize, PiecesHoldAHeaderAndConsecutiveSlicesOfTheFile)
{
    const struct {
        std::size_t length;
        double size;
        const char* unit;
        bool byPieces;
        std::vector<std::size_t> sizes;
    } cases[] = {
        {1000, 300, "BT", false, {300, 300, 300, 100}},
        {10000, 3000, "BT", false, {3000, 3000, 3000, 1000}},
        {3000, 3000, "BT", false, {3000}},
        {3001, 3000, "BT", false, {3000, 1}},
        {3000000, 1.38, "MB", false, {1447035, 1447035, 105930}},
        {1000, 1024, "BT", true, {1000}}, // by pieces a file smaller than a piece still splits
    };
    bool compressed = false;
    for (const auto& c : cases) {
        SplitRun run(test::patternBytes(c.length), c.size, c.unit);
        run.engine.markCompressed(compressed = !compressed);
        run.engine.SetSplitByPieces(c.byPieces);
        test::writeFile(run.piecePath(1), std::string(5000, 'x')); // replaced, not appended to
        EXPECT_EQ(run.engine.StartSplit(), 0) << run.engine.Message();
        std::string data; // the data parts, each header checked on the way
        std::vector<std::size_t> sizes;
        for (const std::string& piece : run.pieces()) {
            const auto header =
                decodePieceHeader(reinterpret_cast<const unsigned char*>(&piece[0]));
            EXPECT_EQ(header.signature,
                      compressed ? PieceSignatureCompressed : PieceSignaturePlain);
            EXPECT_EQ(header.count, static_cast<int>(c.sizes.size()));
            EXPECT_EQ(header.number, static_cast<int>(sizes.size()) + 1);
            data += piece.substr(kPieceHeaderSize);
            sizes.push_back(piece.size() - kPieceHeaderSize);
        }
        EXPECT_EQ(data, run.content);
        EXPECT_EQ(sizes, c.sizes);
        EXPECT_EQ(test::filesIn(run.out), c.sizes.size() + 3); // + checksum file, join scripts
    }
}

TEST(SplitBySize, RefusalsWriteNothing)
{
    const struct {
        std::size_t length;
        double size;
        const char* unit;
        bool byPieces;
        int status;
        const char* message;
    } cases[] = {
        {1000, 1024, "BT", false, -1,
         "The file you want to split is smaller than the size you specified!"},
        {0, 0, "BT", true, -1, "Specify file size for the file to be splitted."},
        {40000, 1, "BT", true, 6,
         "A set can have at most 32767 pieces; this split would make 40000"},
        {1000, 0.4, "BT", true, 11, "Division by zero"}, // a piece of 0 bytes
        {0, 4, "LN", false, 62, "Input past end of file"},
    };
    for (const auto& c : cases) {
        SplitRun run(test::patternBytes(c.length), c.size, c.unit);
        run.engine.SetSplitByPieces(c.byPieces);
        EXPECT_EQ(run.engine.StartSplit(), c.status);
        EXPECT_EQ(run.engine.Message(), c.message);
        EXPECT_EQ(test::filesIn(run.out), 0u);
    }
    SplitRun gone("", 1, "BT");
    gone.host.answer(Question::Notice, Answer::Ok,
                     "File: " + gone.temp.file("x") + " does not exist!");
    gone.engine.SetSourceFile(gone.temp.file("x"));
    EXPECT_EQ(gone.engine.StartSplit(), -1);
    EXPECT_EQ(gone.engine.Message(), "File:  does not exist.");
}

// A full diskette is asked about; OK writes the block again onto the disk given.
TEST(SplitBySize, ARetryAfterAFullDisketteWritesTheSameSet)
{
    for (const auto& [content, size, unit] : {std::tuple{test::patternBytes(1000), 300.0, "BT"},
                                              std::tuple{test::hundredLines(), 30.0, "LN"}}) {
        SplitRun plain(content, size, unit);
        ASSERT_EQ(plain.engine.StartSplit(), 0);
        SplitRun retried(content, size, unit);
        const test::DisketteFolder drive(retried.temp.path() / "floppy");
        retried.engine.SetDestFolder("a:/");
        // the second disk fills up; each message lifts the fault: room made before OK
        retried.host.cause({0, ENOSPC, 0, true}).onShown = [](const test::ShownMessage& shown) {
            if (shown.text.find("disk #2") != std::string::npos)
                faults::failWritesAfter(100, ENOSPC);
        };
        retried.host.answer(Question::DisketteCount, Answer::Yes)
            .answer(Question::InsertDisk, Answer::Ok, "disk #1")
            .answer(Question::InsertDisk, Answer::Ok, "disk #2")
            .answer(Question::DiskFull, Answer::Ok,
                    "There is not enough space on the disk.\rPlease insert")
            .answer(Question::InsertDisk, Answer::Ok, "disk #3")
            .answer(Question::InsertDisk, Answer::Ok, "disk #4");
        EXPECT_EQ(retried.engine.StartSplit(), 0) << retried.engine.Message();
        EXPECT_EQ(retried.pieces(), plain.pieces()) << unit;
        EXPECT_EQ(test::readFile(retried.temp.file("data.bin")), content); // source untouched
    }
}

// A second split of a set into the folder where a first one writes it refuses and takes
// nothing of the first's: the finished pieces stay (dated back, so that only their locks
// keep them) and the first split succeeds. Another set, or a killed split's leftovers, hold
// nothing up.
TEST(SplitBySize, ASecondJobOnASetRefusesAndLeavesTheFirstJobsPieces)
{
    const struct {
        std::string secondName;
        bool firstKilled;
        int secondStatus;
    } cases[] = {{"data.bin", false, -1}, {"other.bin", false, 0}, {"data.bin", true, 0}};
    const auto dataOf = [](const SplitRun& run) {
        std::string data;
        for (const std::string& piece : run.pieces())
            data += piece.substr(kPieceHeaderSize);
        return data;
    };
    for (const auto& c : cases) {
        SplitRun first(test::patternBytes(3000), 1000, "BT");
        SplitRun second(test::patternBytes(2000, 2), 1000, "BT", c.secondName);
        second.engine.SetDestFolder(first.out);
        const auto temporaries = [&] {
            std::vector<std::string> paths;
            for (const std::string& name : test::namesIn(first.out))
                if (name.find(".parcelo-tmp-") != std::string::npos)
                    paths.push_back(first.out + name);
            return paths;
        };
        bool secondRan = false;
        first.host.onEvent = [&] {
            if (secondRan || temporaries().size() < 2)
                return;
            secondRan = true;
            for (const std::string& path : temporaries())
                test::makeOld(path);
            EXPECT_EQ(second.engine.StartSplit(), c.secondStatus) << c.secondName;
        };
        if (c.firstKilled) {
            test::writeFile(first.out + "data.bin.002.parcelo-tmp-Killed", "left by a kill");
            test::makeOld(first.out + "data.bin.002.parcelo-tmp-Killed");
            EXPECT_EQ(second.engine.StartSplit(), 0) << second.engine.Message();
        } else {
            ASSERT_EQ(first.engine.StartSplit(), 0) << first.engine.Message();
            EXPECT_EQ(dataOf(first), first.content);
            EXPECT_TRUE(secondRan);
        }
        if (c.secondStatus == 0)
            EXPECT_EQ(dataOf(second), second.content);
        else
            EXPECT_EQ(second.engine.Message(),
                      "Another job is writing data.bin's pieces in this folder.");
        EXPECT_TRUE(temporaries().empty());
    }
}

TEST(SplitBySize, BindingsShowProgressWithoutChangingTheFiles)
{
    SplitRun bare(test::patternBytes(1000), 300, "BT"), bound(bare.content, 300, "BT"),
        wrong(bare.content, 300, "BT");
    ASSERT_EQ(bare.engine.StartSplit(), 0);
    const auto splitWith = [&](SplitRun& run, Binding* progress, Binding* status, Binding* files) {
        run.engine.SetProgressBar(progress);
        run.engine.SetStatusLabel(status);
        run.engine.SetFileList(files);
        ASSERT_EQ(run.engine.StartSplit(), 0);
        EXPECT_EQ(run.pieces(), bare.pieces());
    };
    test::FakeProgressBar bar, otherBar;
    test::FakeLabel label, otherLabel;
    test::FakeFileList list;
    splitWith(bound, &bar, &label, &list);
    splitWith(wrong, &otherLabel, &otherBar, &otherBar); // each of a kind not expected there
    EXPECT_TRUE(otherLabel.captions.empty() && otherBar.values.empty() && otherBar.max == 100);
    EXPECT_EQ(bar.max, 4);
    EXPECT_EQ(bar.values, (std::vector<int>{0, 1, 2, 3, 4}));
    // the pieces, then what was written beside them
    using K = FileRowKind;
    EXPECT_EQ(list.kinds, (std::vector<K>{K::Piece, K::Piece, K::Piece, K::Piece, K::ChecksumFile,
                                          K::JoinScript, K::JoinScript}));
    ASSERT_EQ(list.rows.size(), 7u);
    EXPECT_EQ(list.rows[3], (std::pair{bound.piecePath(4), std::string("100Bytes")}));
    EXPECT_EQ(list.rows[4].first, RemoveFileExtension(bound.piecePath(4)) + ".sha256");
    EXPECT_EQ(list.rows[4].second, std::to_string(fileLength(list.rows[4].first)) + "Bytes");
    EXPECT_EQ(label.captions.back(), "Generating File: " + bound.piecePath(4));
}

// Pieces, checksum file, join scripts and recovery pieces are the same whether one thread
// or two workers write them: by size and by number of pieces, checked or not, pieces
// smaller and larger than one copy step.
TEST(SplitBySize, TwoWorkersWriteWhatOneThreadWrites)
{
    const CompanionOptions unchecked{false, false}, recovery{true, true, 1};
    const struct {
        std::size_t length;
        double size;
        bool byPieces;
        CompanionOptions companions;
        bool plain;
    } cases[] = {
        {10000, 10000, false, {}, false},     {10000, 5000, true, unchecked, false},
        {10000, 3400, false, {}, false},      {10000, 3400, true, unchecked, false},
        {10000, 5000, false, {}, true},       {10000, 3400, false, recovery, false},
        {5000000, 2100000, false, {}, false}, {5000000, 2100000, false, unchecked, false},
    };
    for (const auto& c : cases) {
        std::map<std::string, std::string> written[2];
        for (const int workers : {1, 2}) {
            const test::ForcedWorkers forced(workers);
            SplitRun run(test::patternBytes(c.length), c.size, "BT");
            run.engine.SetSplitByPieces(c.byPieces);
            run.engine.SetCompanions(c.companions);
            run.engine.setPlainPieces(c.plain);
            EXPECT_EQ(run.engine.StartSplit(), 0) << run.engine.Message();
            written[workers - 1] = test::snapshot(run.out);
            // a recovery piece holds a random set identifier: only its size compares
            for (auto& [name, bytes] : written[workers - 1])
                if (name.find(".rec") != std::string::npos)
                    bytes = std::to_string(bytes.size());
                else if (const auto rec = bytes.find(".rec"); rec != std::string::npos)
                    bytes.erase(bytes.rfind('\n', rec)); // its checksum line
        }
        EXPECT_EQ(written[0], written[1]) << c.length << " by " << c.size;
        EXPECT_GE(written[0].size(), static_cast<std::size_t>(c.length / c.size));
    }
}

// A stop, or a disk that fills in any piece while both workers write, ends the split as on
// one thread: the same status and message, and the folder as it was (an older set's piece
// and checksum file the user had stay).
TEST(SplitBySize, AStopOrAFullDiskWithTwoWorkersEndsAsOnOneThread)
{
    const test::Fault cases[] = {
        {.stopAt = 2},
        {.stopAt = 3},
        // a disk that fills while piece 1, 2 or 3 is written, whichever worker writes it
        {.failAfter = 100},
        {.failAfter = 3500},
        {.failAfter = 7000},
        {.failAfter = 100, .osError = EIO, .pathPart = ".002"},
    };
    for (const auto& fault : cases) {
        struct Outcome {
            int status;
            std::string message;
            std::map<std::string, std::string> folder;
            bool operator==(const Outcome&) const = default;
        } outcome[2];
        for (const int workers : {1, 2}) {
            const test::ForcedWorkers forced(workers);
            SplitRun run(test::patternBytes(10000), 3400, "BT");
            test::writeFile(run.piecePath(1), "the user's older piece");
            test::writeFile(run.out + "data.bin.sha256", "the user's older checksums");
            const auto before = test::snapshot(run.out);
            run.host.cause(fault);
            const int status = run.engine.StartSplit();
            std::string message = run.engine.Message();
            if (const auto at = message.find(run.out); at != std::string::npos)
                message.erase(at, run.out.size());
            outcome[workers - 1] = {status, message, test::snapshot(run.out)};
            EXPECT_EQ(outcome[workers - 1].folder, before) << fault.pathPart << fault.stopAt;
            EXPECT_EQ(test::readFile(run.temp.file("data.bin")), run.content);
        }
        EXPECT_NE(outcome[0].status, 0);
        EXPECT_EQ(outcome[0], outcome[1]) << outcome[0].message << " / " << outcome[1].message;
    }
}
