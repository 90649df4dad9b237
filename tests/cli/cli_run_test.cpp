#include "app/version.h"
#include "temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

using namespace parcelo::test;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// parcelo-cli in a temporary folder with "pieces/" and "joined/" in it.
class CliRunTest : public ::testing::Test {
protected:
    CliRunTest()
    {
        fs::create_directory(pieces);
        fs::create_directory(joined);
    }
    // Runs parcelo-cli with no terminal on standard input; every argument is quoted. The
    // shell commands of `setUp`, when given, run first in the same subshell.
    CliRun run(const std::vector<std::string>& arguments, const std::string& setUp = {}) const
    {
        std::string command = "(" + setUp + " '" + PARCELO_CLI + "'";
        for (const auto& argument : arguments)
            command += " '" + argument + "'";
        command +=
            ") </dev/null >'" + temp.file("stdout.txt") + "' 2>'" + temp.file("stderr.txt") + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(temp.file("stdout.txt")),
                readFile(temp.file("stderr.txt"))};
    }
    std::string piece(const std::string& name) const { return pieces + "/" + name; }
    std::string output(const std::string& name) const { return joined + "/" + name; }

    TempFolder temp;
    std::string pieces = temp.file("pieces");
    std::string joined = temp.file("joined");
};

bool holdsTemporaryFile(const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".parcelo-tmp-") != std::string::npos)
            return true;
    return false;
}

// Starts parcelo-cli, sends `signals` SIGINTs once it writes a temporary file in `watched`
// and returns its exit status (-1 when it ended before that or did not exit).
int interrupted(const std::vector<std::string>& arguments, const fs::path& watched, int signals)
{
    std::vector<std::string> words{PARCELO_CLI};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, PARCELO_CLI, &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    while (!holdsTemporaryFile(watched)) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return -1; // finished before it could be interrupted
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (int i = 0; i < signals; ++i)
        kill(pid, SIGINT);
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST_F(CliRunTest, SplitsBySizeAndJoinsBackFromAMiddlePiece)
{
    const std::string content = patternBytes(5'000'000);
    writeFile(temp.file("data.bin"), content);
    const CliRun split = run({"split", temp.file("data.bin"), pieces, "--size", "1.38MB"});
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_THAT(
        split.out,
        HasSubstr("has been split into 4 files.  Each file contains 1.38 Megabytes or less."));
    EXPECT_THAT(split.out, HasSubstr("wrote 4 pieces"));
    EXPECT_EQ(fs::file_size(piece("data.bin.001")), 1'447'035u + 12);

    const CliRun verify = run({"verify", "--set", piece("data.bin.002")});
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;
    EXPECT_THAT(verify.out, HasSubstr("OK " + piece("data.bin.004") + "\n"));

    const CliRun join = run({"join", piece("data.bin.003"), joined});
    ASSERT_EQ(join.status, 0) << join.err;
    EXPECT_EQ(readFile(output("data.bin")), content);
    EXPECT_THAT(join.out, HasSubstr("from all split files successfully."));
    EXPECT_THAT(join.out, HasSubstr("checked 4 pieces against data.bin.sha256\n"));

    // every piece is reported: a damaged one and a missing one fail the check
    std::string second = readFile(piece("data.bin.002"));
    second[100] ^= 1;
    writeFile(piece("data.bin.002"), second);
    fs::remove(piece("data.bin.004"));
    const CliRun broken = run({"verify", "--set", piece("data.bin.001")});
    EXPECT_EQ(broken.status, 1);
    for (const std::string& line :
         {"OK " + piece("data.bin.001"), "DAMAGED " + piece("data.bin.002"),
          "OK " + piece("data.bin.003"), "MISSING " + piece("data.bin.004")})
        EXPECT_THAT(broken.out, HasSubstr(line + "\n"));
}

TEST_F(CliRunTest, SplitsIntoPiecesAndByLines)
{
    writeFile(temp.file("ten.bin"), "0123456789");
    const CliRun three = run({"split", temp.file("ten.bin"), pieces, "--pieces", "3",
                              "--no-checksums", "--no-join-script"});
    ASSERT_EQ(three.status, 0) << three.err;
    EXPECT_EQ(filesIn(pieces), 3u); // no checksum file, no join scripts
    EXPECT_THAT(three.out, HasSubstr("split into 3 files.  Each file contains 4 Bytes or less."));
    EXPECT_EQ(fs::file_size(piece("ten.bin.003")), 12u + 2);

    writeFile(temp.file("notes.txt"), "1\r\n2\r\n3\r\n4\r\n5\r\n");
    ASSERT_EQ(run({"split", temp.file("notes.txt"), pieces, "--lines", "2"}).status, 0);
    EXPECT_EQ(readFile(piece("notes.txt.003")), "PcxLineBreak9174\r\n5\r\n");
    const CliRun join = run({"join", piece("notes.txt.002"), joined});
    ASSERT_EQ(join.status, 0) << join.err << join.out;
    EXPECT_EQ(readFile(output("notes.txt")), "1\r\n2\r\n3\r\n4\r\n5\r\n");
}

TEST_F(CliRunTest, CompressedSetsJoinWithAndWithoutDecompression)
{
    std::string content;
    for (int i = 0; i < 20000; ++i)
        content += "line " + std::to_string(i) + " of a compressible text\n";
    writeFile(temp.file("log.txt"), content);
    const CliRun split = run(
        {"split", temp.file("log.txt"), pieces, "--size", "20KB", "--compress", "--level", "fast"});
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_TRUE(fs::exists(piece("log.txt.zip.001")));
    EXPECT_FALSE(fs::exists(piece("log.txt.zip"))); // the compressed copy is gone

    const CliRun plain = run({"join", piece("log.txt.zip.002"), joined});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_THAT(plain.out, HasSubstr(" has been created and decompressed from"));
    EXPECT_EQ(readFile(output("log.txt")), content);
    EXPECT_FALSE(fs::exists(output("log.txt.zip")));

    fs::remove(output("log.txt"));
    const CliRun kept = run({"join", piece("log.txt.zip.001"), joined, "--no-decompress"});
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_TRUE(fs::exists(output("log.txt.zip")));
    EXPECT_FALSE(fs::exists(output("log.txt")));

    // a compressed copy of that name is already there: compressing again would replace it
    const CliRun refused = run({"compress", temp.file("log.txt"), joined});
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("log.txt.zip already exists."));
    ASSERT_EQ(run({"compress", temp.file("log.txt"), temp.folder()}).status, 0);
    EXPECT_TRUE(fs::exists(temp.file("log.txt.zip.001")));

    // A damaged set fails the join: the joined archive is kept and no piece is deleted
    // (without its checksum file, the damage is found by the decompression).
    fs::remove(output("log.txt.zip"));
    fs::remove(piece("log.txt.zip.sha256"));
    std::string data = readFile(piece("log.txt.zip.002"));
    data[data.size() / 2] ^= 0x55;
    writeFile(piece("log.txt.zip.002"), data);
    const CliRun damaged =
        run({"join", piece("log.txt.zip.001"), joined, "--delete-pieces", "--yes"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_THAT(damaged.err, HasSubstr(" could not be decompressed and has been kept."));
    EXPECT_TRUE(fs::exists(output("log.txt.zip")));
    EXPECT_FALSE(fs::exists(output("log.txt")));
    EXPECT_TRUE(fs::exists(piece("log.txt.zip.001")) && fs::exists(piece("log.txt.zip.002")));
}

TEST_F(CliRunTest, RepairRebuildsLostPiecesFromRecoveryPiecesListedInTheChecksumFile)
{
    const std::string source = temp.file("data.bin");
    writeFile(source, patternBytes(100000, 9));
    ASSERT_EQ(run({"split", source, pieces, "--pieces", "10", "--recovery", "20%"}).status, 0);
    EXPECT_THAT(readFile(piece("data.bin.sha256")), HasSubstr("  data.bin.rec002\n"));
    fs::remove(piece("data.bin.010"));
    writeFile(piece("data.bin.rec001"), "not a recovery piece");

    const CliRun repaired = run({"repair", piece("data.bin.003")});
    EXPECT_EQ(repaired.status, 0) << repaired.err;
    EXPECT_THAT(repaired.out, HasSubstr("rebuilt " + piece("data.bin.010")));
    const std::string check = "cd '" + pieces + "' && sha256sum -c --quiet data.bin.sha256";
    EXPECT_EQ(std::system(check.c_str()), 0);

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

TEST_F(CliRunTest, QuestionsAreDeclinedWithoutATerminalAndAcceptedWithYes)
{
    writeFile(temp.file("keep.bin"), patternBytes(3000));
    const std::vector<std::string> split = {"split", temp.file("keep.bin"), pieces, "--size",
                                            "1KB",   "--delete-source"};
    const CliRun declined = run(split);
    EXPECT_EQ(declined.status, 0) << declined.err;
    EXPECT_THAT(declined.err, HasSubstr("Do you wish to delete it?"));
    EXPECT_TRUE(fs::exists(temp.file("keep.bin")));

    auto accepted = split;
    accepted.push_back("--yes");
    EXPECT_EQ(run(accepted).status, 0);
    EXPECT_FALSE(fs::exists(temp.file("keep.bin")));

    EXPECT_EQ(run({"join", piece("keep.bin.001"), joined, "--delete-pieces", "--yes"}).status, 0);
    EXPECT_FALSE(fs::exists(piece("keep.bin.001")));
    EXPECT_FALSE(fs::exists(piece("keep.bin.003")));
    EXPECT_EQ(fs::file_size(output("keep.bin")), 3000u);
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
    const CliRun missing = run({"split", temp.file("none.bin"), pieces, "--size", "1MB"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_THAT(missing.err, HasSubstr("cannot be located. Please make sure that the file exists"));

    writeFile(temp.file("small.bin"), "abc");
    const CliRun tooSmall = run({"split", temp.file("small.bin"), pieces, "--size", "1KB"});
    EXPECT_EQ(tooSmall.status, 1);
    EXPECT_THAT(tooSmall.err,
                HasSubstr("The file you want to split is smaller than the size you specified!"));
    EXPECT_TRUE(fs::is_empty(pieces));

    writeFile(temp.file("other.001"), "not a piece at all");
    EXPECT_EQ(run({"verify", temp.file("other.001")}).status, 1);
    const CliRun notPiece = run({"join", temp.file("other.001"), joined});
    EXPECT_EQ(notPiece.status, 1);
    EXPECT_THAT(notPiece.err, HasSubstr("The file you selected is not a split file!"));

    EXPECT_EQ(notPiece.err.rfind("parcelo-cli: ", 0), 0u) << notPiece.err;
    EXPECT_EQ(notPiece.out, "");

    const std::string tryHelp = "Try 'parcelo-cli --help' for more information.\n";
    const std::pair<std::vector<std::string>, std::string> usageErrors[] = {
        {{}, "missing command"},
        {{"split", "onlyone"}, "split: missing arguments"},
        {{"frobnicate"}, "unknown command frobnicate"},
    };
    for (const auto& [args, problem] : usageErrors) {
        const CliRun usage = run(args);
        EXPECT_EQ(usage.status, 2);
        EXPECT_EQ(usage.err, "parcelo-cli: " + problem + "\n" + tryHelp);
        EXPECT_EQ(usage.out, "");
    }
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("parcelo-cli verify --set PIECE"));
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("parcelo-cli ") + parcelo::kParceloVersion + "\n");
}

TEST_F(CliRunTest, InterruptStopsTheJobRemovesItsFilesAndExits130)
{
    writeFile(temp.file("big.bin"), patternBytes(64'000'000));
    const std::vector<std::vector<std::string>> jobs = {
        {"split", temp.file("big.bin"), pieces, "--size", "100KB"},
        {"compress", temp.file("big.bin"), pieces},
    };
    for (const auto& job : jobs) {
        for (int signals : {1, 2}) {
            SCOPED_TRACE(job[0] + " " + std::to_string(signals));
            EXPECT_EQ(interrupted(job, pieces, signals), 130);
            EXPECT_TRUE(fs::is_empty(pieces));
        }
    }
}

// On a terminal the progress is one line on standard error, redrawn in place and wiped
// before the result; into a file, or with --quiet, none of it is written.
TEST_F(CliRunTest, ProgressLineOnlyOnATerminalAndNeverWithQuiet)
{
    const std::string big = temp.file("big.bin");
    std::string text; // slow to deflate at the best level, unlike random bytes
    for (int line = 0; text.size() < (6u << 20); ++line)
        text +=
            "line " + std::to_string(line) + " of " + std::to_string(line * 7919 % 104729) + "\n";
    text.resize(6u << 20);
    writeFile(big, text);
    // `script` runs the program on a pseudo-terminal and records what it shows
    const auto onTerminal = [&](const std::string& options, const std::string& into) {
        const std::string typescript = temp.file("typescript");
        const std::string command = "script -qec \"'" + std::string(PARCELO_CLI) + "' compress '"
                                    + big + "' '" + into + "' --yes " + options + "\" '"
                                    + typescript + "' </dev/null >/dev/null";
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

    const CliRun piped = run({"compress", big, pieces, "--yes", "--level", "fast"});
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "");
    EXPECT_THAT(piped.out, HasSubstr("has been compressed"));
    EXPECT_EQ(piped.out.find('\r'), std::string::npos);
}
