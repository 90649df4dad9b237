#include "cli/arguments.h"
#include "cli/console_host.h"
#include "platform/job_progress.h"

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
    EXPECT_EQ(a.unit, SizeUnit::Megabytes);
    const std::pair<const char*, SizeUnit> units[] = {
        {"300B", SizeUnit::Bytes},  {"2Kb", SizeUnit::Kilobytes}, {"1GB", SizeUnit::Gigabytes},
        {"12", SizeUnit::Bytes},    {"2k", SizeUnit::Kilobytes},  {"3M", SizeUnit::Megabytes},
        {"1g", SizeUnit::Gigabytes}};
    for (const auto& [size, unit] : units)
        EXPECT_EQ(parsed({"split", "a", "b", "-s", size}).unit, unit) << size;

    const Arguments lines = parsed({"split", "a", "b", "-l", "2.5", "--yes"});
    EXPECT_EQ(lines.mode, SplitMode::Lines);
    EXPECT_EQ(lines.unit, SizeUnit::Lines);
    EXPECT_TRUE(lines.yes);
    const Arguments pieces = parsed({"split", "a", "b", "-n", "3", "--compress", "--level", "fast",
                                     "--delete-source", "--no-sync"});
    EXPECT_EQ(pieces.mode, SplitMode::Pieces);
    EXPECT_EQ(pieces.sizeText, "3");
    EXPECT_TRUE(pieces.compress && pieces.deleteSource && pieces.noSync);
    EXPECT_EQ(pieces.level, CompressionLevelOption::HighestSpeed);
    EXPECT_EQ(parsed({"split", "a", "b", "--preset", "650mb"}).presetIndex, 5);
    EXPECT_EQ(parsed({"split", "a", "b", "--preset", "1GB"}).presetIndex, 6);
    EXPECT_EQ(parsed({"split", "a", "b", "--preset", "4.7gb", "--plain"}).presetIndex, 11);
    EXPECT_TRUE(parsed({"split", "a", "b", "--preset", "4GB", "--plain"}).plain);

    const Arguments join = parsed(
        {"join", "x.003", "out", "--no-decompress", "--delete-pieces", "--force", "--plain"});
    EXPECT_EQ(join.verb, Verb::Join);
    EXPECT_TRUE(join.noDecompress && join.deletePieces && join.force && join.plain);
    EXPECT_FALSE(parsed({"verify", "x.001"}).wholeSet);
    const Arguments set = parsed({"verify", "--set", "x.001"});
    EXPECT_TRUE(set.wholeSet);
    EXPECT_EQ(set.source, "x.001");
    EXPECT_EQ(parsed({"compress", "a", "b", "--level", "medium"}).level,
              CompressionLevelOption::MediumCompression);
    EXPECT_TRUE(parsed({"repair", "x.001", "--no-sync"}).noSync);
}

// Options anywhere, "--name=value", "--" and short options, bundled or with their value.
TEST(CliArguments, FollowsTheCommandLineConventions)
{
    const Arguments before = parsed({"-y", "--size=3MB", "split", "--", "-in", "--out"});
    EXPECT_TRUE(before.yes);
    EXPECT_EQ(before.sizeText, "3");
    EXPECT_EQ(before.unit, SizeUnit::Megabytes);
    EXPECT_EQ(before.source + before.destination, "-in--out");
    const Arguments bundled = parsed({"join", "x.001", "-qy", "out", "--delete-pieces"});
    EXPECT_TRUE(bundled.quiet && bundled.yes && bundled.deletePieces);
    EXPECT_EQ(bundled.destination, "out");
    for (const auto& size : {std::vector<std::string>{"-s3M"}, {"-qs", "3M"}, {"-qs3M"}})
        EXPECT_EQ(parsed({"split", "a", "b", size[0], size.size() > 1 ? size[1] : "-y"}).unit,
                  SizeUnit::Megabytes);
    EXPECT_EQ(parsed({"split", "a", "--recovery=10%", "b", "--pieces=4"}).recovery, "10%");
    EXPECT_TRUE(parsed({"verify", "x.001", "--set"}).wholeSet);
    EXPECT_EQ(parsed({"join", "-", "out"}).source, "-"); // "-" is a word
    const std::pair<std::vector<std::string>, Verb> help[] = {
        {{"--help"}, Verb::Help},
        {{"split", "-h"}, Verb::Split},
        {{"help"}, Verb::Help},
        {{"help", "repair"}, Verb::Repair},
        {{"-n", "2", "join", "-h"}, Verb::Join},
    };
    for (const auto& [args, topic] : help) {
        EXPECT_EQ(parsed(args).verb, Verb::Help);
        EXPECT_EQ(parsed(args).helpTopic, topic);
    }
    EXPECT_EQ(parsed({"join", "-V"}).verb, Verb::Version);
}

// A shell pattern gives join every piece of a set (and perhaps its companions): the set
// is the one they belong to, picked by its first piece.
TEST(CliArguments, JoinTakesThePiecesOfOneSet)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"p/a.bin.001", "p/a.bin.002", "p/a.bin.003"}, "p/a.bin.001"},
        {{"p/a.bin.join.cmd", "p/a.bin.join.sh", "p/a.bin.rec001", "p/a.bin.sha256", "p/a.bin.002"},
         "p/a.bin.002"},
        {{"p/a.bin.sha256"}, "p/a.bin.sha256"},
        {{"p/a.bin.001", "p/b.bin.001"}, "join: p/a.bin.001 and p/b.bin.001 are not of one set"},
        {{"p/a.bin.001", "q/a.bin.002"}, "join: p/a.bin.001 and q/a.bin.002 are not of one set"},
        {{"p/a.bin.001", "p/a.bin.zip.002"},
         "join: p/a.bin.001 and p/a.bin.zip.002 are not of one set"},
        {{"notes.txt", "todo.txt"}, "join: notes.txt and todo.txt are not of one set"},
    };
    for (const auto& [pieces, picked] : cases) {
        std::vector<std::string> args = {"join"};
        args.insert(args.end(), pieces.begin(), pieces.end());
        args.push_back("out");
        const ParseResult result = parseArguments(args);
        EXPECT_EQ(result.arguments ? result.arguments->source : result.error, picked);
    }
}

TEST(CliArguments, UsageErrorsNameTheProblem)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "missing command"},
        {{"-q"}, "missing command"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"split", "onlyone"}, "missing arguments: split takes SOURCE DESTFOLDER"},
        {{"split", "a", "b", "c", "-n", "2"}, "too many arguments: split takes SOURCE DESTFOLDER"},
        {{"verify", "x.001", "extra"}, "too many arguments: verify takes PIECE"},
        {{"join", "out"}, "missing arguments: join takes PIECE... DESTFOLDER"},
        {{"repair"}, "missing arguments: repair takes PIECE"},
        {{"split", "a", "b", "--", "--pieces", "2"},
         "too many arguments: split takes SOURCE "
         "DESTFOLDER"}, // only words after "--"
        {{"--bogus"}, "unrecognized option '--bogus'"},
        {{"split", "a", "b", "--bogus=1"}, "unrecognized option '--bogus=1'"},
        {{"split", "a", "b", "-x"}, "invalid option -- 'x'"},
        {{"split", "a", "b", "--pieces"}, "option '--pieces' requires an argument"},
        {{"split", "a", "b", "-n"}, "option requires an argument -- 'n'"},
        {{"split", "a", "b", "-n", "2", "--yes=1"}, "option '--yes' doesn't allow an argument"},
        {{"split", "a", "b"}, "split takes exactly one of --size, --pieces, --lines, --preset"},
        {{"split", "a", "b", "-n", "2", "-l", "3"},
         "split takes exactly one of --size, --pieces, --lines, --preset"},
        {{"split", "a", "b", "-n", "2", "--no-decompress"}, "split does not take --no-decompress"},
        {{"join", "x.003", "out", "-s", "1MB"}, "join does not take -s"},
        {{"join", "x.003", "out", "--level", "best"}, "join does not take --level"},
        {{"verify", "x.001", "--no-sync"}, "verify does not take --no-sync"},
        {{"split", "a", "b", "-l", "3", "--recovery", "2"},
         "--recovery needs a split by size or pieces: line sets have no recovery pieces"},
        {{"split", "a", "b", "-n", "2", "--recovery="}, // the split checks the count
         "--recovery takes a number of recovery pieces or a percentage, such as 10%"},
        {{"split", "a", "b", "-n", "2", "--level", "max"}, "--level takes best, medium or fast"},
        {{"split", "a", "b", "-n", "two"}, "--pieces takes a whole number"},
        {{"split", "-", "b", "-s", "1"},
         "a split of standard input (SOURCE -) takes --name NAME, the name of its pieces"},
        {{"split", "a", "b", "-s", "1", "--name", "x"},
         "--name names the pieces of standard input: give - as SOURCE"},
        {{"split", "-", "b", "-s", "1", "--name", "../x"},
         "--name takes a file name without a folder"},
        {{"split", "a", "b", "-l", "-3"}, "--lines takes a number"},
        {{"split", "a", "b", "--size", "1.5TB"},
         "--size takes a byte count or a number with a unit B, KB, MB or GB, such as 1.5MB"},
        {{"split", "a", "b", "--size", "-1MB"},
         "--size takes a byte count or a number with a unit B, KB, MB or GB, such as 1.5MB"},
        {{"split", "a", "b", "--preset", "3MB"},
         "--preset takes 1.38MB, 2.88MB, 5MB, 10MB, 100MB, 650MB, 1GB, 18MB, 700MB, 2GB, 4GB, "
         "4.7GB or 25GB"},
    };
    for (const auto& [args, error] : cases) {
        const ParseResult result = parseArguments(args);
        EXPECT_FALSE(result.arguments.has_value()) << error;
        EXPECT_EQ(result.error, error);
    }
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

// However narrow the terminal, the line fits: the name gives way first, in its middle.
TEST(ConsoleHost, ProgressLineFitsTheTerminal)
{
    parcelo::ProgressReport report{"Splitting", "holiday.avi", 400u << 20, 1u << 30, 0, -1};
    const std::string wide = "\xE5\xA4\xA7"; // one character, two columns
    const std::tuple<std::string, int, std::string> cases[] = {
        {"holiday.avi", 80, "Splitting holiday.avi: 400 MB of 1.00 GB (39%)"},
        {"holiday.avi", 45, "Splitting holi...avi: 400 MB of 1.00 GB (39%)"},
        {"holiday.avi", 40, "Splitting h...i: 400 MB of 1.00 GB (39%)"},
        {"holiday.avi", 38, "Splitting : 400 MB of 1.00 GB (39%)"},
        {"holiday.avi", 20, "Splitting : 400 MB o"},
        {"a\nb\033[2J.avi", 80, "Splitting a?b?[2J.avi: 400 MB of 1.00 GB (39%)"},
        {wide + wide + wide + wide, 42,
         "Splitting " + wide + "..." + wide + ": 400 MB of 1.00 GB (39%)"},
    };
    for (const auto& [name, columns, line] : cases) {
        report.name = name;
        EXPECT_EQ(fittedProgressLine(report, columns), line) << columns;
    }
}
