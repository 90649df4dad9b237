#include "recovery/recovery.h"

#include "format/split_set.h"
#include "platform/run_error.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

namespace parcelo {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

// A byte set of k pieces with random small sizes and its r recovery pieces, in a folder
// of its own.
struct SmallSet {
    std::filesystem::path folder;
    std::string base;
    int k = 0;
    int r = 0;
    std::map<std::string, std::string> files; // the folder as written, by name

    std::string path(int file) const // 1..k pieces, then k+1..k+r recovery pieces
    {
        return file <= k ? base + SplitFileExtension(file) : recoveryPieceName(base, file - k);
    }
    void expectIntact() const { ASSERT_EQ(test::snapshot(folder), files); }
};

const RecoveryOptions kTinyStripes{7, 1 << 20, {}};

SmallSet makeSet(const TempFolder& folder, int k, int r, std::mt19937& random)
{
    SmallSet set{folder.path(), folder.file("data.bin"), k, r, {}};
    const auto size = std::uniform_int_distribution<std::size_t>(1, 40)(random);
    const auto last = std::uniform_int_distribution<std::size_t>(1, size)(random);
    for (int n = 1; n <= k; ++n) {
        const auto header = encodePieceHeader({PieceSignatureCompressed, k, n});
        writeFile(set.path(n),
                  std::string(header.begin(), header.end())
                      + test::patternBytes(n == k ? last : size, static_cast<std::uint32_t>(n)));
    }
    createRecoveryPieces(set.base, r, newSetIdentifier(), kTinyStripes);
    set.files = test::snapshot(set.folder);
    return set;
}

// Deletes, truncates or corrupts one byte of the file, at a random place.
void damage(const std::string& path, std::mt19937& random)
{
    std::string content = readFile(path);
    switch (random() % 3) {
    case 0:
        std::filesystem::remove(path);
        return;
    case 1:
        content.resize(random() % content.size());
        break;
    default:
        content[random() % content.size()] ^= static_cast<char>(1 + random() % 255);
    }
    writeFile(path, content);
}

// The losses the promise covers: per group, no more than its recovery pieces.
bool covered(const std::set<int>& lost, const SmallSet& set)
{
    const RecoveryGroups groups = recoveryGroups(set.k, set.r);
    std::vector<int> perGroup(static_cast<std::size_t>(groups.groups), 0);
    for (int f : lost)
        ++perGroup[static_cast<std::size_t>(groups.groupOf(f <= set.k ? f : f - set.k))];
    for (int g = 0; g < groups.groups; ++g)
        if (perGroup[static_cast<std::size_t>(g)] > groups.recoveryIn(g))
            return false;
    return true;
}

std::set<int> drawLosses(const SmallSet& set, int count, bool withEnds, std::mt19937& random)
{
    for (int attempt = 0;; ++attempt) {
        std::set<int> lost;
        if (withEnds && attempt < 100) {
            lost.insert(set.k);         // the shorter last piece
            lost.insert(set.k + set.r); // a recovery piece
        }
        while (static_cast<int>(lost.size()) < count)
            lost.insert(1 + static_cast<int>(random() % static_cast<unsigned>(set.k + set.r)));
        if (static_cast<int>(lost.size()) == count && covered(lost, set))
            return lost;
    }
}

TEST(Recovery, AnyAllowedLossesAreRebuiltByteForByte)
{
    const std::pair<int, int> cases[] = {{1, 1},  {1, 5},   {2, 2},   {3, 5},   {10, 3},
                                         {64, 5}, {250, 5}, {251, 4}, {300, 2}, {300, 5}};
    std::mt19937 random(2024);
    for (const auto& [k, r] : cases) {
        TempFolder folder;
        SmallSet set = makeSet(folder, k, r, random);
        for (int trial = 0; trial < 6; ++trial) {
            SCOPED_TRACE("K=" + std::to_string(k) + " R=" + std::to_string(r) + " trial "
                         + std::to_string(trial));
            const int count =
                trial == 0 ? r : 1 + static_cast<int>(random() % static_cast<unsigned>(r));
            const std::set<int> lost =
                drawLosses(set, count, trial == 0 && k + r > 2 && r >= 2, random);
            for (int f : lost)
                damage(set.path(f), random);
            const SetCondition condition = examineSet(set.base, kTinyStripes);
            if (!condition.hasRecovery) { // every recovery piece lost: the pieces are whole
                ASSERT_EQ(*lost.begin(), k + 1);
                for (const auto& [name, content] : set.files)
                    writeFile((set.folder / name).string(), content);
                continue;
            }
            ASSERT_TRUE(condition.repairable);
            ASSERT_EQ(condition.lostPieces.size() + condition.lostRecovery.size(), lost.size());
            EXPECT_EQ(repairSet(set.base, condition, kTinyStripes).size(), lost.size());
            set.expectIntact();
            EXPECT_TRUE(examineSet(set.base).complete());
        }
    }
}

TEST(Recovery, MoreLossesThanRecoveryPiecesChangeNothing)
{
    std::mt19937 random(7);
    for (const auto& [k, r] : {std::pair{1, 1}, std::pair{5, 2}, std::pair{40, 5}}) {
        TempFolder folder;
        SmallSet set = makeSet(folder, k, r, random);
        for (int f = 1; f <= r + 1; ++f)
            damage(set.path(f * (k + r) / (r + 1)), random);
        set.files = test::snapshot(set.folder);
        const SetCondition condition = examineSet(set.base);
        EXPECT_FALSE(condition.repairable);
        EXPECT_THROW(repairSet(set.base, condition), RunError);
        set.expectIntact();
    }
}

TEST(Recovery, RecoveryPieceOfAnotherSetIsNeverUsed)
{
    std::mt19937 random(11);
    TempFolder mine, other;
    SmallSet set = makeSet(mine, 5, 2, random);
    SmallSet foreign = makeSet(other, 5, 2, random);
    std::filesystem::copy_file(recoveryPieceName(foreign.base, 1), recoveryPieceName(set.base, 1),
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(set.path(3));
    set.files["data.bin.rec001"] = readFile(recoveryPieceName(foreign.base, 1));

    const SetCondition condition = examineSet(set.base);
    EXPECT_EQ(condition.foreignRecovery, std::vector<int>{1});
    ASSERT_TRUE(condition.repairable);
    repairSet(set.base, condition);
    set.expectIntact(); // the piece is back, the foreign file untouched

    // With only another set's recovery piece there is nothing to repair from.
    std::filesystem::remove(recoveryPieceName(set.base, 2));
    std::filesystem::remove(set.path(3));
    EXPECT_FALSE(examineSet(set.base).hasRecovery);
}

TEST(Recovery, LargeSetsNeedOneRecoveryPiecePerGroupAndNamesAreNeverPieceNames)
{
    EXPECT_EQ(recoveryPieceName("a/f", 7), "a/f.rec007");
    EXPECT_EQ(recoveryPieceName("f", 1234), "f.rec1234");
    EXPECT_EQ(recoveryPieceNumber("a/f.rec012"), 12);
    EXPECT_EQ(recoveryPieceNumber("f.012"), 0);
    EXPECT_EQ(recoveryPieceNumber("f.rec1x"), 0);
    EXPECT_EQ(recoveryGroups(254, 1).groups, 1);
    EXPECT_EQ(recoveryGroups(255, 1).groups, 0);
    EXPECT_EQ(minimumRecoveryPieces(300), 2);
    const RecoveryGroups most = recoveryGroups(kMaxPieces, minimumRecoveryPieces(kMaxPieces));
    for (int g = 0; g < most.groups; ++g)
        EXPECT_LE(most.piecesIn(g) + most.recoveryIn(g), 255);

    std::mt19937 random(3);
    TempFolder folder;
    makeSet(folder, 300, 2, random);
    EXPECT_THROW(createRecoveryPieces(folder.file("data.bin"), 1, newSetIdentifier()), RunError);
}

TEST(Recovery, MoreRecoveryPiecesThanTheOpenFileLimitAreWritten)
{
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::mt19937 random(5);
    TempFolder folder;
    SmallSet set = makeSet(folder, 40, 120, random); // all 120 stay open until complete
    setrlimit(RLIMIT_NOFILE, &saved);
    for (int f = 1; f <= 100; ++f)
        std::filesystem::remove(set.path(f));
    repairSet(set.base, examineSet(set.base));
    set.expectIntact();
}

} // namespace
} // namespace parcelo
