#include "app/version.h"
#include "temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace parcelo::test;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The shell words that start parcelo-cli with these arguments, each one quoted.
std::string commandFor(const std::vector<std::string>& arguments)
{
    std::string command = "'" PARCELO_CLI "'";
    for (const auto& argument : arguments) {
        command += " '";
        command += argument;
        command += '\'';
    }
    return command;
}

// Text that deflates well, but slowly at the best level, unlike random bytes.
std::string compressibleText(std::size_t size)
{
    std::string text;
    for (int line = 0; text.size() < size; ++line)
        text +=
            "line " + std::to_string(line) + " of " + std::to_string(line * 7919LL % 104729) + "\n";
    text.resize(size);
    return text;
}

int exitStatus(int raw)
{
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// parcelo-cli in a temporary folder with "pieces/" and "joined/" in it.
class CliRunTest : public ::testing::Test {
protected:
    CliRunTest()
    {
        fs::create_directory(pieces);
        fs::create_directory(joined);
    }
    // Runs parcelo-cli with no terminal on standard input. The shell commands of `setUp`,
    // when given, run first in the same subshell.
    CliRun run(const std::vector<std::string>& arguments, const std::string& setUp = {}) const
    {
        const std::string command = "(" + setUp + " " + commandFor(arguments) + ") </dev/null >'"
                                    + temp.file("stdout.txt") + "' 2>'" + temp.file("stderr.txt")
                                    + "'";
        return {exitStatus(std::system(command.c_str())), readFile(temp.file("stdout.txt")),
                readFile(temp.file("stderr.txt"))};
    }
    // Starts parcelo-cli and sends it `signals` SIGINTs once it has a temporary file in
    // "pieces/"; the status is its exit status, 99 when it ended before that.
    int interrupted(const std::vector<std::string>& arguments, int signals) const
    {
        std::string command = commandFor(arguments) + " >/dev/null & pid=$!; until ls -a '" + pieces
                              + "' | grep -q parcelo-tmp; do [ \"$(cut -d' ' -f3 "
                              + "/proc/$pid/stat)\" = Z ] && exit 99; done";
        for (int i = 0; i < signals; ++i)
            command += "; kill -INT $pid";
        return exitStatus(std::system((command + "; wait $pid").c_str()));
    }
    std::string piece(const std::string& name) const { return pieces + "/" + name; }
    std::string output(const std::string& name) const { return joined + "/" + name; }

    TempFolder temp;
    std::string pieces = temp.file("pieces");
    std::string joined = temp.file("joined");
};

} // namespace

TEST_F(CliRunTest, SplitsVerifiesAndJoinsBackFromAMiddlePiece)
{
    const std::string content = patternBytes(5'000'000);
    writeFile(temp.file("data.bin"), content);
    const CliRun split = run({"split", temp.file("data.bin"), pieces, "--size", "1.38MB"});
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_THAT(split.out, HasSubstr("wrote 4 pieces"));

    EXPECT_EQ(run({"verify", "--set", piece("data.bin.002")}).status, 0);
    const CliRun join = run({"join", piece("data.bin.003"), joined});
    ASSERT_EQ(join.status, 0) << join.err;
    EXPECT_EQ(readFile(output("data.bin")), content);
    EXPECT_THAT(join.out, HasSubstr("checked 4 pieces against data.bin.sha256\n"));

    // every piece is reported: a damaged one and a missing one fail the check
    flipByte(piece("data.bin.002"), 100);
    fs::remove(piece("data.bin.004"));
    const CliRun broken = run({"verify", "--set", piece("data.bin.001")});
    EXPECT_EQ(broken.status, 1);
    for (const std::string& line :
         {"OK " + piece("data.bin.001"), "DAMAGED " + piece("data.bin.002"),
          "MISSING " + piece("data.bin.004")})
        EXPECT_THAT(broken.out, HasSubstr(line + "\n"));
}

// Without a terminal a question is declined; --yes accepts it.
TEST_F(CliRunTest, PiecesLinesAndLeftOutFilesReachTheEngineAndOnlyYesDeletesTheSource)
{
    writeFile(temp.file("ten.bin"), "0123456789");
    const CliRun three = run({"split", temp.file("ten.bin"), pieces, "--pieces", "3",
                              "--no-checksums", "--no-join-script", "--delete-source"});
    ASSERT_EQ(three.status, 0) << three.err;
    EXPECT_EQ(filesIn(pieces), 3u); // no checksum file, no join scripts
    EXPECT_THAT(three.out, HasSubstr("split into 3 files.  Each file contains 4 Bytes or less."));
    EXPECT_THAT(three.err, HasSubstr("Do you wish to delete it?"));
    EXPECT_TRUE(fs::exists(temp.file("ten.bin")));

    writeFile(temp.file("notes.txt"), "1\r\n2\r\n3\r\n");
    const CliRun lines =
        run({"split", temp.file("notes.txt"), pieces, "--lines", "2", "--delete-source", "--yes"});
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(readFile(piece("notes.txt.002")), "PcxLineBreak9174\r\n3\r\n");
    EXPECT_FALSE(fs::exists(temp.file("notes.txt")));
}

TEST_F(CliRunTest, CompressedSetsJoinWithAndWithoutDecompression)
{
    writeFile(temp.file("log.txt"), compressibleText(500'000));
    const CliRun split = run(
        {"split", temp.file("log.txt"), pieces, "--size", "20KB", "--compress", "--level", "fast"});
    ASSERT_EQ(split.status, 0) << split.err;

    EXPECT_EQ(split.err, ""); // no progress line without a terminal
    EXPECT_EQ(split.out.find('\r'), std::string::npos);
    const CliRun kept = run({"join", piece("log.txt.zip.001"), joined, "--no-decompress"});
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_TRUE(fs::exists(output("log.txt.zip")));
    EXPECT_FALSE(fs::exists(output("log.txt")));

    // without its checksum file, a damaged set fails only in the decompression; the files
    // kept then are join_command_test's, the pieces kept in spite of --yes this one's
    fs::remove(output("log.txt.zip"));
    fs::remove(piece("log.txt.zip.sha256"));
    flipByte(piece("log.txt.zip.002"), fs::file_size(piece("log.txt.zip.002")) / 2);
    const CliRun damaged =
        run({"join", piece("log.txt.zip.001"), joined, "--delete-pieces", "--yes"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_THAT(damaged.err, HasSubstr(" could not be decompressed and has been kept."));
    EXPECT_TRUE(fs::exists(piece("log.txt.zip.001")) && fs::exists(piece("log.txt.zip.002")));
}

TEST_F(CliRunTest, RepairRebuildsLostPiecesFromRecoveryPiecesListedInTheChecksumFile)
{
    writeFile(temp.file("data.bin"), patternBytes(100000, 9));
    ASSERT_EQ(
        run({"split", temp.file("data.bin"), pieces, "--pieces", "10", "--recovery", "20%"}).status,
        0);
    EXPECT_THAT(readFile(piece("data.bin.sha256")), HasSubstr("  data.bin.rec002\n"));
    fs::remove(piece("data.bin.010"));
    const CliRun repaired = run({"repair", piece("data.bin.003")});
    EXPECT_EQ(repaired.status, 0) << repaired.err;
    EXPECT_THAT(repaired.out, HasSubstr("rebuilt " + piece("data.bin.010")));

    fs::remove(piece("data.bin.005"));
    EXPECT_THAT(run({"verify", "--set", piece("data.bin.001")}).err,
                HasSubstr("1 pieces are damaged or missing; the set can be repaired"));
    const CliRun joinedRun = run({"join", piece("data.bin.001"), joined});
    EXPECT_EQ(joinedRun.status, 0) << joinedRun.err;
    EXPECT_THAT(joinedRun.out, HasSubstr("Rebuilt from the recovery pieces: data.bin.005."));
    EXPECT_EQ(readFile(output("data.bin")), patternBytes(100000, 9));

    fs::remove(piece("data.bin.001"));
    fs::remove(piece("data.bin.002"));
    fs::remove(piece("data.bin.rec002"));
    const CliRun refused = run({"repair", piece("data.bin.003")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("cannot be repaired: 2 pieces are missing and only 1 "
                                       "recovery pieces are there"));
    EXPECT_FALSE(fs::exists(piece("data.bin.001")));
}

TEST_F(CliRunTest, AFullDiskEndsTheSplitWithoutAnyoneToAsk)
{
    // Files may not grow past 4 KB (the write fails as on a full disk); a run that asks
    // again and again is stopped after 20 seconds.
    const std::string fullDisk = "trap '' XFSZ; ulimit -f 8; exec timeout 20";
    writeFile(temp.file("big.bin"), patternBytes(20'000));
    std::vector<std::string> split = {"split", temp.file("big.bin"), pieces, "--size", "10KB"};
    for (const bool yes : {false, true}) {
        if (yes)
            split.push_back("--yes");
        const CliRun full = run(split, fullDisk);
        const std::string all = full.out + full.err;
        EXPECT_EQ(full.status, 1) << all;
        EXPECT_THAT(full.err, HasSubstr("There is not enough space on the disk."));
        EXPECT_LE(std::count(all.begin(), all.end(), '\n'), 4) << all;
        EXPECT_TRUE(fs::is_empty(pieces)) << yes;
    }
}

TEST_F(CliRunTest, FailuresAndUsageErrorsHaveTheirExitStatus)
{
    writeFile(temp.file("other.001"), "not a piece at all");
    EXPECT_EQ(run({"verify", temp.file("other.001")}).status, 1);
    const CliRun notPiece = run({"join", temp.file("other.001"), joined});
    EXPECT_EQ(notPiece.status, 1);
    EXPECT_EQ(notPiece.err, "parcelo-cli: The file you selected is not a split file!\n");
    EXPECT_EQ(notPiece.out, "");

    // the usage errors' texts are arguments_test's
    const CliRun usage = run({"frobnicate"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err, "parcelo-cli: unknown command frobnicate\nTry 'parcelo-cli --help' for "
                         "more information.\n");
    EXPECT_EQ(usage.out, "");
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("parcelo-cli verify --set PIECE"));
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("parcelo-cli ") + parcelo::kParceloVersion + "\n");
}

TEST_F(CliRunTest, InterruptStopsTheJobRemovesItsFilesAndExits130)
{
    // a sparse 512 MiB file: long work, whatever the load, without writing it first
    writeFile(temp.file("big.bin"), "");
    fs::resize_file(temp.file("big.bin"), 512u << 20);
    const std::vector<std::vector<std::string>> jobs = {
        {"split", temp.file("big.bin"), pieces, "--size", "100KB"},
        {"compress", temp.file("big.bin"), pieces},
    };
    for (const auto& job : jobs) {
        for (int signals : {1, 2}) {
            SCOPED_TRACE(job[0] + " " + std::to_string(signals));
            EXPECT_EQ(interrupted(job, signals), 130);
            EXPECT_TRUE(fs::is_empty(pieces));
        }
    }
}

// On a terminal the progress line is redrawn in place and wiped before the result.
TEST_F(CliRunTest, ProgressLineOnlyOnATerminalAndNeverWithQuiet)
{
    const std::string big = temp.file("big.bin");
    writeFile(big, compressibleText(6u << 20));
    // `script` runs the program on a pseudo-terminal and records what it shows
    const auto onTerminal = [&](const std::string& options, const std::string& into) {
        const std::string typescript = temp.file("typescript");
        const std::string command = "script -qec \"" + commandFor({"compress", big, into, "--yes"})
                                    + " " + options + "\" '" + typescript
                                    + "' </dev/null >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << options;
        return readFile(typescript);
    };
    fs::create_directory(temp.file("a"));
    const std::string shown = onTerminal("", temp.file("a"));
    EXPECT_THAT(shown, HasSubstr("\rCompressing big.bin: "));
    EXPECT_THAT(shown, HasSubstr(" of 6.00 MB (")); // rate and time left: JobProgress's tests
    EXPECT_THAT(shown, HasSubstr("\r\033[KThe file " + big + " has been compressed"));

    fs::create_directory(temp.file("b"));
    const std::string quiet = onTerminal("-q --level fast", temp.file("b"));
    EXPECT_EQ(quiet.find("Compressing big.bin"), std::string::npos);
    EXPECT_EQ(quiet.find("has been compressed"), std::string::npos);
    EXPECT_TRUE(fs::exists(temp.file("b/big.bin.zip.001")));
}
