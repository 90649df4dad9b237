// Run by scripts/check-package.sh against the unpacked package, not by ctest: the main
// window started from a program folder nobody may write, with the user's folders under a
// temporary HOME.
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

    test::TempFolder data;
    test::HookedHost host;
    host.acceptNotices();
    test::FakeDesktop desktop;
    test::FakeDialogs dialogs;
    auto window =
        Main(installed, {host, desktop, dialogs, RegistryRoot::inFile(data.file("registry.ini"))});
    ASSERT_NE(window, nullptr);
    window->setSaveOptionsPause({});
    EXPECT_EQ(readFile(paths.configFilePath), readFile(shippedConfigPath(installed)));
    EXPECT_TRUE(contains(readFile(paths.logFilePath), "Creating new log file"));

    window->cmdMOptions_Click();
    EXPECT_EQ(window->optionsPane->txtDefoutSplit->text().toStdString(), paths.splitFolder + "/");
    window->optionsPane->optCLevel3->setChecked(true);
    window->optionsPane->Command6->click();
    EXPECT_TRUE(contains(readFile(paths.configFilePath), "level=\"1\""));

    const std::string bytes = test::patternBytes(100000);
    test::writeFile(data.file("movie.bin"), bytes);
    SplitPane& sp = *window->splitPane;
    window->cmdMSplit_Click();
    test::typeAndClick({{sp.Text2, "3"}}, sp.Option2);
    test::typeAndClick({{sp.Text1, data.file("movie.bin")}, {sp.Text4, paths.splitFolder + "/"}},
                       sp.cmdSpSplit);
    JoinPane& jn = *window->joinPane;
    window->cmdMJoin_Click();
    test::typeAndClick({{jn.Text5, pieceName(paths.splitFolder + "/", "movie.bin", 2)},
                        {jn.Text6, paths.joinFolder + "/"}},
                       jn.cmdJoin);
    EXPECT_EQ(readFile(paths.joinFolder + "/movie.bin"), bytes);

    host.answer(Question::Exit, Answer::Yes, "exit the application");
    window->cmdMExit_Click();
    EXPECT_TRUE(window->hasEnded());
    EXPECT_TRUE(
        contains(readFile(paths.configFilePath), "lastSplitFile=\"" + data.file("movie.bin")));
}
