#include "platform/diskette.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace parcelo;

// A full disk (61), a write error (57) and their texts are the safe-writes tests'.
TEST(File, OpenReadAndInjectedWriteFailuresNameTheRightError)
{
    EXPECT_EQ(runErrorFromOs(EDQUOT).number(), 61);
    EXPECT_EQ(runErrorFromOs(EACCES).number(), 70);
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
    auto drive = std::make_shared<FolderDisketteDrive>(temp.path());
    setDisketteDrive(drive);
    drive->setFreeSpace(5'000'000'000'000ULL); // beyond 32 bits
    EXPECT_EQ(GetDriveFreeSpace("a"), 5'000'000'000'000ULL);
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
    setDisketteDrive(nullptr);
}
