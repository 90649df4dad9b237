#include "assembler/find_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace parcelo;
using namespace parcelo::assembler;

TEST(FindFileInFolder, TakesOnlyAFileWhoseWholeNameMatches)
{
    test::TempFolder folder;
    test::writeFile(folder.file("a.0010"), "x");
    test::writeFile(folder.file("a.001.bak"), "x");
    test::writeFile(folder.file("a.002"), "x");
    std::filesystem::create_directory(folder.file("dir.001"));

    std::string name = "unchanged";
    EXPECT_FALSE(FindFileInFolder(folder.folder(), "*.001", name));
    EXPECT_EQ(name, "unchanged");
    EXPECT_FALSE(FindFileInFolder(folder.file("missing") + "/", "*.001", name));
    EXPECT_EQ(name, "unchanged");

    test::writeFile(folder.file("Film.avi.001"), "x");
    EXPECT_TRUE(FindFileInFolder(folder.folder(), "*.001", name));
    EXPECT_EQ(name, "Film.avi.001");
}

TEST(FindFileInFolder, PatternsMatchLikeTheSystemsFileSearch)
{
    EXPECT_TRUE(matchesPattern("movie.avi.001", "*.001"));
    EXPECT_TRUE(matchesPattern(".001", "*.001"));
    EXPECT_TRUE(matchesPattern("a.001.001", "*.001"));
    EXPECT_FALSE(matchesPattern("a.0011", "*.001"));
    EXPECT_FALSE(matchesPattern("a.01", "*.001"));
    EXPECT_TRUE(matchesPattern("README.TXT", "*.txt"));
    EXPECT_FALSE(matchesPattern("abc", "a?"));
    EXPECT_FALSE(matchesPattern("a-b-d", "a*b*c"));

    std::string named("name.001\0rest", 13);
    EXPECT_EQ(TrimAtNull(named), "name.001");
    EXPECT_EQ(named, "name.001");
    std::string plain = "plain";
    EXPECT_EQ(TrimAtNull(plain), "plain");
}
