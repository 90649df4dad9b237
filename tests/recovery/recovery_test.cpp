#include "recovery/recovery.h"

#include "format/split_set.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
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

const RecoveryOptions kTinyStripes{7, 1 << 20, {}, nullptr};

// Writes pieces 1..k of data bytes each (the last `last`), the data of piece n drawn
// from seed + n.
void writePieces(const std::string& base, int k, std::size_t size, std::size_t last,
                 std::uint32_t seed = 0)
{
    for (int n = 1; n <= k; ++n) {
        const auto header = encodePieceHeader({PieceSignatureCompressed, k, n});
        writeFile(
            base + SplitFileExtension(n),
            std::string(header.begin(), header.end())
                + test::patternBytes(n == k ? last : size, seed + static_cast<std::uint32_t>(n)));
    }
}

SmallSet makeSet(const TempFolder& folder, int k, int r, std::mt19937& random,
                 std::uint32_t seed = 0)
{
    SmallSet set{folder.path(), folder.file("data.bin"), k, r, {}};
    const auto size = std::uniform_int_distribution<std::size_t>(1, 40)(random);
    writePieces(set.base, k, size, std::uniform_int_distribution<std::size_t>(1, size)(random),
                seed);
    createRecoveryPieces(set.base, r, newSetIdentifier(), kTinyStripes);
    set.files = test::snapshot(set.folder);
    return set;
}

// A checksum file's part for the tests: the bytes every listed file had when it was
// recorded.
class RecordWitness : public FileWitness {
public:
    explicit RecordWitness(std::map<std::string, std::string> files) : files_(std::move(files)) {}
    bool describes(int pieceCount) const override
    {
        return std::count_if(files_.begin(), files_.end(),
                             [](const auto& file) { return recoveryPieceNumber(file.first) == 0; })
               == pieceCount;
    }
    bool lists(const std::string& name) const override { return files_.count(name) != 0; }
    void begin(const std::string& name) override { name_ = name, bytes_.clear(); }
    void update(const unsigned char* bytes, std::size_t size) override
    {
        bytes_.append(reinterpret_cast<const char*>(bytes), size);
    }
    Testimony end() override
    {
        return !lists(name_)                ? Testimony::Unknown
               : files_.at(name_) == bytes_ ? Testimony::Matches
                                            : Testimony::Differs;
    }
    std::string name() const override { return "data.bin.sha256"; }

private:
    std::map<std::string, std::string> files_;
    std::string name_, bytes_;
};

// The recovery code's own failure a call ends with, if it ends with one.
std::optional<RecoveryFailure> recoveryFailureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RecoveryError& error) {
        return error.failure();
    }
    return std::nullopt;
}

// The bytes this process has read so far (read by any means, from any file).
std::uint64_t bytesRead()
{
    const std::string io = readFile("/proc/self/io");
    return std::stoull(io.substr(io.find("rchar:") + 6));
}

// Deletes, truncates (unless sizeKept) or corrupts one byte of the file, at a random place.
void damage(const std::string& path, std::mt19937& random, bool sizeKept = false)
{
    std::string content = readFile(path);
    switch (random() % 3) {
    case 0:
        std::filesystem::remove(path);
        return;
    case 1:
        if (!sizeKept) {
            content.resize(random() % content.size());
            break;
        }
        [[fallthrough]];
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
    // K + R = 255 fills one code group, 300 pieces need two; a large set is tried less often
    const std::pair<int, int> cases[] = {{1, 1},  {1, 5},  {2, 2},   {3, 5},
                                         {10, 3}, {64, 5}, {251, 4}, {300, 5}};
    std::mt19937 random(2024);
    for (const auto& [k, r] : cases) {
        TempFolder folder;
        SmallSet set = makeSet(folder, k, r, random);
        const int trials = k > 64 ? 2 : 6;
        for (int trial = 0; trial < trials; ++trial) {
            SCOPED_TRACE("K=" + std::to_string(k) + " R=" + std::to_string(r) + " trial "
                         + std::to_string(trial));
            // every other trial with a checksum file that lists the recovery pieces
            RecordWitness record(set.files);
            RecoveryOptions options = kTinyStripes;
            options.witness = trial % 2 == 0 ? &record : nullptr;
            const int count =
                trial == 0 ? r : 1 + static_cast<int>(random() % static_cast<unsigned>(r));
            const std::set<int> lost =
                drawLosses(set, count, trial == 0 && k + r > 2 && r >= 2, random);
            for (int f : lost) // a cut piece fits no layout: then nothing can vouch for it
                damage(set.path(f), random, options.witness != nullptr);
            const SetCondition condition = examineSet(set.base, options);
            if (!condition.hasRecovery) {
                // Every recovery piece lost (the pieces are whole), or every piece lost and
                // one still there that matches nothing: without a checksum file to vouch for
                // the recovery pieces, another set's, as far as anyone can tell.
                const bool allPiecesLost = std::distance(lost.begin(), lost.upper_bound(k)) == k;
                const bool onePieceThere = std::any_of(lost.begin(), lost.end(), [&](int f) {
                    return f <= k && std::filesystem::exists(set.path(f));
                });
                ASSERT_TRUE(*lost.begin() == k + 1
                            || (!options.witness && allPiecesLost && onePieceThere));
                for (const auto& [name, content] : set.files)
                    writeFile((set.folder / name).string(), content);
                continue;
            }
            ASSERT_TRUE(condition.repairable);
            ASSERT_EQ(condition.lostPieces.size() + condition.lostRecovery.size(), lost.size());
            EXPECT_EQ(repairSet(set.base, condition, options).size(), lost.size());
            set.expectIntact();
            EXPECT_TRUE(examineSet(set.base).complete());
        }
    }
}

// A set beyond repair, or a repair that is stopped, is left as it was.
TEST(Recovery, VerdictsCountTheLostPiecesAndTheRecoveryPiecesThatAreHere)
{
    struct Case {
        int k, r;
        std::vector<int> lost; // 1..k pieces, then recovery pieces: removed or one byte changed
        const char* verdict;
    };
    const Case cases[] = {
        {5, 2, {}, "is intact"},
        {5,
         2,
         {3},
         "can be repaired: 1 piece is damaged or missing and 2 recovery pieces are here"},
        {5, 2, {6}, "can be repaired: 1 recovery piece is damaged or missing"},
        {5,
         2,
         {1, 7},
         "can be repaired: 1 piece is damaged or missing and 1 recovery piece is here"},
        {5,
         2,
         {1, 2, 4},
         "cannot be repaired: 3 pieces are damaged or missing and only 2 recovery pieces are here"},
        {40,
         5,
         {1, 2, 3, 4, 5, 41},
         "cannot be repaired: 5 pieces are damaged or missing and only 4 recovery pieces are here"},
        {300,
         2,
         {1, 3},
         "cannot be repaired: 2 pieces are damaged or missing and too many of them are in one "
         "group of the recovery code"},
    };
    std::mt19937 random(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.verdict);
        TempFolder folder;
        SmallSet set = makeSet(folder, c.k, c.r, random);
        for (std::size_t i = 0; i < c.lost.size(); ++i) {
            const std::string path = set.path(c.lost[i]);
            if (i % 2 == 0)
                std::filesystem::remove(path);
            else
                test::flipByte(path, std::filesystem::file_size(path) - 1);
        }
        set.files = test::snapshot(set.folder);
        const SetCondition condition = examineSet(set.base);
        EXPECT_TRUE(condition.hasRecovery);
        EXPECT_EQ(repairVerdict(condition), c.verdict);
        if (!condition.repairable) {
            EXPECT_EQ(recoveryFailureOf([&] { repairSet(set.base, condition); }),
                      RecoveryFailure::NotRepairable);
            set.expectIntact();
        } else if (!condition.complete()) {
            RecoveryOptions stopping;
            stopping.afterStripe = [] { jobStop().request(); };
            EXPECT_THROW(repairSet(set.base, condition, stopping), JobStopped);
            jobStop().reset();
            set.expectIntact();
        }
    }
}

TEST(Recovery, RecoveryPieceOfAnotherSetIsNeverUsed)
{
    std::mt19937 random(11);
    TempFolder mine, other;
    SmallSet set = makeSet(mine, 5, 2, random);
    SmallSet foreign = makeSet(other, 5, 2, random, 1000);
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
    const SetCondition alone = examineSet(set.base);
    EXPECT_FALSE(alone.hasRecovery);
    EXPECT_EQ(alone.notice, "data.bin.rec001 does not belong to these pieces; it was not used.");
}

// The set's checksum file is the judge of its recovery pieces: those it does not vouch for
// never rewrite a piece, and a rebuilt piece takes its name only when it matches it.
TEST(Recovery, TheChecksumFileJudgesTheRecoveryPieces)
{
    enum Outcome { Unlisted, Disagree, NotOfTheSet, RepairFails, Rebuilt };
    struct Case {
        const char* what;
        std::function<void(const std::string& base)> edit; // after the recovery pieces
        bool record;                                       // there is a checksum file
        std::map<std::string, std::string> lines; // lines that differ from the files ("": none)
        Outcome outcome;
    };
    const auto editPiece2 = [](const std::string& base) { test::flipByte(base + ".002", 20); };
    const auto claimPiece2Damaged = [](const std::string& base) {
        for (int j = 1; j <= 2; ++j) { // the CRC of piece 2 changed in their headers
            const std::string path = recoveryPieceName(base, j);
            RecoveryHeader header;
            readRecoveryHeader(path, header);
            const std::size_t size = recoveryHeaderSize(4, 2);
            header.crcs[1] ^= 1;
            const auto bytes = encodeRecoveryHeader(header);
            writeFile(path, std::string(bytes.begin(), bytes.end()) + readFile(path).substr(size));
        }
    };
    const std::map<std::string, std::string> noRecovery = {{"data.bin.rec001", ""},
                                                           {"data.bin.rec002", ""}};
    const Case cases[] = {
        {"a later split's checksum file, without recovery pieces", editPiece2, true, noRecovery,
         Unlisted},
        {"a later split's recovery pieces, an earlier checksum file",
         nullptr,
         true,
         {{"data.bin.rec001", "earlier"}, {"data.bin.rec002", "earlier"}},
         Disagree},
        {"recovery pieces that call a piece damaged that matches",
         claimPiece2Damaged,
         true,
         {},
         Disagree},
        {"every piece of another split, no checksum file",
         [](const std::string& base) { writePieces(base, 4, 20, 20, 50); },
         false,
         {},
         NotOfTheSet},
        {"a rebuilt piece that is not the listed one",
         nullptr,
         true,
         {{"data.bin.003", "another piece"}},
         RepairFails},
        {"a recovery piece listed under another hash",
         nullptr,
         true,
         {{"data.bin.rec001", "another recovery piece"}},
         Rebuilt},
    };
    const char* notices[] = {
        "data.bin.rec001 and data.bin.rec002 are not listed in data.bin.sha256; they were not "
        "used.",
        "data.bin.rec001 and data.bin.rec002 disagree with data.bin.sha256; they were not used.",
        "data.bin.rec001 and data.bin.rec002 do not belong to these pieces; they were not used.",
        "", ""};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string base = folder.file("data.bin");
        writePieces(base, 4, 20, 20);
        createRecoveryPieces(base, 2, newSetIdentifier());
        const std::string piece3 = readFile(base + ".003");
        if (c.edit)
            c.edit(base);
        auto listed = test::snapshot(folder.path());
        for (const auto& [name, bytes] : c.lines) {
            if (bytes.empty())
                listed.erase(name);
            else
                listed[name] = bytes;
        }
        RecordWitness record(listed);
        RecoveryOptions options;
        options.witness = c.record ? &record : nullptr;
        std::filesystem::remove(base + ".003");
        const auto before = test::snapshot(folder.path());
        const SetCondition condition = examineSet(base, options);
        EXPECT_EQ(condition.hasRecovery, c.outcome >= RepairFails);
        EXPECT_EQ(condition.notice, notices[c.outcome]);
        if (c.outcome == RepairFails) {
            EXPECT_EQ(
                recoveryFailureOf([&] { repairSet(base, condition, options, Rebuild::Pieces); }),
                RecoveryFailure::RebuiltMismatch);
        }
        if (c.outcome == Rebuilt) {
            EXPECT_EQ(condition.lostRecovery, std::vector<int>{1});
            EXPECT_EQ(repairSet(base, condition, options, Rebuild::Pieces).size(), 1u);
            EXPECT_EQ(readFile(base + ".003"), piece3);
        } else {
            EXPECT_EQ(test::snapshot(folder.path()), before);
        }
    }
}

// Every group holds a piece and a recovery piece; other counts are refused, with the
// limit, before anything is written.
TEST(Recovery, RecoveryCountsTheLayoutCannotServeAreRefusedBeforeAnythingIsWritten)
{
    EXPECT_EQ(recoveryPieceName("a/f", 7), "a/f.rec007");
    EXPECT_EQ(recoveryPieceName("f", 1234), "f.rec1234");
    EXPECT_EQ(recoveryPieceNumber("a/f.rec012"), 12);
    EXPECT_EQ(recoveryPieceNumber("f.012"), 0);
    EXPECT_EQ(recoveryPieceNumber("f.rec1x"), 0);
    const RecoveryGroups most = recoveryGroups(kMaxPieces, minimumRecoveryPieces(kMaxPieces));
    for (int g = 0; g < most.groups; ++g)
        EXPECT_LE(most.piecesIn(g) + most.recoveryIn(g), 255);

    struct Case {
        int k, r, groups;
        const char* problem;
    };
    const Case cases[] = {
        {254, 1, 1, ""},
        {255, 1, 0, "A set of 255 pieces needs at least 2 recovery pieces"},
        {300, 1, 0, "A set of 300 pieces needs at least 2 recovery pieces"},
        {1, 254, 1, ""},
        {1, 255, 0, "A set of 1 piece can have at most 254 recovery pieces"},
        {5, 1270, 5, ""},
        {5, 2000, 0, "A set of 5 pieces can have at most 1270 recovery pieces"},
    };
    std::mt19937 random(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.k) + " pieces, " + std::to_string(c.r) + " recovery");
        EXPECT_EQ(recoveryGroups(c.k, c.r).groups, c.groups);
        EXPECT_EQ(recoveryCountProblem(c.k, c.r), c.problem);
        TempFolder folder;
        writePieces(folder.file("data.bin"), c.k, 3, 2);
        const auto pieces = test::snapshot(folder.path());
        try {
            createRecoveryPieces(folder.file("data.bin"), c.r, newSetIdentifier());
            EXPECT_TRUE(examineSet(folder.file("data.bin")).complete());
        } catch (const RunError& error) {
            EXPECT_EQ(error.description(), c.problem);
            EXPECT_EQ(test::snapshot(folder.path()), pieces);
        }
    }
}

// The u32 at offset of a recovery piece's bytes set to value, its header CRC made good.
void setField(std::string& bytes, std::size_t offset, std::uint32_t value, int k, int r)
{
    auto* at = reinterpret_cast<unsigned char*>(bytes.data());
    writeLittleEndian32(at + offset, value);
    const std::size_t body = recoveryHeaderSize(k, r) - 4;
    writeLittleEndian32(at + body, static_cast<std::uint32_t>(
                                       crc32(crc32(0, nullptr, 0), at, static_cast<uInt>(body))));
}

// A recovery piece with that header and data of zeros: dataBytes of them (a file made
// larger leaves the rest sparse).
std::string recoveryPieceBytes(const RecoveryHeader& header, std::uint64_t dataBytes)
{
    const auto bytes = encodeRecoveryHeader(header);
    return std::string(bytes.begin(), bytes.end())
           + std::string(static_cast<std::size_t>(dataBytes), '\0');
}

std::uint32_t crcOfZeros(std::size_t size)
{
    const std::string zeros(size, '\0');
    return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0),
                                            reinterpret_cast<const unsigned char*>(zeros.data()),
                                            static_cast<uInt>(size)));
}

// One crafted recovery piece beside an intact set of 3 pieces: nothing crashes, nothing
// is read beyond the headers unless the layout fits, and no piece changes.
TEST(Recovery, CraftedRecoveryPiecesAreCheckedBeforeTheyAreRead)
{
    constexpr std::uint64_t k16GiB = std::uint64_t{16} << 30;
    struct Case {
        const char* what;
        std::function<void(RecoveryHeader&)> header; // the fields a crafted piece claims
        std::function<void(std::string&)> bytes;     // then its bytes
        bool used;                                   // taken as the set's recovery piece
    };
    const auto field = [](std::size_t offset, std::uint32_t value, int k = 3, int r = 2) {
        return [=](std::string& bytes) { setField(bytes, offset, value, k, r); };
    };
    const auto recovery = [](int r) {
        return [r](RecoveryHeader& h) {
            h.recoveryCount = r;
            h.crcs.resize(3 + static_cast<std::size_t>(r));
            h.crcs[3] = crcOfZeros(h.pieceDataSize);
        };
    };
    const Case cases[] = {
        {"a group without pieces", recovery(2000), field(56, 8, 3, 2000), false},
        {"more groups than its counts make", nullptr, field(56, 2), false},
        {"a count beyond the most", nullptr, field(28, 40000), false},
        {"number 0", nullptr, field(52, 0), false},
        {"a number beyond its count", nullptr, field(52, 3), false},
        {"a last piece larger than the others", [](RecoveryHeader& h) { h.lastDataSize = 101; },
         nullptr, false},
        {"reserved bytes in use", nullptr, field(60, 1), false},
        {"a broken header CRC", nullptr, [](std::string& b) { b[70] ^= 1; }, false},
        {"cut inside its header", nullptr, [](std::string& b) { b.resize(30); }, false},
        {"a byte more than its layout", nullptr, [](std::string& b) { b += 'x'; }, false},
        {"16 GiB pieces", [](RecoveryHeader& h) { h.pieceDataSize = h.lastDataSize = k16GiB; },
         nullptr, false},
        {"CRCs of other pieces", [](RecoveryHeader& h) { h.crcs.assign(5, 7); }, nullptr, false},
        {"as many recovery pieces as 3 pieces can have", recovery(762), nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string base = folder.file("data.bin");
        writePieces(base, 3, 100, 50);
        createRecoveryPieces(base, 2, newSetIdentifier());
        std::filesystem::remove(recoveryPieceName(base, 2));
        RecoveryHeader header;
        ASSERT_EQ(readRecoveryHeader(recoveryPieceName(base, 1), header), HeaderCheck::Sound);
        if (c.header)
            c.header(header);
        std::string bytes =
            recoveryPieceBytes(header, std::min<std::uint64_t>(header.pieceDataSize, 100));
        if (c.bytes)
            c.bytes(bytes);
        writeFile(recoveryPieceName(base, 1), bytes);
        if (header.pieceDataSize > 100)
            std::filesystem::resize_file(recoveryPieceName(base, 1),
                                         recoveryHeaderSize(3, 2) + header.pieceDataSize);
        const auto names = test::namesIn(folder.path());
        const std::string pieces = readFile(base + ".001") + readFile(base + ".002");

        const std::uint64_t readBefore = bytesRead();
        const SetCondition condition = examineSet(base);
        EXPECT_LT(bytesRead() - readBefore, 1u << 20);
        EXPECT_EQ(condition.hasRecovery, c.used);
        EXPECT_EQ(condition.notice,
                  c.used ? ""
                         : "data.bin.rec001 does not belong to these pieces; it was not used.");
        if (condition.repairable && !condition.complete()) {
            EXPECT_EQ(recoveryFailureOf([&] { repairSet(base, condition); }),
                      RecoveryFailure::RebuiltMismatch); // its data is no code
        }
        EXPECT_EQ(test::namesIn(folder.path()), names);
        EXPECT_EQ(readFile(base + ".001") + readFile(base + ".002"), pieces);
    }
}

// A layout of 32767 recovery pieces over 130 pieces, of which one recovery piece is
// there: the lost piece is rebuilt from it, a group at a time, and nothing else is written.
TEST(Recovery, AHugeRecoveryCountIsRepairedAGroupAtATime)
{
    TempFolder folder;
    const std::string base = folder.file("data.bin");
    RecoveryHeader header;
    header.signature = PieceSignaturePlain;
    header.pieceCount = 130;
    header.pieceDataSize = header.lastDataSize = 4;
    header.recoveryCount = kMaxPieces;
    header.number = 1;
    header.crcs.assign(130 + static_cast<std::size_t>(kMaxPieces), 0);
    for (int n = 1; n <= 130; ++n) { // piece 1 all zeros: so is its recovery piece 1
        const std::string data = n == 1 ? std::string(4, '\0') : test::patternBytes(4, n);
        const auto pieceHeader = encodePieceHeader({PieceSignaturePlain, 130, n});
        writeFile(base + SplitFileExtension(n),
                  std::string(pieceHeader.begin(), pieceHeader.end()) + data);
        header.crcs[static_cast<std::size_t>(n - 1)] = static_cast<std::uint32_t>(
            crc32(crc32(0, nullptr, 0), reinterpret_cast<const unsigned char*>(data.data()), 4));
    }
    header.crcs[130] = crcOfZeros(4);
    writeFile(recoveryPieceName(base, 1), recoveryPieceBytes(header, 4));
    const auto files = test::snapshot(folder.path());
    std::filesystem::remove(base + ".001");

    const SetCondition condition = examineSet(base);
    EXPECT_EQ(repairVerdict(condition),
              "can be repaired: 1 piece is damaged or missing and 1 recovery piece is here");
    EXPECT_EQ(repairSet(base, condition, {}, Rebuild::Pieces),
              std::vector<std::string>{base + ".001"});
    EXPECT_EQ(test::snapshot(folder.path()), files);
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

    // Where the system allows 400 open files: a repair reads and writes a group at a
    // time; more recovery pieces than can stay open are refused before any is written.
    const auto limited = [&] {
        const rlimit hard{400, 400};
        setrlimit(RLIMIT_NOFILE, &hard);
        for (int f = 1; f <= 100; ++f)
            std::filesystem::remove(set.path(f));
        repairSet(set.base, examineSet(set.base));
        const bool repaired = test::snapshot(set.folder) == set.files;
        const std::string refusal = recoveryCountProblem(40, 100);
        const bool refused = test::runErrorOf([&] {
                                 createRecoveryPieces(set.base, 100, newSetIdentifier());
                             }) == err::Overflow
                             && test::snapshot(set.folder) == set.files;
        std::exit(repaired && refused
                          && refusal
                                 == "Too many files to keep open at once: 100 recovery pieces "
                                    "need 419 open files and the system allows 400"
                      ? 0
                      : 1);
    };
    EXPECT_EXIT(limited(), ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace parcelo
