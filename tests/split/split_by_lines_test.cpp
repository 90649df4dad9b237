#include "split_run.h"

#include "fake_bindings.h"

#include <gtest/gtest.h>

using namespace parcelo;
using test::SplitRun;

namespace {

// "line<n>" for n = first to last, the last digit of n only, each ended by CR LF.
std::string numbered(int first, int last)
{
    std::string text;
    for (int i = first; i <= last; ++i)
        text += "line" + std::to_string(i % 10) + "\r\n";
    return text;
}

std::string marked(const std::string& text)
{
    return std::string(kLineMarker) + kCrLf + text;
}

} // namespace

TEST(SplitByLines, WritesMarkedPiecesOfWholeLinesWithTheirOwnEndings)
{
    const std::string longLine(1999982, 'q'); // with the marker, exactly one copy buffer
    const auto piece = [](int first, int last) { return marked(numbered(first, last)); };
    const struct {
        std::string content;
        double lines;
        std::vector<std::string> pieces;
    } cases[] = {
        {numbered(1, 10), 4, {piece(1, 4), piece(5, 8), piece(9, 10)}},
        {numbered(1, 12), 4, {piece(1, 4), piece(5, 8), piece(9, 12)}}, // no empty fourth piece
        // CR LF, a lone CR and a lone LF end lines, each kept as it is; so is a last line
        // without an ending
        {"a\r\nb\rc\nd\r\ne", 2, {marked("a\r\nb\r"), marked("c\nd\r\n"), marked("e")}},
        {numbered(1, 5), 2.5, {piece(1, 5)}},
        {"x\ny\n\nz\n", 2, {marked("x\ny\n"), marked("\nz\n")}},
        // lines longer than the copy buffer go through in parts
        {longLine + longLine + "\r\ny", 1, {marked(longLine + longLine + "\r\n"), marked("y")}},
        {longLine + "\nz", 1, {marked(longLine + "\n"), marked("z")}},
        {longLine, 1, {marked(longLine)}},
    };
    for (const auto& c : cases) {
        SplitRun run(c.content, c.lines, "LN", "notes.txt");
        EXPECT_EQ(run.engine.StartSplit(), 0) << run.engine.Message();
        EXPECT_EQ(run.pieces(), c.pieces) << c.content.substr(0, 40);
    }

    // each piece is listed with the length of the piece before it
    SplitRun listed(std::string(500, 'a') + "\r\nbbbbbbbbbb\r\nc\r\n", 2, "LN");
    test::FakeFileList list;
    listed.engine.SetFileList(&list);
    ASSERT_EQ(listed.engine.StartSplit(), 0);
    ASSERT_EQ(list.rows.size(), 5u); // and the checksum file and join scripts
    EXPECT_EQ(list.kinds[1], FileRowKind::Piece);
    EXPECT_EQ(list.kinds[2], FileRowKind::ChecksumFile);
    EXPECT_EQ(list.rows[0].second, "0.98KB"); // (first line + CR LF) x 2 lines = 1004 bytes
    EXPECT_EQ(list.rows[1].second, "0.52KB"); // the first piece: 18 + 502 + 12 bytes
}

TEST(SplitByLines, ReplacesAnEarlierLongerLineSetAndIsNeverStoppedByItsEstimate)
{
    // Pieces of an earlier split under the same name would join onto the new set; a file
    // of that name that is no line piece is the user's and stays.
    SplitRun run("a\nb\n", 1, "LN", "notes.txt");
    test::writeFile(run.piecePath(3), marked("old\r\n"));
    test::writeFile(run.piecePath(12), marked("old\r\n"));
    test::writeFile(run.piecePath(5), "not a piece\r\n");
    ASSERT_EQ(run.engine.StartSplit(), 0) << run.engine.Message();
    EXPECT_EQ(run.pieces(), (std::vector<std::string>{marked("a\n"), marked("b\n")}));
    EXPECT_FALSE(fileExists(run.piecePath(12)));
    EXPECT_EQ(test::readFile(run.piecePath(5)), "not a piece\r\n");

    // A short first line makes the estimate far larger than the piece count.
    SplitRun shortFirst("a\r\n" + std::string(200000, 'b'), 1, "LN");
    EXPECT_EQ(shortFirst.engine.StartSplit(), 0) << shortFirst.engine.Message();
    EXPECT_EQ(shortFirst.engine.PieceCount(), 2);
}
