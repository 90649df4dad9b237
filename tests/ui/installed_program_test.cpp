// Run by scripts/check-package.sh against the unpacked package, not by ctest: the main
// window started from an installed program folder (read-only, or writable by root running
// it), with the user's folders under a temporary HOME and nothing written beside the
// program.
#include "app/app_paths.h"
#include "format/split_set.h"

#include "shell_fixture.h"

#include <cstdlib>

using namespace parcelo;
using test::contains;
using test::readFile;

TEST(InstalledProgram, KeepsOptionsAndLogInTheUsersFoldersAndSplitsAndJoins)
{
    const char* installed = std::getenv("PARCELO_INSTALLED_FOLDER");
    if (installed == nullptr)
        GTEST_SKIP() << "PARCELO_INSTALLED_FOLDER names no installed program folder";
    const AppPaths paths = resolveAppPaths(installed);
    ASSERT_TRUE(paths.installed);
    const auto shipped = test::snapshot(installed);

    test::Shell shell; // its services and a folder for the data; the program is installed
    shell.host.acceptNotices();
    auto window = shell.start(installed);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(readFile(paths.configFilePath), readFile(shippedConfigPath(installed)));
    EXPECT_TRUE(contains(readFile(paths.logFilePath), "Creating new log file"));

    window->cmdMOptions_Click();
    EXPECT_EQ(window->optionsPane->txtDefoutSplit->text().toStdString(), paths.splitFolder + "/");
    window->optionsPane->optCLevel3->setChecked(true);
    window->optionsPane->Command6->click();
    EXPECT_TRUE(contains(readFile(paths.configFilePath), "level=\"1\""));

    const std::string bytes = test::patternBytes(100000);
    const std::string movie = shell.app.file("movie.bin");
    test::writeFile(movie, bytes);
    SplitPane& sp = *window->splitPane;
    window->cmdMSplit_Click();
    test::typeAndClick({{sp.Text2, "3"}}, sp.Option2);
    test::typeAndClick({{sp.Text1, movie}, {sp.Text4, paths.splitFolder + "/"}}, sp.cmdSpSplit);
    JoinPane& jn = *window->joinPane;
    window->cmdMJoin_Click();
    test::typeAndClick({{jn.Text5, pieceName(paths.splitFolder + "/", "movie.bin", 2)},
                        {jn.Text6, paths.joinFolder + "/"}},
                       jn.cmdJoin);
    EXPECT_EQ(readFile(paths.joinFolder + "/movie.bin"), bytes);

    shell.host.answer(Question::Exit, Answer::Yes, "exit the application");
    window->cmdMExit_Click();
    EXPECT_TRUE(window->hasEnded());
    EXPECT_TRUE(contains(readFile(paths.configFilePath), "lastSplitFile=\"" + movie));
    EXPECT_EQ(test::snapshot(installed), shipped);
}
