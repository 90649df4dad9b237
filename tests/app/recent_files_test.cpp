#include "app/recent_files.h"

#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace parcelo;

namespace {

const std::string kKey = "Software\\Norvane\\Parcelo\\Recent Files";
using Files = std::vector<std::string>;

// A menu gone with its window: showing an entry fails.
class GoneMenu : public RecentFilesMenu {
public:
    void showEntry(RecentKind, int, const std::string&, const std::string&) override
    {
        throw std::runtime_error("menu gone");
    }
    void hideEntry(RecentKind, int) override {}
    void hidePlaceholder(RecentKind) override {}
};

class RecentFilesTest : public ::testing::Test {
protected:
    std::string stored(const std::string& name) const
    {
        return GetRegistryString(root, kKey, name, "<none>");
    }

    test::TempFolder temp;
    RegistryRoot root = RegistryRoot::inFile(temp.file("registry.ini"));
    std::vector<std::string> logged;
    LogWriter log = [this](const std::string& entry) { logged.push_back(entry); };
    RecentFiles recent{root, log};
};

} // namespace

TEST_F(RecentFilesTest, NewestFirstFourAtMostAndOneSpellingEach)
{
    for (const char* file : {"/d/one", "/d/two", "/d/a.txt", "/d/four"})
        recent.AddRecentFile(file, "Split");
    recent.AddRecentFile("/D/A.TXT", "Split"); // moves up with its new spelling
    EXPECT_EQ(recent.list(RecentKind::Split), (Files{"/D/A.TXT", "/d/four", "/d/two", "/d/one"}));
    recent.AddRecentFile("/d/five", "Split"); // the oldest goes
    EXPECT_EQ(recent.list(RecentKind::Split), (Files{"/d/five", "/D/A.TXT", "/d/four", "/d/two"}));
    EXPECT_EQ(stored("SpFileName 1"), "/d/five");
    EXPECT_EQ(stored("SpFileName 4"), "/d/two");

    // The lists are kept apart; an unknown kind means the verified list.
    recent.AddRecentFile("/d/piece.001", "Joined");
    recent.AddRecentFile("/d/checked.001", "Checked");
    EXPECT_EQ(stored("JnFileName 1"), "/d/piece.001");
    EXPECT_EQ(stored("JnFileName 2"), "");
    EXPECT_EQ(stored("VfFileName 1"), "/d/checked.001");

    RecentFiles again(root, log); // a new start reads the same list back
    again.LoadRecentFiles("Split");
    EXPECT_EQ(again.list(RecentKind::Split), recent.list(RecentKind::Split));
    EXPECT_TRUE(logged.empty());

    // values too short or too long to be a path are no entries
    const std::string exactly128 = "/" + std::string(127, 'x');
    SetRegistryString(root, kKey, "VfFileName 1", "C:");
    SetRegistryString(root, kKey, "VfFileName 2", exactly128);
    SetRegistryString(root, kKey, "VfFileName 3", exactly128 + "y");
    SetRegistryString(root, kKey, "VfFileName 4", "/ok");
    again.LoadRecentFiles("Verified");
    EXPECT_EQ(again.list(RecentKind::Verified), (Files{exactly128, "/ok"}));
}

TEST_F(RecentFilesTest, GoneEntriesAreReportedAndAFailingStoreOrMenuIsSkipped)
{
    test::ScriptedHost host;
    test::writeFile(temp.file("here.bin"), "x");
    recent.RecentEntryChosen(host, RecentKind::Split, temp.file("here.bin"));
    const std::string gone = temp.file("gone.bin");
    host.answer(Question::Notice, Answer::Ok, "The file " + gone + " could not be located.");
    recent.RecentEntryChosen(host, RecentKind::Verified, gone);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].icon, Icon::None);

    test::writeFile(temp.file("blocked"), "a file where a folder should be");
    RecentFiles locked(RegistryRoot::inFile(temp.file("blocked/registry.ini")), log);
    locked.AddRecentFile("/d/file", "Split");
    EXPECT_TRUE(locked.list(RecentKind::Split).empty()); // read back: nothing stored
    EXPECT_TRUE(logged.empty());

    // the menu's entries and placeholder are the window tests'; a failing menu is logged
    GoneMenu menu;
    RecentFiles shown(root, log, &menu);
    shown.AddRecentFile("/d/a.001", "Joined");
    EXPECT_EQ(logged, Files{"List of recent files could not be loaded in the menu."});
}
