#include "cli/arguments.h"

#include <gtest/gtest.h>

using namespace parcelo::cli;

namespace {
Arguments parsed(std::vector<std::string> args)
{
    const ParseResult result = parseArguments(args);
    EXPECT_TRUE(result.arguments.has_value()) << result.error;
    return result.arguments.value_or(Arguments{});
}

bool refused(std::vector<std::string> args)
{
    return !parseArguments(args).arguments.has_value();
}
} // namespace

TEST(CliArguments, SizesTakeAUnitSuffixInAnyCase)
{
    const Arguments a = parsed({"split", "in.bin", "out", "--size", "1.5mb"});
    EXPECT_EQ(a.verb, Verb::Split);
    EXPECT_EQ(a.mode, SplitMode::Size);
    EXPECT_EQ(a.sizeText, "1.5");
    EXPECT_EQ(a.unit, "MB");
    EXPECT_EQ(parsed({"split", "a", "b", "--size", "300B"}).unit, "BT");
    EXPECT_EQ(parsed({"split", "a", "b", "--size", "2Kb"}).unit, "KB");
    EXPECT_EQ(parsed({"split", "a", "b", "--size", "1GB"}).unit, "GB");
    EXPECT_TRUE(refused({"split", "a", "b", "--size", "12"}));
    EXPECT_TRUE(refused({"split", "a", "b", "--size", "MB"}));
    EXPECT_TRUE(refused({"split", "a", "b", "--size", "-1MB"}));
    EXPECT_TRUE(refused({"split", "a", "b", "--size", "1.5TB"}));
}

TEST(CliArguments, SplitModesAndOptions)
{
    const Arguments lines = parsed({"split", "a", "b", "--lines", "2.5", "--yes"});
    EXPECT_EQ(lines.mode, SplitMode::Lines);
    EXPECT_EQ(lines.unit, "LN");
    EXPECT_TRUE(lines.yes);
    const Arguments pieces = parsed(
        {"split", "a", "b", "--pieces", "3", "--compress", "--level", "fast", "--delete-source"});
    EXPECT_EQ(pieces.mode, SplitMode::Pieces);
    EXPECT_EQ(pieces.sizeText, "3");
    EXPECT_TRUE(pieces.compress);
    EXPECT_EQ(pieces.level, "fast");
    EXPECT_TRUE(pieces.deleteSource);
    EXPECT_EQ(parsed({"split", "a", "b", "--preset", "650mb"}).presetIndex, 5);
    EXPECT_EQ(parsed({"split", "a", "b", "--preset", "1GB"}).presetIndex, 6);

    EXPECT_TRUE(refused({"split", "a", "b"}));                                  // no mode
    EXPECT_TRUE(refused({"split", "a", "b", "--pieces", "2", "--lines", "3"})); // two modes
    EXPECT_TRUE(refused({"split", "a", "b", "--preset", "3MB"}));
    EXPECT_TRUE(refused({"split", "a", "b", "--pieces", "2", "--level", "max"}));
    EXPECT_TRUE(refused({"split", "a", "b", "--pieces", "2", "--no-decompress"}));
    EXPECT_TRUE(refused({"split", "a", "--pieces", "2"}));
}

TEST(CliArguments, JoinVerifyCompressAndHelp)
{
    const Arguments join = parsed({"join", "x.003", "out", "--no-decompress", "--delete-pieces"});
    EXPECT_EQ(join.verb, Verb::Join);
    EXPECT_TRUE(join.noDecompress);
    EXPECT_TRUE(join.deletePieces);
    EXPECT_TRUE(refused({"join", "x.003", "out", "--size", "1MB"}));
    EXPECT_TRUE(refused({"join", "x.003", "out", "--compress"}));

    EXPECT_FALSE(parsed({"verify", "x.001"}).wholeSet);
    const Arguments set = parsed({"verify", "--set", "x.001"});
    EXPECT_TRUE(set.wholeSet);
    EXPECT_EQ(set.source, "x.001");
    EXPECT_TRUE(refused({"verify", "x.001", "extra"}));
    EXPECT_TRUE(refused({"verify", "--set"}));

    EXPECT_EQ(parsed({"compress", "a", "b", "--level", "medium"}).level, "medium");
    EXPECT_TRUE(refused({"compress", "a", "b", "--delete-pieces"}));
    EXPECT_EQ(parsed({"--help"}).verb, Verb::Help);
    EXPECT_EQ(parsed({}).verb, Verb::Help);
    EXPECT_TRUE(refused({"explode", "a"}));
}
