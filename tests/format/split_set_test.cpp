#include "format/split_set.h"

#include <gtest/gtest.h>

using namespace parcelo;

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
