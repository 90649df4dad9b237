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
        shell + " '" + set.out(set.name + ".join.sh") + "' " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(JoinScript, JoinsEveryKindOfSetByteForByteUnderDashAndBusybox)
{
    for (const std::string shell : {"dash", "busybox sh"}) {
        for (const auto& [unit, compressed] :
             {std::pair{"BT", false}, {"LN", false}, {"BT", true}}) {
            SCOPED_TRACE(shell + " " + unit + (compressed ? " compressed" : ""));
            SplitSet set(unit, compressed);
            EXPECT_EQ(runScript(shell, set), 0);
            EXPECT_EQ(test::readFile(set.out(set.name)), set.content);
            // an existing file is never replaced unless asked
            test::writeFile(set.out(set.name), "the user's own");
            EXPECT_NE(runScript(shell, set), 0);
            EXPECT_EQ(test::readFile(set.out(set.name)), "the user's own");
            EXPECT_EQ(runScript(shell, set, "--force"), 0);
            EXPECT_EQ(test::readFile(set.out(set.name)), set.content);
        }
    }
}

TEST(JoinScript, RefusesADamagedOrMissingPiece)
{
    for (const std::string shell : {"dash", "busybox sh"}) {
        SplitSet set("BT");
        test::flipByte(set.piece(2), 100);
        EXPECT_NE(runScript(shell, set), 0) << shell;
        SplitSet gap("BT");
        fs::remove(gap.piece(3));
        EXPECT_NE(runScript(shell, gap), 0) << shell;
        for (const SplitSet* s : {&set, &gap}) {
            EXPECT_FALSE(fs::exists(s->out(s->name)));
            EXPECT_EQ(test::filesIn(s->out()),
                      static_cast<std::size_t>(s->pieces) + 3 - (s == &gap ? 1 : 0));
        }
    }
}

TEST(JoinScript, WindowsScriptChecksHashesAndStripsHeadersWithBuiltInCommands)
{
    const std::string bytes = cmdJoinScript({"film 100%.avi", 12, false, false});
    for (const char* part : {"@echo off\r\n", "cd /d \"%~dp0\"", "powershell -NoProfile",
                             "$n='film 100%%.avi'", "$c=12", "Get-FileHash -Algorithm SHA256",
                             "'.sha256'", "{0}.{1:D3}", "$s=12;", "-and -not $force", "Move-Item"})
        EXPECT_NE(bytes.find(part), std::string::npos) << part;
    const std::string lines = cmdJoinScript({"notes.txt", 3, true, false});
    EXPECT_NE(lines.find("$s=[Array]::IndexOf($b,[byte]10)+1"), std::string::npos);
    EXPECT_NE(cmdJoinScript({"a.zip", 2, false, true}).find("open it with any archive tool"),
              std::string::npos);
}

} // namespace
} // namespace parcelo
