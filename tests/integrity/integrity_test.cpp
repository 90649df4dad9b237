#include "integrity_fixture.h"

#include "integrity/set_checksums.h"
#include "join/mod_join_file.h"
#include "verify/verify.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

namespace fs = std::filesystem;
using test::SplitSet;

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
    engine.SetSourceFile(set.piece(2));
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

TEST(Checksums, AFlippedByteInAnyPieceIsNamedByJoinAndBothVerifications)
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
            test::flipByte(set.piece(n), test::readFile(set.piece(n)).size() - 3);
            const std::string damaged = damagedPieceText(set.piece(n));
            const Joined failed = join(set, set.out);
            EXPECT_NE(failed.flag, 0);
            EXPECT_EQ(failed.message, damaged);
            EXPECT_FALSE(fs::exists(set.out + "data.bin"));
            EXPECT_EQ(test::filesIn(set.out), static_cast<std::size_t>(set.pieces) + 3);
            EXPECT_EQ(verified(set.piece(n), false, VerifyVerdict::NotVerified), damaged);
            EXPECT_NE(verified(set.piece(1), true, VerifyVerdict::NotVerified).find(damaged),
                      std::string::npos);
        }
    }
}

TEST(Checksums, VerifyingTheSetListsEveryDamagedAndMissingPiece)
{
    SplitSet set("BT");
    ASSERT_EQ(set.pieces, 4);
    test::flipByte(set.piece(1), 20);
    test::flipByte(set.piece(3), 20);
    fs::remove(set.piece(2));
    const std::string text = verified(set.piece(4), true, VerifyVerdict::NotVerified);
    for (const std::string& line :
         {damagedPieceText(set.piece(1)), "Missing Split File: " + set.piece(2),
          damagedPieceText(set.piece(3))})
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find(set.piece(4)), std::string::npos) << text;
}

TEST(Checksums, WithoutAChecksumFileNothingChangesAndAnotherSetsIsReported)
{
    SplitSet set("BT");
    fs::remove(set.out + "data.bin.sha256");
    const Joined plain = join(set, set.temp.folder());
    EXPECT_EQ(plain.flag, 0);
    EXPECT_EQ(plain.note, "");
    verified(set.piece(1), true, VerifyVerdict::Verified);

    // the checksum file of a different set of the same name, then one naming other pieces
    SplitSet different("LN");
    fs::copy_file(different.out + "data.bin.sha256", set.out + "data.bin.sha256");
    const std::string reason =
        "The checksum file " + set.out + "data.bin.sha256 was written for another set.";
    EXPECT_EQ(join(set, set.out).message, reason);
    EXPECT_FALSE(fs::exists(set.out + "data.bin"));
    EXPECT_NE(verified(set.piece(1), true, VerifyVerdict::NotVerified).find(reason),
              std::string::npos);

    test::writeFile(set.out + "data.bin.sha256", std::string(64, 'a') + "  other.bin.001\n");
    EXPECT_EQ(join(set, set.out).message, reason);
}

} // namespace
} // namespace parcelo
