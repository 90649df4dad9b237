#include "platform/bindings.h"
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

TEST(Bindings, KindCheckAcceptsOnlyTheExpectedKind)
{
    test::FakeProgressBar bar;
    test::FakeLabel label;
    test::FakeFileList list;
    test::WrongKindBinding impostor;
    EXPECT_EQ(asProgressBar(&bar), &bar);
    EXPECT_EQ(asLabel(&label), &label);
    EXPECT_EQ(asFileList(&list), &list);
    EXPECT_EQ(asProgressBar(nullptr), nullptr);
    EXPECT_EQ(asProgressBar(&label), nullptr);
    EXPECT_EQ(asFileList(&bar), nullptr);
    // right class, wrong name: skipped all the same
    EXPECT_EQ(asProgressBar(&impostor), nullptr);
}
