#include "platform/paths.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>

using namespace parcelo;

TEST(PathHelpers, TakePathsApartFromTheRight)
{
    // path, its name, its folder, its extension, the path without its extension
    const std::array<const char*, 5> cases[] = {
        {"/data/a.txt", "a.txt", "/data/", "txt", "/data/a"},
        {"report.tar.001", "report.tar.001", "", "001", "report.tar"},
        {"README", "README", "", "README", "README"},
        {"/data/", "", "/data/", "/data/", "/data/"},
        // the last point of the whole text, not of the last component
        {"/build.old/readme", "readme", "/build.old/", "old/readme", "/build"},
        {"", "", "", "", ""},
    };
    for (const auto& [path, name, folder, extension, removed] : cases) {
        EXPECT_EQ(GetFileNameFromPath(path), name) << path;
        EXPECT_EQ(GetFolderFromPath(path), folder) << path;
        EXPECT_EQ(GetFileExtension(path), extension) << path;
        EXPECT_EQ(RemoveFileExtension(path), removed) << path;
    }
}

TEST(PathHelpers, EnsureFolderExistsCreatesOneLevelAndNeverFails)
{
    test::TempFolder temp;
    const auto folder = temp.file("new");
    EnsureFolderExists(folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EnsureFolderExists(folder); // already there: nothing happens
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EnsureFolderExists(temp.file("missing/deeper")); // parent missing: ignored
    EXPECT_FALSE(std::filesystem::exists(temp.file("missing")));
    test::writeFile(temp.file("plain"), "x");
    EnsureFolderExists(temp.file("plain")); // a file of that name: nothing created
    EXPECT_TRUE(std::filesystem::is_regular_file(temp.file("plain")));
}

TEST(PathHelpers, ColonRepairOnlyWhereThereAreDriveLetters)
{
    EXPECT_EQ(repairPathColon("C\\data\\x.bin", true), "C:\\data\\x.bin");
    EXPECT_EQ(repairPathColon("c:\\in\\a.001", true), "c:\\in\\a.001");
    EXPECT_EQ(repairPathColon("\\\\server\\share\\f.bin", true), "\\\\server\\share\\f.bin");
    EXPECT_EQ(repairPathColon("a:", true), "a:");
    EXPECT_EQ(repairPathColon("/home/me/x.bin", false), "/home/me/x.bin");
    EXPECT_EQ(repairPathColon("a:", false), "a:");
    EXPECT_EQ(repairPathColon("", true), "");
}
