#include "format/line_reader.h"
#include "platform/file.h"
#include "platform/run_error.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace parcelo;

namespace {
// Each line with the ending the reader reports for it.
std::vector<std::string> linesOf(const std::string& content, std::size_t blockSize)
{
    test::TempFolder temp;
    test::writeFile(temp.file("t"), content);
    File file(temp.file("t"), File::Mode::Read);
    LineReader reader(file, blockSize);
    std::vector<std::string> lines;
    while (!reader.atEnd()) {
        const std::string line = reader.readLine();
        lines.push_back(line + "|" + reader.ending());
    }
    EXPECT_EQ(reader.consumed(), content.size());
    EXPECT_THROW(reader.readLine(), RunError);
    return lines;
}
} // namespace

TEST(LineReader, EndsLinesAtCrLfLoneCrOrLoneLfAndTellsWhichEnding)
{
    using Lines = std::vector<std::string>;
    // a block size of 1 puts every CR LF across a block boundary
    for (std::size_t block : {1u, 2u, 3u, 65536u}) {
        EXPECT_EQ(linesOf("a\r\nb\rc\nd", block), (Lines{"a|\r\n", "b|\r", "c|\n", "d|"}));
        EXPECT_EQ(linesOf("one\r\n", block), (Lines{"one|\r\n"}));
        EXPECT_EQ(linesOf("\n\r\n\n", block), (Lines{"|\n", "|\r\n", "|\n"}));
        EXPECT_EQ(linesOf("x\r\r\ny\n\r", block), (Lines{"x|\r", "|\r\n", "y|\n", "|\r"}));
        EXPECT_TRUE(linesOf("", block).empty());
    }
}
