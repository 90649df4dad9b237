#include "cli/arguments.h"
#include "cli/console_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

using namespace parcelo::cli;

namespace {
Arguments parsed(std::vector<std::string> args)
{
    const ParseResult result = parseArguments(args);
    EXPECT_TRUE(result.arguments.has_value()) << result.error;
    return result.arguments.value_or(Arguments{});
}
} // namespace

TEST(CliArguments, EachVerbTakesItsOwnOptions)
{
    const Arguments a = parsed({"split", "in.bin", "out", "--size", "1.5mb"});
    EXPECT_EQ(a.verb, Verb::Split);
    EXPECT_EQ(a.mode, SplitMode::Size);
    EXPECT_EQ(a.sizeText, "1.5");
    EXPECT_EQ(a.unit, "MB");
    const std::pair<const char*, const char*> units[] = {
        {"300B", "BT"}, {"2Kb", "KB"}, {"1GB", "GB"}, {"12", "BT"},
        {"2k", "KB"},   {"3M", "MB"},  {"1g", "GB"}};
    for (const auto& [size, unit] : units)
        EXPECT_EQ(parsed({"split", "a", "b", "--size", size}).unit, unit) << size;

    const Arguments lines = parsed({"split", "a", "b", "--lines", "2.5", "--yes"});
    EXPECT_EQ(lines.mode, SplitMode::Lines);
    EXPECT_EQ(lines.unit, "LN");
    EXPECT_TRUE(lines.yes);
    const Arguments pieces = parsed(
        {"split", "a", "b", "--pieces", "3", "--compress", "--level", "fast", "--delete-source"});
    EXPECT_EQ(pieces.mode, SplitMode::Pieces);
    EXPECT_EQ(pieces.sizeText, "3");
    EXPECT_TRUE(pieces.compress && pieces.deleteSource);
    EXPECT_EQ(pieces.level, CompressionLevelOption::HighestSpeed);
    EXPECT_EQ(parsed({"split", "a", "b", "--preset", "650mb"}).presetIndex, 5);
    EXPECT_EQ(parsed({"split", "a", "b", "--preset", "1GB"}).presetIndex, 6);

    const Arguments join =
        parsed({"join", "x.003", "out", "--no-decompress", "--delete-pieces", "--force"});
    EXPECT_EQ(join.verb, Verb::Join);
    EXPECT_TRUE(join.noDecompress && join.deletePieces && join.force);
    EXPECT_FALSE(parsed({"verify", "x.001"}).wholeSet);
    const Arguments set = parsed({"verify", "--set", "x.001"});
    EXPECT_TRUE(set.wholeSet);
    EXPECT_EQ(set.source, "x.001");
    EXPECT_EQ(parsed({"compress", "a", "b", "--level", "medium"}).level,
              CompressionLevelOption::MediumCompression);
}

// Options anywhere, "--name=value", "--" and short options, each read as its long form.
TEST(CliArguments, FollowsTheCommandLineConventions)
{
    const Arguments before = parsed({"-y", "--size=3MB", "split", "--", "-in", "--out"});
    EXPECT_TRUE(before.yes);
    EXPECT_EQ(before.sizeText + before.unit, "3MB");
    EXPECT_EQ(before.source + before.destination, "-in--out");
    const Arguments bundled = parsed({"join", "x.001", "-qy", "out", "--delete-pieces"});
    EXPECT_TRUE(bundled.quiet && bundled.yes && bundled.deletePieces);
    EXPECT_EQ(bundled.destination, "out");
    EXPECT_EQ(parsed({"split", "a", "--recovery=10%", "b", "--pieces=4"}).recovery, "10%");
    EXPECT_EQ(parsed({"split", "a", "--level=fast", "b", "--compress", "--pieces", "2"}).level,
              CompressionLevelOption::HighestSpeed);
    EXPECT_TRUE(parsed({"verify", "x.001", "--set"}).wholeSet);
    for (const auto& help : {std::vector<std::string>{"--help"}, {"split", "-h"}, {"help"}})
        EXPECT_EQ(parsed(help).verb, Verb::Help);
    EXPECT_EQ(parsed({"join", "--version"}).verb, Verb::Version);
}

TEST(CliArguments, UsageErrorsAreRefused)
{
    const std::vector<std::vector<std::string>> refused = {
        {"split", "a", "b", "--size", "MB"},
        {"split", "a", "b", "--size", "-1MB"},
        {"split", "a", "b", "--size", "1.5TB"},
        {"split", "a", "b"},                                  // no mode
        {"split", "a", "b", "--pieces", "2", "--lines", "3"}, // two modes
        {"split", "a", "b", "--pieces", "2", "--no-decompress"},
        {"split", "a", "--pieces", "2"},
        {"join", "x.003", "out", "--size", "1MB"},
        {"join", "x.003", "out", "--compress"},
        {"join", "x.003", "out", "--level", "best"}, // join never compresses
        {"verify", "x.001", "extra"},
        {"verify", "--set"},
        {"compress", "a", "b", "--delete-pieces"},
        {"split", "a", "b", "--lines", "3", "--recovery", "2"}, // line sets have none
        {"split", "a", "b", "--pieces", "2", "--recovery="},    // the split checks the count
        {"join", "x.003", "out", "--recovery", "2"},
        {"repair"},
        {"split", "a", "b", "c", "--pieces", "2"},
        {"split", "a", "b", "--", "--pieces", "2"}, // only words after "--"
        {"split", "a", "b", "--pieces"},
        {"split", "a", "b", "--pieces", "2", "--yes=1"},
        {"split", "a", "b", "--pieces", "2", "-x"},
        {"split", "a", "b", "--pieces", "2", "--set"},
        {"split", "a", "b", "--pieces", "2", "--force"}, // only a join replaces on request
    };
    for (const auto& args : refused)
        EXPECT_FALSE(parseArguments(args).arguments.has_value()) << args.size() << args.back();

    // the messages name the problem and every choice
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "missing command"},
        {{"split", "onlyone"}, "split: missing arguments"},
        {{"split", "a", "b", "--pieces", "2", "--level", "max"},
         "--level takes best, medium or fast"},
        {{"split", "a", "b", "--size", "1TB"},
         "--size takes a byte count or a number with a unit B, KB, MB or GB, such as 1.5MB"},
        {{"split", "a", "b", "--preset", "3MB"},
         "--preset takes 1.38MB, 2.88MB, 5MB, 10MB, 100MB, 650MB or 1GB"},
    };
    for (const auto& [args, error] : cases)
        EXPECT_EQ(parseArguments(args).error, error);
}

TEST(ConsoleHost, AnswersByKindWithoutAPersonAndNeverAsksForADiskAgain)
{
    using namespace parcelo;
    // the kind, its buttons, the answer with --yes and the one without a terminal
    const std::tuple<Question, Buttons, Answer, Answer> cases[] = {
        {Question::DiskFull, Buttons::OkCancel, Answer::Cancel, Answer::Cancel},
        {Question::InsertDisk, Buttons::OkCancel, Answer::Cancel, Answer::Cancel},
        {Question::ConfirmCancel, Buttons::YesNo, Answer::Yes, Answer::Yes},
        {Question::DeletePieces, Buttons::YesNo, Answer::Yes, Answer::No},
        {Question::DeleteSource, Buttons::YesNo, Answer::Yes, Answer::No},
        {Question::DisketteCount, Buttons::YesNo, Answer::Yes, Answer::No},
        {Question::Notice, Buttons::Ok, Answer::Ok, Answer::Ok},
        {Question::Replace, Buttons::YesNo, Answer::Yes, Answer::No},
    };
    std::FILE* notATerminal = std::tmpfile();
    ConsoleHost yes(AnswerPolicy::AlwaysYes, notATerminal);
    ConsoleHost nobody(AnswerPolicy::AskOnTerminal, notATerminal);
    for (const auto& [kind, buttons, withYes, withoutTerminal] : cases) {
        EXPECT_EQ(yes.message(kind, "q", buttons, Icon::Question), withYes);
        EXPECT_EQ(nobody.message(kind, "q", buttons, Icon::Question), withoutTerminal);
    }
    nobody.setReplaceFiles(true); // --force
    EXPECT_EQ(nobody.message(Question::Replace, "q", Buttons::YesNo, Icon::Question), Answer::Yes);
    std::fclose(notATerminal);
}
