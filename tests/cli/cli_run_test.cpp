#include "cli_fixture.h"
#include "folder_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

using namespace parcelo::test;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

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

// Becomes parcelo-cli with these arguments: the child's part after a fork.
[[noreturn]] void execCli(const std::vector<std::string>& arguments)
{
    std::vector<std::string> words{PARCELO_CLI};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

class CliJobTest : public CliRunTest {
protected:
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
    // Starts parcelo-cli with standard input on `in`, standard output on `out` (-1: closed)
    // and standard error in a file.
    pid_t start(const std::vector<std::string>& arguments, int in, int out) const
    {
        const std::string err = temp.file("stderr.txt");
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
            ::dup2(in, STDIN_FILENO);
            if (out < 0)
                ::close(STDOUT_FILENO);
            else
                ::dup2(out, STDOUT_FILENO);
            execCli(arguments);
        }
        return child;
    }
    // Runs parcelo-cli on a pseudo-terminal, typing each answer (and Enter) once the
    // terminal shows its prompt; the output is everything the terminal showed.
    CliRun onTerminal(const std::vector<std::string>& arguments,
                      const std::vector<std::pair<std::string, std::string>>& answers = {},
                      unsigned short columns = 80) const
    {
        int terminal = -1;
        winsize size{};
        size.ws_row = 24;
        size.ws_col = columns;
        const pid_t child = ::forkpty(&terminal, nullptr, nullptr, &size);
        if (child == 0)
            execCli(arguments);
        CliRun ran;
        std::size_t next = 0, seen = 0;
        char buffer[4096];
        for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;) {
            ran.out.append(buffer, static_cast<std::size_t>(got));
            if (next < answers.size()
                && ran.out.find(answers[next].first, seen) != std::string::npos) {
                const std::string line = answers[next++].second + "\n";
                EXPECT_EQ(::write(terminal, line.data(), line.size()),
                          static_cast<ssize_t>(line.size()));
                seen = ran.out.size();
            }
        }
        ::close(terminal);
        int raw = 0;
        ::waitpid(child, &raw, 0);
        ran.status = exitStatus(raw);
        return ran;
    }
    // The status of a started parcelo-cli once it ends (-1 when a signal ended it) and its
    // standard error.
    CliRun finish(pid_t child) const
    {
        int raw = 0;
        ::waitpid(child, &raw, 0);
        return {exitStatus(raw), {}, readFile(temp.file("stderr.txt"))};
    }
};

} // namespace

// Every set joins back from a middle piece after its check (the outputs are
// cli_expected_test's); plain pieces give the file back with cat too, and Parcelo repairs
// them, knowing the set by its checksum file.
TEST_F(CliJobTest, SetsJoinFromAnyPieceAndPlainPiecesAlsoWithCatAndAreRepaired)
{
    const std::string content = compressibleText(1'000'000);
    writeFile(temp.file("log.txt"), content);
    const struct {
        const char* what;
        std::vector<std::string> options;
        const char* set;
    } cases[] = {
        {"header pieces", {"--size", "0.3MB"}, "log.txt"},
        {"by size", {"--plain", "--size", "300KB"}, "log.txt"},
        {"by pieces", {"--plain", "--pieces", "7"}, "log.txt"},
        {"compressed",
         {"--plain", "--size", "30KB", "--compress", "--level", "fast"},
         "log.txt.zip"},
        {"with recovery pieces", {"--plain", "--pieces", "5", "--recovery", "2"}, "log.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(pieces);
        fs::create_directory(pieces);
        fs::remove(output("log.txt"));
        std::vector<std::string> arguments = {"split", temp.file("log.txt"), pieces};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun split = run(arguments);
        ASSERT_EQ(split.status, 0) << split.err;
        const std::string set = c.set;
        const std::string catted = commandOutput("cd '" + pieces + "' && cat " + set + ".0*");
        if (set.ends_with(".zip")) {
            writeFile(output("catted.zip"), catted);
            EXPECT_TRUE(commandOutput("unzip -p '" + output("catted.zip") + "'") == content);
        } else {
            EXPECT_EQ(catted == content, c.options[0] == "--plain");
        }
        EXPECT_EQ(run({"verify", "--set", piece(set + ".002")}).status, 0);
        const CliRun join = run({"join", piece(set + ".003"), joined});
        ASSERT_EQ(join.status, 0) << join.err;
        EXPECT_TRUE(readFile(output("log.txt")) == content);
    }
    // a lost piece is rebuilt by the join (--force replaces the file joined before), or by
    // repair
    fs::remove(piece("log.txt.004"));
    EXPECT_EQ(run({"verify", "--set", piece("log.txt.001")}).status, 3);
    const CliRun join = run({"join", piece("log.txt.002"), joined, "--force"});
    EXPECT_THAT(join.err, HasSubstr("Rebuilt from the recovery pieces: log.txt.004."));
    EXPECT_TRUE(readFile(output("log.txt")) == content);
    flipByte(piece("log.txt.001"), 10);
    const CliRun repaired = run({"repair", piece("log.txt.002"), "-q"});
    EXPECT_EQ(repaired.status, 0) << repaired.err;
    EXPECT_TRUE(commandOutput("cd '" + pieces + "' && cat log.txt.0*") == content);
}

// Without a terminal a question is declined; --yes accepts it.
TEST_F(CliJobTest, PiecesLinesAndLeftOutFilesReachTheEngineAndOnlyYesDeletesTheSource)
{
    writeFile(temp.file("ten.bin"), "0123456789");
    const CliRun three = run({"split", temp.file("ten.bin"), pieces, "--pieces", "3",
                              "--no-checksums", "--no-join-script", "--delete-source"});
    ASSERT_EQ(three.status, 0) << three.err;
    EXPECT_EQ(filesIn(pieces), 3u); // no checksum file, no join scripts
    EXPECT_EQ(three.out, "parcelo-cli: wrote 3 pieces of up to 16 bytes to " + pieces
                             + "/ (ten.bin.001 ... ten.bin.003)\n");
    EXPECT_THAT(three.err, HasSubstr("Do you wish to delete it? -> no (no terminal; use --yes)"));
    EXPECT_TRUE(fs::exists(temp.file("ten.bin")));

    writeFile(temp.file("notes.txt"), "1\r\n2\r\n3\r\n");
    const CliRun lines =
        run({"split", temp.file("notes.txt"), pieces, "--lines", "2", "--delete-source", "--yes"});
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(readFile(piece("notes.txt.002")), "PcxLineBreak9174\r\n3\r\n");
    EXPECT_FALSE(fs::exists(temp.file("notes.txt")));
}

TEST_F(CliJobTest, CompressedSetsJoinWithAndWithoutDecompression)
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

    // without its checksum file, a damaged set fails only in the decompression from its
    // pieces: nothing is written, and the pieces are kept in spite of --yes
    fs::remove(output("log.txt.zip"));
    fs::remove(piece("log.txt.zip.sha256"));
    flipByte(piece("log.txt.zip.002"), fs::file_size(piece("log.txt.zip.002")) / 2);
    const CliRun damaged =
        run({"join", piece("log.txt.zip.001"), joined, "--delete-pieces", "--yes"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_THAT(damaged.err, HasSubstr("Nothing has been written and the pieces are kept."));
    EXPECT_TRUE(fs::is_empty(joined));
    EXPECT_TRUE(fs::exists(piece("log.txt.zip.001")) && fs::exists(piece("log.txt.zip.002")));
}

// A password comes from the first line of a file or from the terminal without echo, never
// from the command line: ps shows none, and neither does any output. An encrypted set opens
// with it (the archive tools' check is compress_test's); a wrong or missing one writes
// nothing.
TEST_F(CliJobTest, EncryptedSetsOpenWithTheirPasswordAloneWhichNothingShows)
{
    const std::string password = "correct horse battery staple";
    const std::string marker = "PLAIN-MARKER-8841";
    const std::string content = patternBytes(100'000) + marker + patternBytes(999);
    writeFile(temp.file("data.bin"), content);
    writeFile(temp.file("pw.txt"), password + "\r\nsecond line\n");
    writeFile(temp.file("wrong.txt"), "Correct horse battery staple\n");
    const std::string withPassword = "--password-file=" + temp.file("pw.txt");
    const std::vector<std::string> modes[] = {{"split", "--size", "40KB"}, {"compress"}};
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.back());
        fs::remove_all(pieces);
        fs::create_directory(pieces);
        const CliRun split =
            run({mode[0], temp.file("data.bin"), pieces, withPassword,
                 mode.size() > 1 ? mode[1] : "-q", mode.size() > 1 ? mode[2] : "-q"});
        ASSERT_EQ(split.status, 0) << split.err;
        EXPECT_THAT(split.out, HasSubstr("compressed, encrypted and wrote"));
        EXPECT_EQ(filesHolding(pieces, marker), std::set<std::string>{});
        const CliRun join = run({"join", piece("data.bin.zip.001"), joined, withPassword});
        ASSERT_EQ(join.status, 0) << join.err;
        EXPECT_TRUE(readFile(output("data.bin")) == content);
        fs::remove(output("data.bin"));
    }

    // refused with nothing written: a wrong password, none without a terminal, a password
    // file that gives none
    fs::create_directory(temp.file("folder"));
    writeFile(temp.file("empty.txt"), "\nsecond line\n");
    const auto before = snapshot(pieces);
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"join", "--password-file", temp.file("wrong.txt")},
         "parcelo-cli: The password is wrong. Nothing has been written and the pieces are kept.\n"},
        {{"join"},
         "parcelo-cli: The pieces of data.bin.zip are encrypted and no password can be asked for: "
         "give it with --password-file FILE, or run parcelo-cli on a terminal to type it.\n"},
        {{"join", "--password-file", temp.file("none.txt")},
         "parcelo-cli: The password file cannot be read: "},
        {{"join", "--password-file", temp.file("folder")},
         "parcelo-cli: The password file cannot be read: "},
        {{"split", "-n", "2", "--password-file", temp.file("empty.txt")},
         "parcelo-cli: The password file " + temp.file("empty.txt")
             + " is empty: its first line must hold the password.\n"},
        {{"split", "-n", "2", "--password-prompt"},
         "parcelo-cli: --password-prompt needs a password typed on a terminal\n"},
    };
    for (const auto& [words, error] : refusals) {
        SCOPED_TRACE(error);
        std::vector<std::string> arguments = words;
        arguments.insert(arguments.begin() + 1,
                         words[0] == "join" ? piece("data.bin.zip.001") : temp.file("data.bin"));
        arguments.insert(arguments.begin() + 2, words[0] == "join" ? joined : temp.file("folder"));
        const CliRun refused = run(arguments);
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err.substr(0, error.size()), error);
        EXPECT_TRUE(fs::is_empty(joined) && fs::is_empty(temp.file("folder")));
        EXPECT_EQ(snapshot(pieces), before);
    }

    // ps shows the file's name while parcelo-cli waits for the password in it, never the
    // password; nor does any output
    ASSERT_EQ(::mkfifo(temp.file("fifo").c_str(), 0600), 0);
    const std::string ps = temp.file("ps.txt");
    const int nothing = ::open("/dev/null", O_RDWR);
    const pid_t waiting = start({"split", temp.file("data.bin"), temp.file("folder"), "-n", "2",
                                 "--password-file", temp.file("fifo")},
                                nothing, nothing);
    const std::string cmdline = "/proc/" + std::to_string(waiting) + "/cmdline";
    while (readFile(cmdline).find("--password-file") == std::string::npos) {
    }
    EXPECT_EQ(std::system(("ps -eo args > '" + ps + "'").c_str()), 0);
    writeFile(temp.file("fifo"), password + "\n");
    EXPECT_EQ(finish(waiting).status, 0);
    ::close(nothing);
    EXPECT_THAT(readFile(ps), HasSubstr("--password-file " + temp.file("fifo")));
    EXPECT_EQ(readFile(ps).find(password), std::string::npos);
    EXPECT_EQ(filesHolding(temp.path(), password), std::set<std::string>{"pw.txt"});

    // on a terminal: typed twice without echo, a weak one said but taken; the join asks
    const CliRun typed =
        onTerminal({"split", temp.file("data.bin"), joined, "-n", "2", "--password-prompt"},
                   {{"Password: ", "letmein"}, {"Password again: ", "letmein"}});
    EXPECT_EQ(typed.status, 0) << typed.out;
    EXPECT_THAT(typed.out, HasSubstr("Weak: a common word. A passphrase"));
    const CliRun opened = onTerminal({"join", output("data.bin.zip.001"), temp.file("folder")},
                                     {{"Type the password they were split with: ", "letmein"}});
    EXPECT_EQ(opened.status, 0) << opened.out;
    EXPECT_EQ(typed.out.find("letmein"), std::string::npos);
    EXPECT_EQ(opened.out.find("letmein"), std::string::npos);
    EXPECT_TRUE(readFile(temp.file("folder/data.bin")) == content);
}

TEST_F(CliJobTest, RepairRebuildsLostPiecesFromRecoveryPiecesListedInTheChecksumFile)
{
    writeFile(temp.file("data.bin"), patternBytes(100000, 9));
    ASSERT_EQ(
        run({"split", temp.file("data.bin"), pieces, "--pieces", "10", "--recovery", "20%"}).status,
        0);
    EXPECT_THAT(readFile(piece("data.bin.sha256")), HasSubstr("  data.bin.rec002\n"));
    fs::remove(piece("data.bin.010"));
    const CliRun repaired = run({"repair", piece("data.bin.003"), "-q"});
    EXPECT_EQ(repaired.status, 0) << repaired.err;
    EXPECT_EQ(repaired.out,
              "parcelo-cli: repaired the set " + piece("data.bin") + ": rebuilt data.bin.010\n");

    // beyond repair (what verify and join say of a lost piece is pinned in expected/)
    for (const char* name : {"data.bin.001", "data.bin.002", "data.bin.rec002", "data.bin.004"})
        fs::remove(piece(name));
    const std::string beyond = "parcelo-cli: the set cannot be repaired: 3 pieces are damaged or "
                               "missing and only 1 recovery piece is here\n";
    const CliRun refused = run({"repair", piece("data.bin.003")});
    EXPECT_EQ(refused.status, 4);
    EXPECT_EQ(refused.err, beyond);
    EXPECT_FALSE(fs::exists(piece("data.bin.001")));
    EXPECT_EQ(run({"verify", "--set", piece("data.bin.003")}).status, 4);
}

// A set split again, edited, into the folder of an older one: the join gives the new file
// or refuses, verify never offers a repair from the older recovery pieces, no piece is
// rewritten, and only what the second split wrote stays. The user's own file named like
// the checksum file is neither replaced nor trusted.
TEST_F(CliJobTest, AnOlderSetsCompanionsNeverRollAPieceBackNorStay)
{
    const std::set<std::string> setPieces = {"data.bin.001", "data.bin.002", "data.bin.003",
                                             "data.bin.004"};
    const auto with = [&](const std::set<std::string>& more) {
        std::set<std::string> names = setPieces;
        names.insert(more.begin(), more.end());
        return names;
    };
    const std::set<std::string> scripts = {"data.bin.join.sh", "data.bin.join.cmd"};
    const std::set<std::string> companions =
        with({"data.bin.join.sh", "data.bin.join.cmd", "data.bin.sha256"});
    struct Case {
        const char* first;          // options of the first split (--size 30000 both times), or the
                                    // user's whole-file checksum
        std::string change;         // what the source gains: "X" over byte 40000, or this appended
        const char* second;         // options of the second split
        const char* lost;           // a piece of the new set removed before the join, or ""
        std::set<std::string> left; // the folder afterwards; nothing: not looked at
    };
    const std::string notListed =
        "data.bin.sha256 does not list the pieces of this set; it was not used.\n";
    const Case cases[] = {
        {"--recovery 2", "X", "", "", companions},
        {"--recovery 2", "X", "--no-checksums", "", with(scripts)},
        {"--recovery 2 --no-checksums", "X", "", "", companions},
        {"--recovery 2", "appended", "", "", companions},
        {"--recovery 2", "X", "", "data.bin.002", {}},
        {"--recovery 3", "X", "--recovery 1 --no-join-script", "",
         with({"data.bin.rec001", "data.bin.sha256"})},
        {"--recovery 2 --no-checksums", std::string(30000, 'a'), "--no-checksums", "", {}},
        {"", "X", "--no-checksums --no-join-script", "", setPieces},
        {"sha256sum", "", "--recovery 2", "", {}},
    };
    const auto words = [](const std::string& options) {
        std::vector<std::string> list;
        std::istringstream in(options);
        for (std::string word; in >> word;)
            list.push_back(word);
        return list;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " / " + c.change.substr(0, 8) + " / " + c.second + " / "
                     + c.lost);
        fs::remove_all(pieces);
        fs::remove_all(joined);
        fs::create_directory(pieces);
        fs::create_directory(joined);
        std::string content = patternBytes(100000, 4);
        writeFile(temp.file("data.bin"), content);
        const std::string usersChecksums =
            commandOutput("cd '" + temp.path().string() + "' && sha256sum data.bin");
        for (const auto& [options, last] : {std::pair{c.first, false}, {c.second, true}}) {
            if (std::string(options) == "sha256sum") {
                writeFile(piece("data.bin.sha256"), usersChecksums);
                continue;
            }
            std::vector<std::string> split = {"split", temp.file("data.bin"), pieces, "--size",
                                              "30000"};
            for (const std::string& word : words(options))
                split.push_back(word);
            ASSERT_EQ(run(split).status, 0);
            if (!last) {
                if (c.change == "X")
                    content[40000] = 'X';
                else
                    content += c.change;
                writeFile(temp.file("data.bin"), content);
            }
        }
        if (*c.lost)
            fs::remove(piece(c.lost));
        const auto before = snapshot(pieces);
        const CliRun verify = run({"verify", "--set", piece("data.bin.001")});
        EXPECT_EQ(verify.status, *c.lost ? 4 : 0) << verify.out << verify.err;
        const CliRun join = run({"join", piece("data.bin.003"), joined});
        EXPECT_EQ(join.status, *c.lost ? 1 : 0) << join.err;
        EXPECT_EQ(readFile(output("data.bin")), *c.lost ? "" : content);
        EXPECT_TRUE(snapshot(pieces) == before) << "a piece was rewritten";
        if (!c.left.empty()) {
            EXPECT_EQ(namesIn(pieces), c.left);
        }
        if (std::string(c.first) == "sha256sum") {
            EXPECT_EQ(readFile(piece("data.bin.sha256")), usersChecksums);
            EXPECT_THAT(join.err, HasSubstr(notListed));
        }
    }
}

// A file size limit (ulimit -f, in the child that runs parcelo-cli) is told as one, never
// as a full disk or by the signal that ends a program by default; nothing is left. A run
// that asks again and again is stopped after 20 seconds.
TEST_F(CliJobTest, AFileSizeLimitIsToldAndEndsTheJobWithoutAnyoneToAsk)
{
    const std::string limited = "ulimit -f 8; exec timeout 20"; // 8 blocks of 512 bytes
    writeFile(temp.file("big.bin"), patternBytes(20'000));
    ASSERT_EQ(run({"split", temp.file("big.bin"), pieces, "--size", "20000"}).status, 0);
    const std::vector<std::string> cases[] = {
        {"split", temp.file("big.bin"), temp.path().string(), "--size", "10KB"},
        {"split", temp.file("big.bin"), temp.path().string(), "--size", "10KB", "--yes"},
        {"join", piece("big.bin.001"), joined},
    };
    for (const auto& arguments : cases) {
        const CliRun over = run(arguments, limited);
        const std::string all = over.out + over.err;
        EXPECT_EQ(over.status, 1) << all;
        EXPECT_THAT(over.err, HasSubstr("This process cannot write files over 4 KB (its file "
                                        "size limit, ulimit -f): "));
        EXPECT_EQ(all.find("space"), std::string::npos) << all;
        EXPECT_LE(std::count(all.begin(), all.end(), '\n'), 4) << all;
        EXPECT_TRUE(fs::is_empty(joined));
    }
    EXPECT_EQ(namesIn(temp.path()).size(), 5u) << "big.bin, pieces, joined and the outputs";
}

// Recovery counts that are none or that the layout cannot serve are refused before any
// piece is written, a compressed set's before its compression (the texts are the split
// request's and the recovery code's; usage errors and other outputs cli_expected_test's).
TEST_F(CliJobTest, RecoveryCountsAreRefusedBeforeAnythingIsWritten)
{
    writeFile(temp.file("data.bin"), patternBytes(10000));
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"--pieces", "2", "--recovery", "101%"},
         "Recovery pieces takes a number of recovery pieces or a percentage, such as 10%."},
        {{"--pieces", "1", "--compress", "--recovery", "255"},
         "Error: 6 : A set of 1 piece can have at most 254 recovery pieces"},
    };
    for (const auto& [options, refusal] : refusals) {
        std::vector<std::string> split = {"split", temp.file("data.bin"), pieces};
        split.insert(split.end(), options.begin(), options.end());
        const CliRun refused = run(split);
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err, "parcelo-cli: " + refusal + "\n");
        EXPECT_TRUE(fs::is_empty(pieces));
    }
}

TEST_F(CliJobTest, InterruptStopsTheJobRemovesItsFilesAndExits130)
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

// On a terminal the progress line is redrawn in place, within the terminal's width, and
// wiped before the result.
TEST_F(CliJobTest, ProgressLineOnlyOnATerminalAndNeverWithQuiet)
{
    const std::string big = temp.file("big.bin");
    writeFile(big, compressibleText(6u << 20));
    fs::create_directory(temp.file("a"));
    const CliRun ran = onTerminal({"compress", big, temp.file("a"), "--yes"}, {}, 60);
    EXPECT_EQ(ran.status, 0);
    const std::string& shown = ran.out;
    EXPECT_THAT(shown, HasSubstr("\rCompressing big.bin: "));
    EXPECT_THAT(shown, HasSubstr(" of 6.00 MB (")); // rate and time left: JobProgress's tests
    EXPECT_THAT(shown, HasSubstr("\r\033[Kparcelo-cli: compressed and wrote 1 piece"));
    std::istringstream lines(shown);
    for (std::string line; std::getline(lines, line, '\r');) {
        if (line.starts_with("Compressing")) {
            EXPECT_LE(line.find("\033[K"), 59u) << line;
        }
    }

    fs::create_directory(temp.file("b"));
    const std::string quiet =
        onTerminal({"compress", big, temp.file("b"), "--yes", "-q", "--level", "fast"}).out;
    EXPECT_EQ(quiet.find("Compressing big.bin"), std::string::npos);
    EXPECT_THAT(quiet, HasSubstr("parcelo-cli: compressed and wrote 1 piece"));
    EXPECT_TRUE(fs::exists(temp.file("b/big.bin.zip.001")));
}

// A result that cannot be written fails the run with the reason, as coreutils do, and never
// ends it unseen (SIGPIPE); a closed standard output is no descriptor for a piece to take.
TEST_F(CliJobTest, AResultThatCannotBeWrittenFailsWithTheReason)
{
    const std::string content = patternBytes(10000);
    writeFile(temp.file("data.bin"), content);
    int readerGone[2];
    ASSERT_EQ(::pipe(readerGone), 0);
    ::close(readerGone[0]);
    const int full = ::open("/dev/full", O_WRONLY);
    const int nothing = ::open("/dev/null", O_RDONLY);
    const std::vector<std::string> split = {"split", temp.file("data.bin"), pieces, "--pieces",
                                            "3"};
    const std::vector<std::string> verify = {"verify", "--set", piece("data.bin.001")};
    const struct {
        std::vector<std::string> command;
        int out;
        const char* reason;
    } cases[] = {
        {split, -1, "Bad file descriptor"},
        {verify, full, "No space left on device"},
        {verify, readerGone[1], "Broken pipe"},
    };
    for (const auto& c : cases) {
        const CliRun failed = finish(start(c.command, nothing, c.out));
        EXPECT_EQ(failed.status, 1) << c.reason;
        EXPECT_EQ(failed.err, std::string("parcelo-cli: write error: ") + c.reason + "\n");
    }
    EXPECT_EQ(run(verify).status, 0); // the pieces hold the file and nothing else
    for (const int fd : {readerGone[1], full, nothing})
        ::close(fd);
}

// Ctrl-C at a question asked once the split is done (on a terminal that never answers):
// the question is declined and the run ends as the finished job it is.
TEST_F(CliJobTest, AJobDoneBeforeCtrlCReportsItsResultAndSucceeds)
{
    writeFile(temp.file("data.bin"), patternBytes(10000));
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal) | ::unlockpt(terminal), 0);
    const int user = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY);
    const int out = ::open(temp.file("stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t child = start(
        {"split", temp.file("data.bin"), pieces, "--pieces", "3", "--delete-source"}, user, out);
    for (int wait = 0; wait < 2000; ++wait) { // at most 20 s
        if (readFile(temp.file("stderr.txt")).find("Do you wish to delete it?")
            != std::string::npos)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(child, SIGINT);
    const CliRun done = finish(child);
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_THAT(done.err, HasSubstr("Do you wish to delete it? [y]es/[n]o:  -> no"));
    EXPECT_THAT(readFile(temp.file("stdout.txt")), HasSubstr("parcelo-cli: wrote 3 pieces"));
    EXPECT_TRUE(fs::exists(temp.file("data.bin")));
    for (const int fd : {terminal, user, out})
        ::close(fd);
}

// Standard input split as it streams (from a pipe and from a slow writer) and sets joined
// into standard output give the bytes back; a damaged set writes nothing there, and a reader
// that goes away ends the join quietly.
TEST_F(CliJobTest, PipesCarrySetsInAndOut)
{
    const std::string text = compressibleText(300'000);
    writeFile(temp.file("log.txt"), text);
    ASSERT_EQ(run({"split", "log.txt", pieces, "-s", "4KB", "--compress"}).status, 0);
    const std::string slowly = "for i in 1 2 3; do head -c 100000 log.txt; sleep 0.1; done |";
    const struct {
        const char* what;
        std::string input; // the shell words that pipe the data in
        std::vector<std::string> split;
        std::string picked;
    } cases[] = {
        {"50 MB from a pipe",
         "head -c 50M /dev/urandom | tee src |",
         {"-s", "20MB", "--recovery", "1"},
         "in.002"},
        {"lines from a slow writer", slowly + " tee src |", {"--lines", "2000"}, "in.003"},
        {"plain pieces by a preset",
         "head -c 3M /dev/urandom | tee src |",
         {"--preset", "1.38MB", "--plain"},
         "in.001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> split = {"split", "-", pieces, "--name", "in"};
        split.insert(split.end(), c.split.begin(), c.split.end());
        const CliRun in = run(split, "rm -f src; " + c.input);
        ASSERT_EQ(in.status, 0) << in.err;
        const CliRun out = run({"join", piece(c.picked), "-"});
        ASSERT_EQ(out.status, 0) << out.err;
        EXPECT_THAT(out.err, HasSubstr(" into standard output"));
        EXPECT_TRUE(out.out == readFile(temp.file("src")));
    }
    const CliRun unzipped = run({"join", piece("log.txt.zip.005"), "-"});
    EXPECT_TRUE(unzipped.status == 0 && unzipped.out == text) << unzipped.err;
    // what needs the data's size or all of it first is refused before a piece is made
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"-n", "3"}, "A number of pieces needs the size of the data"},
        {{"-s", "1KB", "--compress"}, "Standard input cannot be compressed"},
        {{"-s", "1KB", "--password-file", "log.txt"}, "Standard input cannot be compressed"},
        {{"-s", "1KB"}, "Standard input held no data to split."},
    };
    for (const auto& [options, reason] : refusals) {
        std::vector<std::string> split = {"split", "-", pieces, "--name", "x"};
        split.insert(split.end(), options.begin(), options.end());
        const CliRun refused = run(split, options.size() == 2 ? "true |" : "echo data |");
        EXPECT_EQ(refused.status, 1);
        EXPECT_THAT(refused.err, HasSubstr(reason));
    }
    EXPECT_EQ(namesIn(pieces).count("x.001"), 0u);

    flipByte(piece("in.002"), 100);
    const CliRun damaged = run({"join", piece("in.001"), "-"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_EQ(damaged.out, "");
    EXPECT_THAT(damaged.err, HasSubstr("in.002 is damaged"));

    const std::string status = temp.file("status.txt");
    EXPECT_EQ(std::system(("{ " + commandFor({"join", piece("log.txt.zip.001"), "-"}) + " 2>'"
                           + temp.file("stderr.txt") + "'; echo $? >'" + status
                           + "'; } | head -c 10 >/dev/null")
                              .c_str()),
              0);
    EXPECT_EQ(readFile(status), "1\n");
    EXPECT_EQ(readFile(temp.file("stderr.txt")), "");
}

// A folder is split as a folder set and joined back whole, with its modes, times and links;
// the FIFO is left out and said so. An existing folder is replaced only with --force.
TEST_F(CliJobTest, FoldersSplitAndJoinBackWhole)
{
    const std::string tree = makeFolderTree(temp.path(), "tree");
    const std::vector<std::string> ways[] = {
        {"-s", "1MB"},
        {"-n", "3", "--compress", "--level", "fast", "--recovery", "1"},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way[1]);
        fs::remove_all(pieces);
        fs::create_directory(pieces);
        fs::remove_all(output("tree"));
        std::vector<std::string> split = {"split", tree + "/", pieces};
        split.insert(split.end(), way.begin(), way.end());
        const CliRun packed = run(split);
        ASSERT_EQ(packed.status, 0) << packed.err;
        EXPECT_THAT(packed.out, HasSubstr("packed the folder"));
        EXPECT_THAT(packed.err, HasSubstr("neither files, folders nor links: fifo."));
        const CliRun unpacked = run({"join", piece("tree.zip.002"), joined});
        ASSERT_EQ(unpacked.status, 0) << unpacked.err;
        EXPECT_EQ(treeDifference(tree, output("tree")), "");
        EXPECT_EQ(namesIn(joined), std::set<std::string>{"tree"});
    }
    writeFile(output("tree/mine"), "kept");
    EXPECT_EQ(run({"join", piece("tree.zip.001"), joined}).status, 1);
    EXPECT_EQ(readFile(output("tree/mine")), "kept");
    EXPECT_EQ(run({"join", piece("tree.zip.001"), joined, "--force"}).status, 0);
    EXPECT_EQ(treeDifference(tree, output("tree")), "");
    EXPECT_EQ(namesIn(joined), std::set<std::string>{"tree"});
    const CliRun stream = run({"join", piece("tree.zip.001"), "-"});
    EXPECT_EQ(stream.status, 1);
    EXPECT_EQ(stream.out, "");
    EXPECT_THAT(stream.err, HasSubstr("tree.zip holds a folder"));
}
