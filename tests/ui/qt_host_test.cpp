#include "ui/qt_bindings.h"
#include "ui/qt_host.h"
#include "ui/split_pane.h"
#include "ui/verify_pane.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace parcelo;

TEST(QtHost, MessageBoxesCarryTitleIconButtonsAndLineBreaks)
{
    const auto box =
        makeMessageBox(std::string("first") + CR + LF + "second" + CR + "third", Buttons::YesNo,
                       Icon::Question, "Fatal Error: cannot continue", nullptr);
    EXPECT_EQ(box->windowTitle(), "Fatal Error: cannot continue");
    EXPECT_EQ(box->text(), "first\nsecond\nthird");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);

    EXPECT_EQ(makeMessageBox("x", Buttons::RetryCancel, Icon::Critical, "t", nullptr)->icon(),
              QMessageBox::Critical);
    EXPECT_EQ(makeMessageBox("x", Buttons::Ok, Icon::None, "t", nullptr)->standardButtons(),
              QMessageBox::Ok);
    EXPECT_EQ(answerFor(QMessageBox::Retry, Buttons::RetryCancel), Answer::Retry);
    EXPECT_EQ(answerFor(QMessageBox::Yes, Buttons::YesNo), Answer::Yes);
    // a box closed without one of its buttons declines
    EXPECT_EQ(answerFor(QMessageBox::NoButton, Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(answerFor(QMessageBox::NoButton, Buttons::YesNo), Answer::No);
}

TEST(QtBindings, PaneControlsPassTheKindCheckAndShowUpdates)
{
    SplitPane pane;
    const PaneBindings bindings = pane.bindings();
    ProgressBarBinding* bar = asProgressBar(bindings.progressBar);
    LabelBinding* label = asLabel(bindings.statusLabel);
    FileListBinding* list = asFileList(bindings.fileList);
    ASSERT_TRUE(bar && label && list);
    EXPECT_EQ(asLabel(bindings.progressBar), nullptr);

    bar->setMaximum(7);
    bar->setValue(3);
    bar->setVisible(true);
    EXPECT_EQ(bar->maximum(), 7);
    EXPECT_EQ(pane.ProgressBar1->value(), 3);
    EXPECT_FALSE(pane.ProgressBar1->isHidden());
    label->setCaption("Writing piece 2");
    EXPECT_EQ(pane.Label5->text(), "Writing piece 2");

    EXPECT_EQ(pane.ListView1->headerItem()->text(0), "Generated Files");
    EXPECT_EQ(pane.ListView1->headerItem()->text(1), "File Size");
    EXPECT_EQ(list->addRow("/out/a.001"), 0);
    const int second = list->addRow("/out/a.002");
    list->setRowSize(second, "1,413 KB");
    list->scrollToRow(second);
    ASSERT_EQ(pane.ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(pane.ListView1->topLevelItem(1)->text(0), "/out/a.002");
    EXPECT_EQ(pane.ListView1->topLevelItem(1)->text(1), "1,413 KB");
    EXPECT_FALSE(pane.ListView1->topLevelItem(1)->icon(0).isNull());
    list->clear();
    EXPECT_EQ(pane.ListView1->topLevelItemCount(), 0);

    // the Verify pane has no status label
    VerifyPane verify;
    EXPECT_EQ(verify.bindings().statusLabel, nullptr);
    EXPECT_NE(asFileList(verify.bindings().fileList), nullptr);
}
