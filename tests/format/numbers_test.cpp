#include "format/numbers.h"

#include <gtest/gtest.h>

using namespace parcelo;

TEST(Numbers, TextBoxNumbersAndMessageNumbers)
{
    EXPECT_EQ(parseNumber(" 2.9 "), 2.9);
    EXPECT_EQ(parseNumber("-3"), -3.0);
    EXPECT_EQ(parseNumber("+4"), 4.0);
    EXPECT_FALSE(parseNumber("abc"));
    EXPECT_FALSE(parseNumber(""));
    EXPECT_FALSE(parseNumber("1e5"));
    EXPECT_FALSE(parseNumber("4MB"));
    EXPECT_EQ(numberText(1447034.88), "1447034.88");
    EXPECT_EQ(numberText(4), "4");
    EXPECT_EQ(numberText(1.46484375), "1.46484375");
}
