#include "integrity_fixture.h"

#include "integrity/join_script.h"

#include <gtest/gtest.h>

namespace parcelo {
namespace {

namespace fs = std::filesystem;
using test::SplitSet;

// Runs the set's join script with a shell; its exit status.
int runScript(const std::string& shell, const SplitSet& set, const std::string& arguments = {})
{
    const std::string command =
        shell + " '" + set.out + set.name + ".join.sh' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The checksum file the script checks with is what sha256sum prints.
TEST(JoinScript, JoinsEveryKindOfSetByteForByteUnderDashAndBusybox)
{
    for (const std::string shell : {"dash", "busybox sh"}) {
        for (const auto& [unit, compressed] :
             {std::pair{"BT", false}, {"LN", false}, {"BT", true}}) {
            SCOPED_TRACE(shell + " " + unit + (compressed ? " compressed" : ""));
            SplitSet set(unit, compressed);
            ASSERT_GT(set.pieces, 1);
            EXPECT_EQ(test::readFile(set.out + set.name + ".sha256"),
                      test::commandOutput("cd '" + set.out + "' && sha256sum " + set.name + ".0*"));
            EXPECT_EQ(runScript(shell, set), 0);
            EXPECT_EQ(test::readFile(set.out + set.name), set.content);
            // an existing file is never replaced unless asked
            test::writeFile(set.out + set.name, "the user's own");
            EXPECT_NE(runScript(shell, set), 0);
            EXPECT_EQ(test::readFile(set.out + set.name), "the user's own");
            EXPECT_EQ(runScript(shell, set, "--force"), 0);
            EXPECT_EQ(test::readFile(set.out + set.name), set.content);
        }
    }
}

TEST(JoinScript, RefusesADamagedOrMissingPiece)
{
    for (const std::string shell : {"dash", "busybox sh"}) {
        for (const bool missing : {false, true}) {
            SplitSet set("BT");
            if (missing)
                fs::remove(set.piece(3));
            else
                test::flipByte(set.piece(2), 100);
            const std::size_t files = test::filesIn(set.out);
            EXPECT_NE(runScript(shell, set), 0) << shell;
            EXPECT_FALSE(fs::exists(set.out + set.name));
            EXPECT_EQ(test::filesIn(set.out), files);
        }
    }
}

// No shell to run it here: only what depends on the set is checked.
TEST(JoinScript, WindowsScriptQuotesTheNameAndSkipsTheRightHeader)
{
    const std::string bytes = cmdJoinScript({"film 100%.avi", 12, false, false});
    for (const char* part : {"@echo off\r\n", "$n='film 100%%.avi'", "$c=12", "$s=12;"})
        EXPECT_NE(bytes.find(part), std::string::npos) << part;
    const std::string lines = cmdJoinScript({"notes.txt", 3, true, false});
    EXPECT_NE(lines.find("$s=[Array]::IndexOf($b,[byte]10)+1"), std::string::npos);
    EXPECT_NE(cmdJoinScript({"a.zip", 2, false, true}).find("open it with any archive tool"),
              std::string::npos);
}

} // namespace
} // namespace parcelo
