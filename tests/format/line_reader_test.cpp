#include "format/line_reader.h"
#include "platform/file.h"
#include "platform/run_error.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace parcelo;

namespace {
std::vector<std::string> linesOf(const std::string& content, std::size_t blockSize)
{
    test::TempFolder temp;
    test::writeFile(temp.file("t"), content);
    File file(temp.file("t"), File::Mode::Read);
    LineReader reader(file, blockSize);
    std::vector<std::string> lines;
    while (!reader.atEnd())
        lines.push_back(reader.readLine());
    EXPECT_EQ(reader.consumed(), content.size());
    EXPECT_THROW(reader.readLine(), RunError);
    return lines;
}
} // namespace

TEST(LineReader, EndsLinesAtCrLfOrLoneCrButNotAtLoneLf)
{
    // a block size of 1 puts every CR LF across a block boundary
    for (std::size_t block : {1u, 2u, 3u, 65536u}) {
        EXPECT_EQ(linesOf("a\r\nb\rc\nd", block), (std::vector<std::string>{"a", "b", "c\nd"}));
        EXPECT_EQ(linesOf("one\r\n", block), (std::vector<std::string>{"one"}));
        EXPECT_EQ(linesOf("\r\n\r\n", block), (std::vector<std::string>{"", ""}));
        EXPECT_EQ(linesOf("x\r\r\ny", block), (std::vector<std::string>{"x", "", "y"}));
        EXPECT_TRUE(linesOf("", block).empty());
    }
}
