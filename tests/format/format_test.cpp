#include "format/file_list.h"
#include "format/line_reader.h"
#include "format/numbers.h"
#include "format/set_pieces.h"
#include "format/split_choices.h"
#include "format/split_set.h"
#include "platform/file.h"
#include "platform/run_error.h"

#include "fake_bindings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

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

TEST(Numbers, TextBoxNumbersAndMessageNumbers)
{
    EXPECT_EQ(parseNumber(" 2.9 "), 2.9);
    EXPECT_EQ(parseNumber("-3"), -3.0);
    EXPECT_EQ(parseNumber("+4"), 4.0);
    EXPECT_FALSE(parseNumber("abc"));
    EXPECT_FALSE(parseNumber(""));
    EXPECT_FALSE(parseNumber("1e5"));
    EXPECT_FALSE(parseNumber("4MB"));
    EXPECT_EQ(numberText(1.46484375), "1.46484375"); // as the split messages show sizes
}

// Recovery pieces as the Split pane, parcelo-cli and the configuration file take them.
TEST(SplitChoices, RecoveryIsACountUpToTheMostPiecesOrAPercentageUpTo100)
{
    const std::pair<const char*, std::optional<std::pair<int, bool>>> cases[] = {
        {"0", {{0, false}}},
        {"2", {{2, false}}},
        {"32767", {{32767, false}}},
        {"10%", {{10, true}}},
        {"100%", {{100, true}}},
        {"32768", {}},
        {"101%", {}},
        {"", {}},
        {"%", {}},
        {"x", {}},
        {"-1", {}},
        {"1.5", {}},
        {" 2", {}},
        {"2%%", {}},
        {"000002", {}},
    };
    for (const auto& [text, expected] : cases) {
        const auto choice = parseRecoveryChoice(text);
        EXPECT_EQ(choice ? std::optional(std::pair(choice->count, choice->percent)) : std::nullopt,
                  expected)
            << text;
    }
}

// What a shown size reads as (the texts of message boxes are the hosts' tests; the kind
// check of the bindings is the split engine's, with bindings of the wrong kinds).
TEST(FileListSizes, FollowTheDisplayUnitOrKilobytesWhenThereIsNone)
{
    EXPECT_EQ(formatListSize(4, SizeUnit::Bytes), "4Bytes");
    EXPECT_EQ(formatListSize(0, SizeUnit::Bytes), "Bytes");
    EXPECT_EQ(formatListSize(2048, SizeUnit::Kilobytes), "2.00KB");
    EXPECT_EQ(formatListSize(2048, SizeUnit::Lines), "2.00KB");
    EXPECT_EQ(formatListSize(1447035, SizeUnit::Megabytes), "1.38MB");
    EXPECT_EQ(formatListSize(2000, SizeUnit::Megabytes), "1.95KB");
    EXPECT_EQ(formatListSize(400, SizeUnit::Megabytes), "0.00MB");
    EXPECT_EQ(formatListSize(1073741824, SizeUnit::Gigabytes), "1GB");
    EXPECT_EQ(formatListSize(3019899, SizeUnit::Gigabytes), "2.88MB");
    EXPECT_EQ(formatListSize(1500.0 * 1024 * 1024, SizeUnit::Gigabytes), "1.46GB");
    EXPECT_EQ(unitOfCode("XX"), std::nullopt); // the documented unit property: none

    // A list with no unit yet takes kilobytes.
    test::FakeFileList list;
    DisplayUnit unit;
    AddFileToList(&list, "/out/a.001", 2048, unit);
    EXPECT_EQ(unit, SizeUnit::Kilobytes);
    EXPECT_EQ(list.rows, (decltype(list.rows){{"/out/a.001", "2.00KB"}}));
    EXPECT_EQ(list.lastScrolled, 0);

    AddFileToList(nullptr, "/out/a.002", 1, unit); // no list: skipped, no error
}

// Extensions pad to three digits only; the header is three little-endian integers.
TEST(SplitSetFormat, PieceNamesAndHeaders)
{
    EXPECT_EQ(SplitFileExtension(10), ".010");
    EXPECT_EQ(SplitFileExtension(32767), ".32767");
    EXPECT_EQ(pieceName("/out/", "report.pdf.zip", 1000), "/out/report.pdf.zip.1000");

    const auto plain = encodePieceHeader({PieceSignaturePlain, 4, 2});
    const unsigned char expectedPlain[] = {0x20, 0xE0, 0x33, 0x5F, 4, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), expectedPlain));

    const auto compressed = encodePieceHeader({PieceSignatureCompressed, 300, 258});
    const unsigned char expectedCompressed[] = {0x1F, 0xE0, 0x33, 0x5F, 0x2C, 1, 0, 0, 2, 1, 0, 0};
    EXPECT_TRUE(std::equal(compressed.begin(), compressed.end(), expectedCompressed));

    const PieceHeader back = decodePieceHeader(compressed.data());
    EXPECT_TRUE(back.hasByteSignature());
    EXPECT_TRUE(back.isCompressed());
    EXPECT_EQ(back.count, 300);
    EXPECT_EQ(back.number, 258);

    const unsigned char text[] = {'P', 'c', 'x', 'L', 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(decodePieceHeader(text).hasByteSignature());
}

// Other tools' pieces: the set runs from the lowest number there (0 or 1) to the highest,
// in the spelling with the fewest digits, whichever piece is picked.
TEST(SplitSetFormat, OtherToolsNumberedPiecesAreFoundFromAnyOne)
{
    EXPECT_EQ(numberedExtension(7, 1), ".7");
    EXPECT_EQ(numberedExtension(0, 3), ".000");
    EXPECT_EQ(numberedExtension(1000, 3), ".1000");
    const struct {
        std::vector<std::string> files;
        std::string picked;
        std::optional<std::pair<int, int>> range; // first, last; nothing: no set
        int width;
    } cases[] = {
        {{"d.000", "d.001", "d.002"}, "d.001", std::pair{0, 2}, 3},
        {{"d.001", "d.002", "d.007"}, "d.007", std::pair{1, 7}, 3}, // gaps are missing pieces
        {{"d.003", "d.004"}, "d.004", std::pair{1, 4}, 3},
        {{"d.1", "d.2", "d.10", "d.11"}, "d.10", std::pair{1, 11}, 1},
        {{"d.01", "d.02", "d.001"}, "d.02", std::pair{1, 2}, 2},
        {{"d.01", "d.02", "d.001"}, "d.001", std::nullopt, 0}, // not spelled as the set
        {{"d.txt", "d.sha256"}, "d.txt", std::nullopt, 0},
        {{"d.1234567"}, "d.1234567", std::nullopt, 0},
        {{"d.40000"}, "d.40000", std::nullopt, 0}, // beyond the largest set
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picked);
        test::TempFolder temp;
        for (const std::string& name : c.files)
            test::writeFile(temp.file(name), "x");
        const auto found = numberedPiecesBeside(temp.file(c.picked));
        ASSERT_EQ(found.has_value(), c.range.has_value());
        if (!found)
            continue;
        EXPECT_EQ(std::pair(found->first, found->last), *c.range);
        EXPECT_EQ(found->width, c.width);
        EXPECT_EQ(found->path(1), temp.file("d") + numberedExtension(c.range->first, c.width));
    }
}
