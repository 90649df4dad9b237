#include "platform/diskette.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>

using namespace parcelo;

// A full disk (61), a write error (57) and their texts are the safe-writes tests'.
TEST(File, OpenReadAndInjectedWriteFailuresNameTheRightError)
{
    EXPECT_EQ(runErrorFromOs(EDQUOT).number(), 61);
    EXPECT_EQ(runErrorFromOs(EROFS).number(), 70);
    test::TempFolder temp;
    using test::runErrorOf;
    EXPECT_EQ(runErrorOf([&] { File(temp.file("missing"), File::Mode::Read); }), 53);
    EXPECT_EQ(runErrorOf([&] { File(temp.file("nofolder/x"), File::Mode::Write); }), 76);
    EXPECT_NE(runErrorOf([&] { File(temp.folder(), File::Mode::Read); }), 0);

    faults::failWritesAfter(10, ENOSPC);
    File target(temp.file("dst"), File::Mode::Write);
    target.write("12345", 5);
    EXPECT_EQ(runErrorOf([&] { target.write("1234567890", 10); }), err::DiskFull);
    faults::clearWriteFault();
    target.close();
    EXPECT_EQ(test::readFile(temp.file("dst")), "1234512345");

    File source(temp.file("dst"), File::Mode::Read);
    char buffer[16];
    EXPECT_EQ(runErrorOf([&] { source.readExact(buffer, 11); }), err::InputPastEndOfFile);
}

TEST(DisketteDrive, DiskettePathsMapToTheMountPointOnlyWithAMedium)
{
    test::TempFolder temp;
    test::DisketteFolder floppy(temp.path());
    const auto& drive = floppy.drive;
    drive->setFreeSpace(5'000'000'000'000ULL); // beyond 32 bits
    EXPECT_EQ(GetDriveFreeSpace("A"), 5'000'000'000'000ULL);
    EXPECT_TRUE(isDiskettePath("a:"));
    EXPECT_TRUE(isDiskettePath("A:/x"));
    EXPECT_FALSE(isDiskettePath("b:/x"));
    EXPECT_FALSE(isDiskettePath("/a:"));
    EXPECT_FALSE(isDiskettePath("a:b.bin")); // a file of that name in the working folder
    EXPECT_EQ(toNativePath("a:b.bin"), std::filesystem::path("a:b.bin"));
    EXPECT_EQ(toNativePath("A:/piece.001"), temp.path() / "piece.001");
    EXPECT_EQ(toNativePath("a:\\piece.001"), temp.path() / "piece.001");
    test::writeFile(temp.file("piece.001"), "x");
    EXPECT_TRUE(fileExists("a:/piece.001"));

    drive->setMediumPresent(false);
    EXPECT_FALSE(fileExists("a:/piece.001"));
    EXPECT_EQ(GetDriveFreeSpace("a"), 0u);
    EXPECT_EQ(test::runErrorOf([] { File("a:/piece.001", File::Mode::Read); }),
              err::BadFileNameOrNumber);
}

TEST(PathHelpers, TakePathsApartFromTheRightAndRepairColons)
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

    // the colon after a drive letter is put back only where there are drive letters
    EXPECT_EQ(repairPathColon("C\\data\\x.bin", true), "C:\\data\\x.bin");
    EXPECT_EQ(repairPathColon("c:\\in\\a.001", true), "c:\\in\\a.001");
    EXPECT_EQ(repairPathColon("\\\\server\\share\\f.bin", true), "\\\\server\\share\\f.bin");
    EXPECT_EQ(repairPathColon("a:", true), "a:");
    EXPECT_EQ(repairPathColon("/home/me/x.bin", false), "/home/me/x.bin");
    EXPECT_EQ(repairPathColon("a:", false), "a:");
    EXPECT_EQ(repairPathColon("", true), "");
}

TEST(PathHelpers, EnsureFolderExistsCreatesOneLevelAndNeverFails)
{
    test::TempFolder temp;
    const auto folder = temp.file("new");
    EnsureFolderExists(folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EnsureFolderExists(folder);                      // already there: nothing happens
    EnsureFolderExists(temp.file("missing/deeper")); // parent missing: ignored
    EXPECT_FALSE(std::filesystem::exists(temp.file("missing")));
    test::writeFile(temp.file("plain"), "x");
    EnsureFolderExists(temp.file("plain")); // a file of that name: nothing created
    EXPECT_TRUE(std::filesystem::is_regular_file(temp.file("plain")));
}
