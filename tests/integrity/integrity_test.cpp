#include "fault_host.h"
#include "split_run.h"

#include "integrity/set_checksums.h"
#include "integrity/sha256.h"
#include "join/mod_join_file.h"
#include "verify/verify.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <tuple>

namespace parcelo {
namespace {

namespace fs = std::filesystem;

using test::SplitSet;

struct Joined {
    int flag;
    std::string note;
    std::string message;
    std::string notice;
};

// Joins the set into `into` (replacing a file of its name, as the user may agree to);
// deletePieces: then deletes its pieces without asking.
Joined join(const test::SplitRun& set, const std::string& into, bool deletePieces = false,
            int picked = 2)
{
    test::ScriptedHost host;
    host.acceptNotices();
    modJoinFile engine(host);
    engine.SetReplaceJoinedFile(true);
    engine.SetSourceFile(set.piecePath(picked));
    engine.SetDestinationFolder(into);
    engine.LocateSplitFiles();
    engine.JoinSplitFiles();
    engine.FinishJoin();
    if (deletePieces) {
        engine.SetConfirmDelete(false);
        engine.DeleteBrokenFiles();
    }
    return {engine.ErrorFlag(), engine.ChecksumNote(),
            host.shown.empty() ? "" : host.shown.back().text, engine.ChecksumNotice()};
}

std::string verified(const std::string& path, bool wholeSet, VerifyVerdict expected,
                     ChecksumReport* states = nullptr)
{
    test::ScriptedHost host;
    host.acceptNotices();
    const VerifyContext context{host, nullptr, nullptr, nullptr, states};
    EXPECT_EQ(wholeSet ? VerifySplitSet(path, context) : VerifySplitFile(path, context), expected);
    return host.shown.empty() ? "" : host.shown.back().text;
}

const std::string kSetOk =
    "The set of split files associated with this file has been verified successfully.";

TEST(Checksums, DamagedAndMissingPiecesAreNamedByJoinAndBothVerifications)
{
    for (const char* unit : {"BT", "LN"}) {
        SplitSet clean("data.bin", {unit});
        const Joined ok = join(clean, clean.temp.folder());
        EXPECT_EQ(ok.flag, 0);
        EXPECT_EQ(ok.note,
                  "checked " + std::to_string(clean.pieces) + " pieces against data.bin.sha256");
        for (int n = 1; n <= clean.pieces; ++n) {
            SCOPED_TRACE(std::string(unit) + " piece " + std::to_string(n));
            SplitSet set("data.bin", {unit});
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
    SplitSet set("data.bin");
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

// The pieces of a checked join take turns on two hashing threads: the joined file, the note
// and the damaged piece named are those of one thread, for sets of 1, 2 and 3 pieces.
TEST(Checksums, TwoHashingThreadsJudgeAsOne)
{
    const struct {
        double size;
        int damaged; // 0: none
    } cases[] = {{10000, 0}, {5000, 0}, {3400, 0}, {3400, 1}, {3400, 2}, {3400, 3}};
    for (const auto& c : cases) {
        std::pair<Joined, std::string> outcome[2];
        for (const int workers : {1, 2}) {
            const test::ForcedWorkers forced(workers);
            test::SplitRun set(test::patternBytes(10000), c.size, "BT");
            ASSERT_EQ(set.engine.StartSplit(), 0);
            if (c.damaged > 0)
                test::flipByte(set.piecePath(c.damaged), 100);
            const std::string into = set.temp.folder() + "joined/";
            fs::create_directory(into);
            Joined joined = join(set, into, false, 1);
            if (const auto at = joined.message.find(set.out); at != std::string::npos)
                joined.message.erase(at, set.out.size());
            outcome[workers - 1] = {
                joined, fs::exists(into + "data.bin") ? test::readFile(into + "data.bin") : "none"};
            EXPECT_EQ(joined.flag == 0, c.damaged == 0) << joined.message;
            EXPECT_EQ(outcome[workers - 1].second == set.content, c.damaged == 0);
        }
        const auto& [one, two] = outcome;
        EXPECT_EQ(std::tie(one.first.flag, one.first.note, one.first.message, one.second),
                  std::tie(two.first.flag, two.first.note, two.first.message, two.second))
            << c.size << " damaged " << c.damaged;
    }
}

TEST(ChecksumFile, ReadsWhatSha256sumReadsAndNeverANameTwice)
{
    const std::string h(64, 'a');
    const struct {
        std::string text;
        bool wellFormed;
        std::vector<std::string> names;
    } cases[] = {
        {h + "  a.001\n" + h + " *b.001\n", true, {"a.001", "b.001"}},
        {h + " a.001\r\n" + h + "\tb.001", true, {"a.001", "b.001"}}, // no final line break
        {"\xEF\xBB\xBF" + std::string(64, 'A') + "  a.001\n", true, {"a.001"}},
        {"SHA256 (a b.001) = " + h + "\n", true, {"a b.001"}},
        {checksumLine(h, "x\\y\nz\r.001"), true, {"x\\y\nz\r.001"}},
        {"# made by hand\n\n" + h + "  a.001\n \t\n", true, {"a.001"}},
        {h + "  a.001\n" + h + "  b.001\n" + h + "  a.001\n", false, {}},
        {"\\" + h + "  a\\x.001\n", false, {}},
        {h.substr(1) + "   a.001\n", false, {}},
        {h + "  " + std::string(600, 'n') + "\n", false, {}},
        {"data.bin: OK\n", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        const ChecksumListing listing = parseChecksumText(c.text);
        EXPECT_EQ(listing.wellFormed, c.wellFormed);
        if (!c.wellFormed)
            continue;
        std::vector<std::string> names;
        for (const ChecksumEntry& entry : listing.entries) {
            names.push_back(entry.name);
            EXPECT_EQ(entry.hex, h);
        }
        EXPECT_EQ(names, c.names);
    }
}

// A checksum file counts only when it lists the set's pieces and nothing else; however
// sha256sum writes or reads it (each spelling is the parser's test, all at once here). Any
// other file of its name is noted and left out.
TEST(Checksums, AFileNamedLikeTheChecksumFileIsUsedOnlyWhenItListsTheSetsPieces)
{
    enum class Use { Absent, Used, NotUsed, EarlierSplit };
    using Text = std::function<std::string(const std::string& own, const SplitSet& set)>;
    const auto replaced = [](std::string text, const std::string& what, const std::string& with) {
        for (auto at = text.find(what); at != std::string::npos;
             at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    const std::string other(64, 'b');
    const struct {
        const char* what;
        Text text; // nothing: no file of that name
        Use use;
    } cases[] = {
        {"no file", {}, Use::Absent},
        {"whole-file checksum",
         [](const std::string&, const SplitSet& set) {
             return test::commandOutput("cd '" + set.temp.folder() + "' && sha256sum data.bin");
         },
         Use::NotUsed},
        {"empty", [](const std::string&, const SplitSet&) { return std::string(); }, Use::NotUsed},
        {"a longer split's",
         [&](const std::string& own, const SplitSet&) { return own + other + "  data.bin.005\n"; },
         Use::NotUsed},
        {"oversized", {}, Use::NotUsed},
        {"a byte-order mark, upper case, binary marks, CR LF, no final line break",
         [&](const std::string& own, const SplitSet&) {
             std::string text = replaced(replaced(own, "  ", " *"), "\n", "\r\n");
             for (std::size_t line = 0; line < text.size(); line = text.find('\n', line) + 1)
                 for (std::size_t i = line; i < line + 64; ++i)
                     text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
             text.resize(text.size() - 2);
             return "\xEF\xBB\xBF" + text;
         },
         Use::Used},
        {"every piece's checksum other",
         [&](const std::string& own, const SplitSet& set) {
             std::string text = own;
             for (int n = 1; n <= set.pieces; ++n)
                 text = replaced(text, sha256OfFile(set.piecePath(n)), other);
             return text;
         },
         Use::EarlierSplit},
    };
    const std::string notice =
        "data.bin.sha256 does not list the pieces of this set; it was not used.";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SplitSet set("data.bin");
        const std::string file = set.out + "data.bin.sha256";
        const std::string own = test::readFile(file);
        fs::remove(file);
        if (c.text)
            test::writeFile(file, c.text(own, set));
        else if (c.use == Use::NotUsed) { // sparse: never read, never held in memory
            test::writeFile(file, "");
            fs::resize_file(file, std::uintmax_t{64} << 30);
        }
        const std::string into = set.temp.folder() + "joined/";
        fs::create_directory(into);
        const Joined joined = join(set, into);
        const std::string setText = verified(set.piecePath(1), true,
                                             c.use == Use::EarlierSplit ? VerifyVerdict::NotVerified
                                                                        : VerifyVerdict::Verified);
        if (c.use == Use::EarlierSplit) {
            const std::string refusal =
                "none of the pieces match data.bin.sha256: it may belong to an earlier split of "
                "this name";
            EXPECT_EQ(joined.message, refusal);
            EXPECT_NE(setText.find(refusal + "\n"), std::string::npos) << setText;
            continue;
        }
        EXPECT_EQ(joined.flag, 0) << joined.message;
        EXPECT_TRUE(test::readFile(into + "data.bin") == set.content);
        EXPECT_EQ(joined.note,
                  c.use == Use::Used ? "checked 4 pieces against data.bin.sha256" : "");
        const std::string noticeLine = c.use == Use::NotUsed ? "\n" + notice : "";
        EXPECT_EQ(joined.notice, c.use == Use::NotUsed ? notice : "");
        EXPECT_EQ(setText, kSetOk + noticeLine);
        EXPECT_EQ(verified(set.piecePath(2), false, VerifyVerdict::Verified),
                  "File " + set.piecePath(2)
                      + " is a valid split file. \nIt is split file #2 in a set of 4 file(s)."
                      + noticeLine);
    }
}

// A split never replaces a file it did not write, and a companion whose name the folder
// cannot hold is left out: the split succeeds and says what it left out and what it wrote.
// A join that deletes the pieces leaves such files too.
TEST(Companions, WhatASplitDidNotWriteIsKeptAndANameTooLongIsLeftOut)
{
    const auto leftOut = [](const std::string& name, const std::string& what) {
        return name + " already exists and was not written by Parcelo: " + what + ".";
    };
    const auto tooLong = [](const std::string& name, const std::string& what) {
        return name + " cannot be written, its name is too long: " + what + ".";
    };
    const std::string script = "no join script was written in its place";
    const std::string n247(247, 'n');
    const std::string n249(249, 'n');
    const std::string four = "Written: 4 pieces plus ";
    const struct {
        std::string name;     // of the file split
        std::string existing; // a file of the user's, "" for none
        std::vector<std::string> notices;
        std::string written; // the outcome's line
    } cases[] = {
        {"data.bin",
         "data.bin.sha256",
         {leftOut("data.bin.sha256", "no checksum file was written")},
         four + "1 recovery piece and join scripts for recipients."},
        {"data.bin",
         "data.bin.join.sh",
         {leftOut("data.bin.join.sh", script)},
         four + "data.bin.sha256, 1 recovery piece and a join script for recipients."},
        {"data.bin",
         "data.bin.join.cmd",
         {leftOut("data.bin.join.cmd", script)},
         four + "data.bin.sha256, 1 recovery piece and a join script for recipients."},
        {"data.bin",
         "data.bin.rec001",
         {leftOut("data.bin.rec001", "no recovery pieces were written")},
         four + "data.bin.sha256 and join scripts for recipients."},
        {n247,
         "",
         {tooLong(n247 + ".join.cmd", script)},
         four + n247 + ".sha256, 1 recovery piece and a join script for recipients."},
        {n249,
         "",
         {tooLong(n249 + ".rec001", "no recovery pieces were written"),
          tooLong(n249 + ".sha256", "no checksum file was written"),
          tooLong(n249 + ".join.sh", script), tooLong(n249 + ".join.cmd", script)},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.existing + " " + std::to_string(c.name.size()));
        const std::string mine = "the user's own " + c.existing;
        SplitSet set(c.name,
                     {.companions = {true, true, 1, false}, .setUp = [&](const std::string& out) {
                          if (!c.existing.empty())
                              test::writeFile(out + c.existing, mine);
                      }});
        EXPECT_EQ(set.status, 0) << set.engine.Message();
        EXPECT_EQ(set.engine.CompanionNotices(), c.notices);
        EXPECT_EQ(writtenSummary(set.engine.PieceCount(), set.engine.CompanionFiles()), c.written);
        const std::set<std::string> written = test::namesIn(set.out);
        EXPECT_EQ(written.size(), 8u - c.notices.size() + (c.existing.empty() ? 0 : 1));
        const Joined joined = join(set, set.temp.folder() + "out/", true);
        EXPECT_EQ(joined.flag, 0) << joined.message;
        if (!c.existing.empty()) {
            EXPECT_EQ(test::readFile(set.out + c.existing), mine);
            EXPECT_EQ(test::namesIn(set.out), (std::set<std::string>{c.name, c.existing}));
        }
    }
}

// Recovery pieces are optional, and a check reads every file a join would: the pieces
// against the recovery pieces' CRCs even without a checksum file, the recovery pieces
// against both.
TEST(Checksums, AWholeSetCheckNamesEveryDamagedFileAndDoesWithoutMissingRecoveryPieces)
{
    const auto flip = [](const std::string& path) {
        test::flipByte(path, test::readFile(path).size() - 3);
    };
    const struct {
        bool checksums;
        std::string file; // in the set's folder
        bool remove;      // else damage
        PieceState state;
    } cases[] = {
        {false, "data.bin.002", false, PieceState::Damaged},
        {false, "data.bin.rec001", false, PieceState::Damaged},
        {true, "data.bin.rec002", false, PieceState::Damaged},
        {true, "data.bin.rec002", true, PieceState::MissingOptional},
        {false, "data.bin.rec001", true, PieceState::MissingOptional},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + (c.checksums ? " with checksums" : "")
                     + (c.remove ? " removed" : ""));
        SplitSet set("data.bin", {.companions = {c.checksums, false, 2, false}});
        const std::string path = set.out + c.file;
        if (c.remove)
            fs::remove(path);
        else
            flip(path);
        const bool intact = c.state == PieceState::MissingOptional;
        ChecksumReport report;
        const std::string text =
            verified(set.piecePath(1), true,
                     intact ? VerifyVerdict::Verified : VerifyVerdict::NotVerified, &report);
        std::map<std::string, std::string> states;
        for (const ChecksumReport::Piece& piece : report.pieces)
            states[GetFileNameFromPath(piece.path)] = pieceStateWord(piece.state);
        std::map<std::string, std::string> expected;
        for (const char* name : {"data.bin.001", "data.bin.002", "data.bin.003", "data.bin.004",
                                 "data.bin.rec001", "data.bin.rec002"})
            expected[name] = "OK";
        expected[c.file] = pieceStateWord(c.state);
        EXPECT_EQ(states, expected);
        if (intact) {
            EXPECT_EQ(text, kSetOk);
            EXPECT_EQ(join(set, set.temp.folder()).flag, 0);
        } else {
            EXPECT_NE(text.find(damagedPieceText(path) + "\n"), std::string::npos) << text;
        }
    }

    // A stop while the recovery pieces are read (the last event of the check) ends it as a
    // stop between pieces does: no verdict, no message, the cancel recorded.
    SplitSet set("data.bin", {.companions = {false, false, 2, false}});
    test::FaultHost host;
    host.acceptNotices();
    ErrorState state;
    const VerifyContext context{host, nullptr, nullptr, &state};
    ASSERT_EQ(VerifySplitSet(set.piecePath(1), context), VerifyVerdict::Verified);
    const long events = host.eventsProcessed;
    ASSERT_GT(events, set.pieces); // the pieces are checked first, one event each
    host.shown.clear();
    host.cause({0, 0, events});
    EXPECT_EQ(VerifySplitSet(set.piecePath(1), context), VerifyVerdict::NoVerdict);
    EXPECT_TRUE(host.shown.empty());
    EXPECT_EQ(state.ErrorMessage(), "Process cancelled by the user.");
}

} // namespace
} // namespace parcelo
