#include "app/app_paths.h"
#include "app/config_file.h"
#include "platform/explore_menu.h"

#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

using namespace parcelo;

namespace {

// A program folder holding the shipped config.xml, and a home whose configuration and
// data folders the environment points at for the test's length.
class AppPathsTest : public ::testing::Test {
protected:
    AppPathsTest()
    {
        test::writeFile(shippedConfigPath(program.path().string()),
                        test::readFile(PARCELO_SHIPPED_CONFIG));
        for (const auto& [name, below] :
             {std::pair{"HOME", ""}, std::pair{"XDG_CONFIG_HOME", "/cfg"},
              std::pair{"XDG_DATA_HOME", "/data"}}) {
            saved.emplace_back(name, std::getenv(name) ? std::getenv(name) : "");
            ::setenv(name, (home.path().string() + below).c_str(), 1);
        }
    }
    ~AppPathsTest() override
    {
        for (const auto& [name, value] : saved)
            ::setenv(name.c_str(), value.c_str(), 1);
        ::chmod(program.path().c_str(), 0755);
    }

    test::TempFolder program;
    test::TempFolder home;
    std::vector<std::pair<std::string, std::string>> saved;
};

} // namespace

TEST_F(AppPathsTest, TheInstalledMarkerAloneDecidesWhetherTheUsersFoldersAreUsed)
{
    const std::string folder = program.path().string();
    const struct {
        bool marker;
        ::mode_t mode;
    } cases[] = {{false, 0755}, {false, 0555}, {true, 0755}, {true, 0555}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "marker " << c.marker << ", mode " << std::oct << c.mode);
        ::chmod(program.path().c_str(), 0755);
        const std::string marker = folder + "/" + kInstalledMarker;
        std::filesystem::remove(marker);
        if (c.marker)
            test::writeFile(marker, "");
        ::chmod(program.path().c_str(), c.mode);
        const AppPaths paths = resolveAppPaths(folder);
        EXPECT_EQ(paths.installed, c.marker);
        EXPECT_EQ(paths.configFilePath == folder + "/config.xml", !c.marker);
        EXPECT_EQ(paths.logFilePath == folder + "/Parcelo.log", !c.marker);
    }
    EXPECT_TRUE(std::filesystem::is_empty(home.path()));
}

TEST_F(AppPathsTest, InstalledTheShippedConfigIsCopiedOnceAndTheUsersCopyIsUsed)
{
    const std::string h = home.path().string();
    const AppPaths paths = userAppPathsFor(program.path().string());
    EXPECT_EQ(paths.configFilePath, h + "/cfg/Parcelo/config.xml");
    EXPECT_EQ(paths.logFilePath, h + "/data/Parcelo/Parcelo.log");
    EXPECT_EQ(paths.splitFolder, h + "/Parcelo/Pieces");
    EXPECT_EQ(paths.joinFolder, h + "/Parcelo/Joined");

    prepareAppFolders(paths);
    const std::string shipped = test::readFile(PARCELO_SHIPPED_CONFIG);
    EXPECT_EQ(test::readFile(paths.configFilePath), shipped);
    for (const std::string& folder : {paths.splitFolder, paths.joinFolder, h + "/data/Parcelo"})
        EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    EXPECT_EQ(test::filesIn(program.path()), 1u); // nothing made beside the program

    // the defaults name the user's folders; the user's copy is kept by a second start
    test::ScriptedHost host;
    ParceloOptions options;
    ExploreMenu explore;
    ASSERT_TRUE(LoadConfiguration(paths, options, explore, host, [](const std::string&) {}).ok());
    EXPECT_EQ(options.splitFolder, paths.splitFolder + "/");
    test::writeFile(paths.configFilePath, "the user's own options");
    prepareAppFolders(paths);
    EXPECT_EQ(test::readFile(paths.configFilePath), "the user's own options");
    EXPECT_EQ(test::readFile(shippedConfigPath(program.path().string())), shipped);
}

// A relative XDG folder is no folder (the user's default is used); a configuration folder
// that cannot be made is named with the reason when the options cannot be found.
TEST_F(AppPathsTest, TheUsersFoldersFollowTheXdgRulesAndAnUnusableOneIsNamed)
{
    const std::string h = home.path().string();
    const std::string folder = program.path().string();
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    const AppPaths relative = userAppPathsFor(folder);
    EXPECT_EQ(relative.configFilePath, h + "/.config/Parcelo/config.xml");
    EXPECT_EQ(relative.logFilePath, h + "/.local/share/Parcelo/Parcelo.log");

    test::writeFile(h + "/taken", "a file where the folder would be");
    ::setenv("XDG_CONFIG_HOME", (h + "/taken").c_str(), 1);
    const AppPaths unusable = userAppPathsFor(folder);
    prepareAppFolders(unusable);
    test::ScriptedHost host;
    host.answer(Question::Notice, Answer::Ok);
    ParceloOptions options;
    ExploreMenu explore;
    std::vector<std::string> logged;
    EXPECT_EQ(LoadConfiguration(unusable, options, explore, host,
                                [&](const std::string& entry) { logged.push_back(entry); })
                  .number,
              kConfigMissing);
    const std::string why =
        "The configuration folder " + h + "/taken/Parcelo cannot be used: Not a directory.";
    EXPECT_EQ(host.shown.at(0).text, unusable.configFilePath + " file can not be found.\n" + why);
    EXPECT_EQ(logged, std::vector<std::string>{"Fatal Error: " + unusable.configFilePath
                                               + " file can not be found. " + why});
}
