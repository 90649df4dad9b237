#include "split_run.h"

#include "integrity/set_checksums.h"
#include "join/mod_join_file.h"
#include "verify/verify.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

namespace fs = std::filesystem;

// data.bin (or data.zip as a compressed set) split into the folder "out".
struct SplitSet : test::SplitRun {
    explicit SplitSet(const std::string& unit, bool compressed = false)
        : SplitRun(unit == "LN" ? lines() : test::patternBytes(10000), unit == "LN" ? 40 : 3000,
                   unit, compressed ? "data.zip" : "data.bin")
    {
        engine.SetCompressed(compressed ? "Yes" : "");
        engine.StartSplit();
        name = engine.FileName();
        pieces = engine.PieceCount();
    }

    static std::string lines()
    {
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += "line " + std::to_string(i) + (i % 3 ? "\r\n" : "\n");
        return text + "last line without end";
    }

    std::string name;
    int pieces = 0;
};

struct Joined {
    int flag;
    std::string note;
    std::string message;
};

Joined join(const SplitSet& set, const std::string& into)
{
    test::ScriptedHost host;
    host.acceptNotices();
    modJoinFile engine(host);
    engine.SetSourceFile(set.piecePath(2));
    engine.SetDestinationFolder(into);
    engine.LocateSplitFiles();
    engine.JoinSplitFiles();
    engine.FinishJoin();
    return {engine.ErrorFlag(), engine.ChecksumNote(),
            host.shown.empty() ? "" : host.shown.back().text};
}

std::string verified(const std::string& path, bool wholeSet, VerifyVerdict expected)
{
    test::ScriptedHost host;
    host.acceptNotices();
    const VerifyContext context{host};
    EXPECT_EQ(wholeSet ? VerifySplitSet(path, context) : VerifySplitFile(path, context), expected);
    return host.shown.empty() ? "" : host.shown.back().text;
}

TEST(Checksums, DamagedAndMissingPiecesAreNamedByJoinAndBothVerifications)
{
    for (const char* unit : {"BT", "LN"}) {
        SplitSet clean(unit);
        const Joined ok = join(clean, clean.temp.folder());
        EXPECT_EQ(ok.flag, 0);
        EXPECT_EQ(ok.note,
                  "checked " + std::to_string(clean.pieces) + " pieces against data.bin.sha256");
        for (int n = 1; n <= clean.pieces; ++n) {
            SCOPED_TRACE(std::string(unit) + " piece " + std::to_string(n));
            SplitSet set(unit);
            test::flipByte(set.piecePath(n), test::readFile(set.piecePath(n)).size() - 3);
            const std::string damaged = damagedPieceText(set.piecePath(n));
            const Joined failed = join(set, set.out);
            EXPECT_NE(failed.flag, 0);
            EXPECT_EQ(failed.message, damaged);
            EXPECT_FALSE(fs::exists(set.out + "data.bin"));
            EXPECT_EQ(test::filesIn(set.out), static_cast<std::size_t>(set.pieces) + 3);
            EXPECT_EQ(verified(set.piecePath(n), false, VerifyVerdict::NotVerified), damaged);
            EXPECT_NE(verified(set.piecePath(1), true, VerifyVerdict::NotVerified).find(damaged),
                      std::string::npos);
        }
    }

    // Verifying the set lists every damaged and missing piece.
    SplitSet set("BT");
    ASSERT_EQ(set.pieces, 4);
    test::flipByte(set.piecePath(1), 20);
    test::flipByte(set.piecePath(3), 20);
    fs::remove(set.piecePath(2));
    const std::string text = verified(set.piecePath(4), true, VerifyVerdict::NotVerified);
    for (const std::string& line :
         {damagedPieceText(set.piecePath(1)), "Missing Split File: " + set.piecePath(2),
          damagedPieceText(set.piecePath(3))})
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find(set.piecePath(4)), std::string::npos) << text;
}

TEST(Checksums, WithoutAChecksumFileNothingChangesAndAnotherSetsIsReported)
{
    SplitSet set("BT");
    fs::remove(set.out + "data.bin.sha256");
    const Joined plain = join(set, set.temp.folder());
    EXPECT_EQ(plain.flag, 0);
    EXPECT_EQ(plain.note, "");
    verified(set.piecePath(1), true, VerifyVerdict::Verified);

    // the checksum file of a different set of the same name, then one naming other pieces
    SplitSet different("LN");
    fs::copy_file(different.out + "data.bin.sha256", set.out + "data.bin.sha256");
    const std::string reason =
        "The checksum file " + set.out + "data.bin.sha256 was written for another set.";
    EXPECT_EQ(join(set, set.out).message, reason);
    EXPECT_FALSE(fs::exists(set.out + "data.bin"));
    EXPECT_NE(verified(set.piecePath(1), true, VerifyVerdict::NotVerified).find(reason),
              std::string::npos);

    test::writeFile(set.out + "data.bin.sha256", std::string(64, 'a') + "  other.bin.001\n");
    EXPECT_EQ(join(set, set.out).message, reason);
}

} // namespace
} // namespace parcelo
