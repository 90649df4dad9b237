#include "platform/run_error.h"
#include "platform/safe_output.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <utime.h>

using namespace parcelo;

// A pending file shows under its final name only once committed; every other way out
// leaves the folder as it was.
TEST(SafeOutput, AppearsOnlyWhenCommittedLeavesNothingOtherwiseAndClearsStaleTemporaries)
{
    test::TempFolder temp;
    const std::string target = temp.file("joined.bin");
    test::writeFile(target, "user's own");
    {
        SafeOutput pending(target);
        pending.file().write("partial");
        EXPECT_EQ(test::filesIn(temp.path()), 2u);
        EXPECT_NE(pending.temporaryPath().find("joined.bin.parcelo-tmp-"), std::string::npos);
    } // dropped: a failure or a cancel
    EXPECT_EQ(test::filesIn(temp.path()), 1u);
    EXPECT_EQ(test::readFile(target), "user's own");

    SafeOutput refused(target);
    refused.file().write("new");
    EXPECT_EQ(test::runErrorOf([&] { refused.commitWithoutReplacing(); }), err::FileAlreadyExists);
    EXPECT_EQ(test::readFile(target), "user's own");
    EXPECT_EQ(test::filesIn(temp.path()), 1u);

    SafeOutput complete(target);
    complete.file().write("complete");
    complete.commit();
    EXPECT_EQ(test::readFile(target), "complete");
    EXPECT_EQ(test::filesIn(temp.path()), 1u);

    EXPECT_EQ(test::runErrorOf([&] { SafeOutput(temp.file("no/such/file")); }), err::PathNotFound);
    // A name long enough that the marker would overflow a file name is cut, not refused.
    SafeOutput longName(temp.file(std::string(250, 'x')));
    longName.file().write("x");
    longName.commit();
    EXPECT_TRUE(std::filesystem::exists(temp.path() / std::string(250, 'x')));

    // A temporary file left by a killed job is cleared by the next run; one still being
    // written by a live job is not.
    const std::string stale = temp.file("joined.bin.parcelo-tmp-ABCDEF");
    test::writeFile(stale, "left by a killed job");
    const utimbuf old{1000, 1000};
    ::utime(stale.c_str(), &old);
    SafeOutput live(target);
    ::utime(live.temporaryPath().c_str(), &old);
    removeStaleTemporaries(target);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(live.temporaryPath()));
    EXPECT_EQ(test::readFile(target), "complete");
}
