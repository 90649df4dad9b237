#include "platform/diskette.h"
#include "platform/paths.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace parcelo;

TEST(PathHelpers, TakePathsApartFromTheRight)
{
    EXPECT_EQ(GetFileNameFromPath("/data/a.txt"), "a.txt");
    EXPECT_EQ(GetFileNameFromPath("a.txt"), "a.txt");
    EXPECT_EQ(GetFileNameFromPath("/data/"), "");
    EXPECT_EQ(GetFolderFromPath("/data/a.txt"), "/data/");
    EXPECT_EQ(GetFolderFromPath("a.txt"), "");
    EXPECT_EQ(GetFileExtension("report.tar.001"), "001");
    EXPECT_EQ(GetFileExtension("README"), "README");
    EXPECT_EQ(RemoveFileExtension("report.tar.001"), "report.tar");
    EXPECT_EQ(RemoveFileExtension("README"), "README");
    // the last point of the whole text, not of the last component
    EXPECT_EQ(GetFileExtension("/build.old/readme"), "old/readme");
    EXPECT_EQ(RemoveFileExtension("/build.old/readme"), "/build");
    for (const char* empty : {""}) {
        EXPECT_EQ(GetFileNameFromPath(empty), "");
        EXPECT_EQ(GetFolderFromPath(empty), "");
        EXPECT_EQ(GetFileExtension(empty), "");
        EXPECT_EQ(RemoveFileExtension(empty), "");
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

TEST(PathHelpers, DriveFreeSpaceIsSixtyFourBitAndZeroWithoutMedium)
{
    test::TempFolder temp;
    auto drive = std::make_shared<FolderDisketteDrive>(temp.path());
    setDisketteDrive(drive);
    drive->setFreeSpace(5'000'000'000'000ULL);
    EXPECT_EQ(GetDriveFreeSpace("a"), 5'000'000'000'000ULL);
    EXPECT_EQ(GetDriveFreeSpace("A"), 5'000'000'000'000ULL);
    drive->setMediumPresent(false);
    EXPECT_EQ(GetDriveFreeSpace("a"), 0u);
    setDisketteDrive(nullptr);
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
