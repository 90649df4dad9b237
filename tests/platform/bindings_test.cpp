#include "platform/file_list.h"
#include "platform/host.h"

#include "fake_bindings.h"

#include <gtest/gtest.h>

using namespace parcelo;

TEST(Host, DisplayTextTurnsCarriageReturnsIntoLineBreaks)
{
    EXPECT_EQ(toDisplayText(std::string("a") + CR + "b"), "a\nb");
    EXPECT_EQ(toDisplayText("a\r\nb\nc"), "a\nb\nc");
    // Nobody to ask: declined, except that a cancel is confirmed rather than asked again.
    SilentHost silent;
    EXPECT_EQ(silent.message(Question::DeleteSource, "q", Buttons::YesNo, Icon::Question),
              Answer::No);
    EXPECT_EQ(silent.message(Question::DiskFull, "q", Buttons::OkCancel, Icon::Information),
              Answer::Cancel);
    EXPECT_EQ(silent.message(Question::ConfirmCancel, "q", Buttons::YesNo, Icon::Information),
              Answer::Yes);
    EXPECT_EQ(silent.message(Question::Notice, "n", Buttons::Ok, Icon::Critical), Answer::Ok);
}

// The kind check of the bindings is the split engine's test, with a binding of the wrong kind.
TEST(FileListSizes, FollowTheDisplayUnitOrKilobytesWhenThereIsNone)
{
    EXPECT_EQ(formatListSize(4, "BT"), "4Bytes");
    EXPECT_EQ(formatListSize(0, "BT"), "Bytes");
    EXPECT_EQ(formatListSize(2048, "KB"), "2.00KB");
    EXPECT_EQ(formatListSize(2048, "LN"), "2.00KB");
    EXPECT_EQ(formatListSize(1447035, "MB"), "1.38MB");
    EXPECT_EQ(formatListSize(1048576, "MB"), "1.00MB");
    EXPECT_EQ(formatListSize(2000, "MB"), "1.95KB");
    EXPECT_EQ(formatListSize(400, "MB"), "0.00MB");
    EXPECT_EQ(formatListSize(1073741824, "GB"), "1GB");
    EXPECT_EQ(formatListSize(3019899, "GB"), "2.88MB");
    EXPECT_EQ(formatListSize(1500.0 * 1024 * 1024, "GB"), "1.46GB");
    EXPECT_EQ(formatListSize(100, "XX"), "");

    // A list with no unit yet takes kilobytes.
    test::FakeFileList list;
    std::string unit;
    AddFileToList(&list, "/out/a.001", 2048, unit);
    EXPECT_EQ(unit, "KB");
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0], (std::pair<std::string, std::string>{"/out/a.001", "2.00KB"}));
    EXPECT_EQ(list.lastScrolled, 0);

    AddFileToList(nullptr, "/out/a.002", 1, unit); // no list: skipped, no error
}
