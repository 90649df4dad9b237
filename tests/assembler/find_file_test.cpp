#include "assembler/find_file.h"

#include <gtest/gtest.h>

using parcelo::assembler::matchesPattern;

TEST(FindFileInFolder, PatternsMatchLikeTheSystemsFileSearch)
{
    const struct {
        const char *name, *pattern;
        bool matches;
    } cases[] = {
        {"movie.avi.001", "*.001", true},
        {".001", "*.001", true},
        {"a.001.001", "*.001", true},
        {"a.0011", "*.001", false},
        {"a.01", "*.001", false},
        {"README.TXT", "*.txt", true},
        {"abc", "a?", false},
        {"a-b-d", "a*b*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}
