#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

using parcelo::test::patternBytes;
using parcelo::test::readFile;
using parcelo::test::TempFolder;
using parcelo::test::writeFile;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs parcelo-cli with no terminal on standard input.
CliRun runCli(const TempFolder& temp, const std::string& arguments)
{
    const std::string out = temp.file("stdout.txt");
    const std::string err = temp.file("stderr.txt");
    const std::string command = std::string("'") + PARCELO_CLI + "' " + arguments + " </dev/null >'"
                                + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

class CliRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(temp.file("pieces"));
        std::filesystem::create_directory(temp.file("joined"));
    }
    std::string pieces() const { return temp.file("pieces"); }
    std::string joined() const { return temp.file("joined"); }
    std::string piece(const std::string& name) const { return temp.file("pieces/" + name); }

    TempFolder temp;
};

} // namespace

TEST_F(CliRunTest, SplitsBySizeAndJoinsBackFromAMiddlePiece)
{
    const std::string content = patternBytes(5'000'000);
    writeFile(temp.file("data.bin"), content);
    CliRun split = runCli(temp, "split " + quoted(temp.file("data.bin")) + " " + quoted(pieces())
                                    + " --size 1.38MB");
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_NE(
        split.out.find("has been split into 4 files.  Each file contains 1.38 Megabytes or less."),
        std::string::npos)
        << split.out;
    EXPECT_NE(split.out.find("wrote 4 pieces"), std::string::npos) << split.out;
    EXPECT_EQ(std::filesystem::file_size(piece("data.bin.001")), 1'447'035u + 12);

    CliRun verify = runCli(temp, "verify --set " + quoted(piece("data.bin.002")));
    EXPECT_EQ(verify.status, 0) << verify.out << verify.err;

    CliRun join = runCli(temp, "join " + quoted(piece("data.bin.003")) + " " + quoted(joined()));
    ASSERT_EQ(join.status, 0) << join.err;
    EXPECT_EQ(readFile(temp.file("joined/data.bin")), content);
    EXPECT_NE(join.out.find("from all split files successfully."), std::string::npos);
}

TEST_F(CliRunTest, SplitsIntoPiecesAndByLines)
{
    writeFile(temp.file("ten.bin"), "0123456789");
    CliRun three = runCli(temp, "split " + quoted(temp.file("ten.bin")) + " " + quoted(pieces())
                                    + " --pieces 3");
    ASSERT_EQ(three.status, 0) << three.err;
    EXPECT_NE(three.out.find("split into 3 files.  Each file contains 4 Bytes or less."),
              std::string::npos)
        << three.out;
    EXPECT_EQ(std::filesystem::file_size(piece("ten.bin.003")), 12u + 2);

    writeFile(temp.file("notes.txt"), "1\r\n2\r\n3\r\n4\r\n5\r\n");
    CliRun lines = runCli(temp, "split " + quoted(temp.file("notes.txt")) + " " + quoted(pieces())
                                    + " --lines 2");
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(readFile(piece("notes.txt.003")), "PcxLineBreak9174\r\n5\r\n");
    CliRun join = runCli(temp, "join " + quoted(piece("notes.txt.002")) + " " + quoted(joined()));
    ASSERT_EQ(join.status, 0) << join.err << join.out;
    EXPECT_EQ(readFile(temp.file("joined/notes.txt")), "1\r\n2\r\n3\r\n4\r\n5\r\n");
}

TEST_F(CliRunTest, CompressedSetsJoinWithAndWithoutDecompression)
{
    std::string content;
    for (int i = 0; i < 20000; ++i)
        content += "line " + std::to_string(i) + " of a compressible text\n";
    writeFile(temp.file("log.txt"), content);
    CliRun split = runCli(temp, "split " + quoted(temp.file("log.txt")) + " " + quoted(pieces())
                                    + " --size 20KB --compress --level fast");
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_TRUE(std::filesystem::exists(piece("log.txt.zip.001")));
    EXPECT_FALSE(std::filesystem::exists(piece("log.txt.zip"))); // the compressed copy is gone

    CliRun plain =
        runCli(temp, "join " + quoted(piece("log.txt.zip.002")) + " " + quoted(joined()));
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find(" has been created and decompressed from"), std::string::npos);
    EXPECT_EQ(readFile(temp.file("joined/log.txt")), content);
    EXPECT_FALSE(std::filesystem::exists(temp.file("joined/log.txt.zip")));

    std::filesystem::remove(temp.file("joined/log.txt"));
    CliRun kept = runCli(temp, "join " + quoted(piece("log.txt.zip.001")) + " " + quoted(joined())
                                   + " --no-decompress");
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_TRUE(std::filesystem::exists(temp.file("joined/log.txt.zip")));
    EXPECT_FALSE(std::filesystem::exists(temp.file("joined/log.txt")));

    // a compressed copy of that name is already there: compressing again would replace it
    CliRun refused =
        runCli(temp, "compress " + quoted(temp.file("log.txt")) + " " + quoted(joined()));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("log.txt.zip already exists."), std::string::npos) << refused.err;

    CliRun only =
        runCli(temp, "compress " + quoted(temp.file("log.txt")) + " " + quoted(temp.folder()));
    ASSERT_EQ(only.status, 0) << only.err;
    EXPECT_TRUE(std::filesystem::exists(temp.file("log.txt.zip.001")));
}

TEST_F(CliRunTest, QuestionsAreDeclinedWithoutATerminalAndAcceptedWithYes)
{
    writeFile(temp.file("keep.bin"), patternBytes(3000));
    CliRun declined = runCli(temp, "split " + quoted(temp.file("keep.bin")) + " " + quoted(pieces())
                                       + " --size 1KB --delete-source");
    EXPECT_EQ(declined.status, 0) << declined.err;
    EXPECT_NE(declined.out.find("Do you wish to delete it?"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(temp.file("keep.bin")));

    CliRun accepted = runCli(temp, "split " + quoted(temp.file("keep.bin")) + " " + quoted(pieces())
                                       + " --size 1KB --delete-source --yes");
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_FALSE(std::filesystem::exists(temp.file("keep.bin")));

    CliRun join = runCli(temp, "join " + quoted(piece("keep.bin.001")) + " " + quoted(joined())
                                   + " --delete-pieces --yes");
    EXPECT_EQ(join.status, 0) << join.err;
    EXPECT_FALSE(std::filesystem::exists(piece("keep.bin.001")));
    EXPECT_FALSE(std::filesystem::exists(piece("keep.bin.003")));
    EXPECT_EQ(std::filesystem::file_size(temp.file("joined/keep.bin")), 3000u);
}

TEST_F(CliRunTest, FailuresAndUsageErrorsHaveTheirExitStatus)
{
    CliRun missing = runCli(temp, "split " + quoted(temp.file("none.bin")) + " " + quoted(pieces())
                                      + " --size 1MB");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot be located. Please make sure that the file exists"),
              std::string::npos)
        << missing.err;

    writeFile(temp.file("small.bin"), "abc");
    CliRun tooSmall = runCli(temp, "split " + quoted(temp.file("small.bin")) + " "
                                       + quoted(pieces()) + " --size 1KB");
    EXPECT_EQ(tooSmall.status, 1);
    EXPECT_NE(
        tooSmall.err.find("The file you want to split is smaller than the size you specified!"),
        std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(pieces()));

    writeFile(temp.file("other.001"), "not a piece at all");
    EXPECT_EQ(runCli(temp, "verify " + quoted(temp.file("other.001"))).status, 1);
    CliRun notPiece =
        runCli(temp, "join " + quoted(temp.file("other.001")) + " " + quoted(joined()));
    EXPECT_EQ(notPiece.status, 1);
    EXPECT_NE(notPiece.err.find("The file you selected is not a split file!"), std::string::npos);

    EXPECT_EQ(runCli(temp, "split onlyone").status, 2);
    EXPECT_EQ(runCli(temp, "frobnicate").status, 2);
    CliRun help = runCli(temp, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("parcelo-cli verify --set PIECE"), std::string::npos);
}
