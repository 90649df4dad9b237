#include "split_run.h"

#include "fake_bindings.h"
#include "set_writer.h"

#include <gtest/gtest.h>

using namespace parcelo;
using test::linePiece;
using test::SplitRun;

namespace {

std::string numberedLines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "line" + std::to_string(i % 10) + "\r\n";
    return text;
}

} // namespace

TEST(SplitByLines, WritesMarkedPiecesOfWholeLines)
{
    const std::string longLine(1999982, 'q'); // with the marker, exactly one copy buffer
    const std::vector<std::string> oneToFour = {"line1", "line2", "line3", "line4"};
    const struct {
        std::string content;
        double lines;
        std::vector<std::string> pieces;
    } cases[] = {
        {numberedLines(10),
         4,
         {linePiece(oneToFour), linePiece({"line5", "line6", "line7", "line8"}),
          linePiece({"line9", "line0"})}},
        {numberedLines(12), // no empty fourth piece
         4,
         {linePiece(oneToFour), linePiece({"line5", "line6", "line7", "line8"}),
          linePiece({"line9", "line0", "line1", "line2"})}},
        // CR LF and a lone CR end lines, a lone LF does not; the last line gets its CR LF
        {"a\r\nb\rc\nd\r\ne", 2, {linePiece({"a", "b"}), linePiece({"c\nd", "e"})}},
        {numberedLines(5), 2.5, {linePiece({"line1", "line2", "line3", "line4", "line5"})}},
        {"x\ny\nz\n", 1, {linePiece({"x\ny\nz\n"})}},
        // lines longer than the copy buffer go through in parts
        {longLine + longLine + "\r\ny", 1, {linePiece({longLine + longLine}), linePiece({"y"})}},
        {longLine + "\r\nz", 1, {linePiece({longLine}), linePiece({"z"})}},
        {longLine, 1, {linePiece({longLine})}},
    };
    for (const auto& c : cases) {
        SplitRun run(c.content, c.lines, "LN", "notes.txt");
        EXPECT_EQ(run.engine.StartSplit(), 0) << run.engine.Message();
        EXPECT_EQ(run.pieces(), c.pieces) << c.content.substr(0, 40);
        EXPECT_EQ(run.engine.PieceCount(), static_cast<int>(c.pieces.size()));
    }

    // each piece is listed with the length of the piece before it
    SplitRun listed(std::string(500, 'a') + "\r\nbbbbbbbbbb\r\nc\r\n", 2, "LN");
    test::FakeFileList list;
    listed.engine.SetFileList(&list);
    ASSERT_EQ(listed.engine.StartSplit(), 0);
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0].second, "0.98KB"); // (first line + CR LF) x 2 lines = 1004 bytes
    EXPECT_EQ(list.rows[1].second, "0.52KB"); // the first piece: 18 + 502 + 12 bytes
}
