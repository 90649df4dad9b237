#include "app/log_file.h"
#include "ui/frm_folder.h"
#include "ui/frm_main.h"
#include "ui/join_pane.h"
#include "ui/main_menus.h"
#include "ui/options_pane.h"
#include "ui/split_pane.h"
#include "ui/verify_pane.h"

#include "shell_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace parcelo;

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell.installConfig();
        window = shell.start();
        ASSERT_NE(window, nullptr);
    }

    std::string text(const QLineEdit* box) const { return box->text().toStdString(); }

    test::Shell shell;
    std::unique_ptr<frmMain> window;
};

std::string currentFolder()
{
    return QDir::toNativeSeparators(QDir::currentPath()).toStdString();
}

} // namespace

TEST_F(MainWindow, EveryWayToAPaneShowsItsHighlightAndFocus)
{
    struct Way {
        std::function<void()> open;
        Pane pane;
        QWidget* focus;
    };
    const MainMenus& menus = *window->menus;
    const Way ways[] = {
        {[&] { window->navigation->cmdMJoin->click(); }, Pane::Join, window->joinPane->Text5},
        {[&] { window->navigation->cmdMVerify->click(); }, Pane::Verify, window->verifyPane->Text8},
        {[&] { window->navigation->cmdMOptions->click(); }, Pane::Options,
         window->optionsPane->txtDefoutSplit},
        {[&] { window->navigation->cmdMSplit->click(); }, Pane::Split, window->splitPane->Text1},
        {[&] { menus.mnuV2->trigger(); }, Pane::Join, window->joinPane->Text5},
        {[&] { menus.mnuV4->trigger(); }, Pane::Verify, window->verifyPane->Text8},
        {[&] { menus.mnuV3->trigger(); }, Pane::Options, window->optionsPane->txtDefoutSplit},
        {[&] { menus.mnuV1->trigger(); }, Pane::Split, window->splitPane->Text1},
        {[&] { menus.mnuSettings->trigger(); }, Pane::Options, window->optionsPane->txtDefoutSplit},
    };
    for (const Way& way : ways) {
        way.open();
        EXPECT_EQ(window->visiblePane(), way.pane);
        EXPECT_EQ(window->focusWidget(), way.focus);
        int visiblePanes = 0;
        for (Pane pane : kPanes) {
            const bool shown = pane == way.pane;
            EXPECT_EQ(window->navigation->highlightOf(pane)->isVisible(), shown);
            EXPECT_EQ(window->navigation->button(pane)->isVisible(), !shown);
            visiblePanes += window->panes->widget(static_cast<int>(pane))->isVisible() ? 1 : 0;
        }
        EXPECT_EQ(visiblePanes, 1);
    }
    EXPECT_EQ(window->optionsPane->Label25->text(),
              "(Options will be saved automatically when you exit the application.)");
    EXPECT_FALSE(window->optionsPane->ProgressBar4->isVisible());
}

TEST_F(MainWindow, SplitByOptionsFollowTheControlsInUse)
{
    SplitPane& pane = *window->splitPane;
    QTest::mouseClick(pane.Option2, Qt::LeftButton);
    EXPECT_TRUE(pane.Option2->isChecked());
    EXPECT_EQ(window->focusWidget(), pane.Text2);
    QTest::mouseClick(pane.Text3, Qt::LeftButton);
    EXPECT_TRUE(pane.Option1->isChecked());
    EXPECT_EQ(window->focusWidget(), pane.Text3);
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(pane.Combo2, &focusIn);
    EXPECT_TRUE(pane.Option3->isChecked());
    QTest::mouseClick(pane.Text2, Qt::LeftButton);
    EXPECT_TRUE(pane.Option2->isChecked());
    emit pane.Combo1->activated(1);
    EXPECT_TRUE(pane.Option1->isChecked());
    // choosing a list entry from code does not move the option
    pane.Combo2->setCurrentIndex(3);
    EXPECT_TRUE(pane.Option1->isChecked());
}

TEST_F(MainWindow, FileBrowseFillsTheBoxesAndRemembersTheFolder)
{
    SplitPane& split = *window->splitPane;
    split.Text4->clear();
    shell.dialogs.filesToPick = {"/d/in/a.txt"};
    window->menus->mnuFileSp->trigger();
    EXPECT_EQ(shell.dialogs.fileDialogStarts.back(), currentFolder());
    EXPECT_EQ(text(split.Text1), "/d/in/a.txt");
    EXPECT_EQ(text(split.Text4), "/d/in/");
    EXPECT_EQ(window->LastBrowseFolder(), "/d/in/");
    EXPECT_EQ(window->focusWidget(), split.cmdSpSplit);

    // a box that holds a path starts in its folder; cancelling keeps the box; the pane
    // comes forward
    VerifyPane& verify = *window->verifyPane;
    const std::string prefilled = text(verify.Text8);
    window->Command5_Click();
    EXPECT_EQ(shell.dialogs.fileDialogStarts.back(), prefilled);
    EXPECT_EQ(text(verify.Text8), prefilled);
    EXPECT_EQ(window->visiblePane(), Pane::Verify);
    EXPECT_EQ(window->focusWidget(), verify.cmdVerify1);

    // an empty box starts where the last file was picked; a destination is kept
    JoinPane& join = *window->joinPane;
    join.Text5->clear();
    join.Text6->setText("/keep/");
    shell.dialogs.filesToPick = {"/e/set/movie.avi.003"};
    join.Command1->click();
    EXPECT_EQ(shell.dialogs.fileDialogStarts.back(), "/d/in/");
    EXPECT_EQ(text(join.Text5), "/e/set/movie.avi.003");
    EXPECT_EQ(text(join.Text6), "/keep/");
    EXPECT_EQ(window->LastBrowseFolder(), "/e/set/");
    EXPECT_EQ(window->focusWidget(), join.cmdJoin);

    // cancelling with an empty box leaves it empty
    join.Text5->clear();
    window->Command1_Click();
    EXPECT_TRUE(join.Text5->text().isEmpty());
}

TEST_F(MainWindow, FolderBrowseAddsOneSeparatorAndCancelKeepsTheBox)
{
    OptionsPane& options = *window->optionsPane;
    const std::string before = text(options.txtDefoutJoin);
    shell.dialogs.foldersToPick = {"/work/out", "/", ""};
    options.cmdOptBr2->click();
    EXPECT_EQ(shell.dialogs.folderChooserStarts.back(), before);
    EXPECT_EQ(text(options.txtDefoutJoin), "/work/out/");
    EXPECT_EQ(window->SelectedFolder(), "/work/out");
    window->Command2_Click();
    EXPECT_EQ(text(window->splitPane->Text4), "/");
    window->joinPane->Command4->click();
    EXPECT_EQ(text(window->joinPane->Text6), before);
    EXPECT_EQ(window->SelectedFolder(), "");
}

TEST(FolderChooser, OpensAtAnExistingFolderAndElsewhereInTheWorkingFolder)
{
    test::TempFolder temp;
    std::filesystem::create_directory(temp.path() / "inner");
    const std::string inner = (temp.path() / "inner").string();
    test::ScriptedHost host;

    frmFolder chooser(host, inner);
    EXPECT_EQ(chooser.windowTitle(), " Select Destination Folder");
    EXPECT_EQ(chooser.highlightedFolder(), inner);
    chooser.cmdOK->click();
    EXPECT_EQ(chooser.SelectedFolder(), inner);

    for (const std::string& start :
         {std::string("a:/inner"), temp.file("missing"), std::string()}) {
        frmFolder elsewhere(host, start);
        EXPECT_EQ(elsewhere.highlightedFolder(), currentFolder()) << start;
        elsewhere.cmdCancel->click();
        EXPECT_EQ(elsewhere.SelectedFolder(), "");
    }
}

TEST_F(MainWindow, RecentMenusShowTheStoredListsAndFillTheBoxes)
{
    const std::string present = shell.app.file("present & here.bin");
    test::writeFile(present, "x");
    const std::string gone = shell.app.file("gone.bin");
    window.reset();
    RecentFiles stored(shell.registry, [](const std::string&) {});
    stored.AddRecentFile(gone, "Split");
    stored.AddRecentFile(present, "Split");
    window = shell.start();
    ASSERT_NE(window, nullptr);

    MainMenus& menus = *window->menus;
    EXPECT_EQ(menus.mnuSpFileItem[0]->text().toStdString(),
              "1. " + shell.app.file("present && here.bin"));
    EXPECT_EQ(menus.mnuSpFileItem[1]->text().toStdString(), "2. " + gone);
    EXPECT_TRUE(menus.mnuSpFileItem[1]->isVisible());
    EXPECT_FALSE(menus.mnuSpFileItem[2]->isVisible());
    EXPECT_FALSE(menus.mnuSpFileRecentTemp->isVisible());
    EXPECT_TRUE(menus.mnuJnFileRecentTemp->isVisible());
    EXPECT_FALSE(menus.mnuJnFileItem[0]->isVisible());

    window->cmdMOptions_Click();
    menus.mnuSpFileItem[0]->trigger();
    EXPECT_EQ(text(window->splitPane->Text1), present);
    EXPECT_TRUE(shell.host.shown.empty());
    shell.host.answer(Answer::Ok, "could not be located");
    menus.mnuSpFileItem[1]->trigger();
    EXPECT_EQ(text(window->splitPane->Text1), gone);
    EXPECT_EQ(shell.host.shown.back().text, "The file " + gone + " could not be located.");
    EXPECT_EQ(shell.host.shown.back().icon, Icon::None);
    EXPECT_EQ(window->visiblePane(), Pane::Options);

    // a file recorded while the program runs shows at once
    window->recentFiles().AddRecentFile(present, "Verified");
    EXPECT_TRUE(menus.mnuVfFileItem[0]->isVisible());
    EXPECT_FALSE(menus.mnuVfFileRecentTemp->isVisible());
    window->mnuVfFileItem_Click(1);
    EXPECT_EQ(text(window->verifyPane->Text8), present);
}

TEST_F(MainWindow, ExploreEntriesOpenTheirFoldersOrSayTheyCannot)
{
    MainMenus& menus = *window->menus;
    const std::string splitFolder = shell.appFolder + "/PcxBr";
    EXPECT_EQ(menus.mnuExplore[0]->text().toStdString(), splitFolder);
    menus.mnuExplore[0]->trigger();
    EXPECT_EQ(shell.desktop.folders, std::vector<std::string>{splitFolder});

    offerSplitFolder(window->exploreMenu(), shell.app.file("removed"));
    window->refreshExploreMenu();
    ASSERT_TRUE(menus.mnuExplore[2]->isVisible());
    shell.host.answer(Answer::Ok, "There was an error in opening the specified folder.");
    menus.mnuExplore[2]->trigger();
    EXPECT_EQ(shell.host.shown.back().icon, Icon::Critical);
    EXPECT_EQ(shell.desktop.folders.size(), 1u);

    shell.desktop.succeed = false;
    shell.host.answer(Answer::Ok, "There was an error in opening the specified folder.");
    window->mnuExplore_Click(2);
    EXPECT_EQ(shell.desktop.folders.back(), shell.appFolder + "/PcxJn");
}

TEST_F(MainWindow, LogCommandsOpenDeleteAndRestartTheLog)
{
    MainMenus& menus = *window->menus;
    WriteLogEntry(shell.paths.logFilePath, "an older entry");
    menus.mnuViewLogFile->trigger();
    EXPECT_EQ(shell.desktop.edited, std::vector<std::string>{shell.paths.logFilePath});

    shell.host.answer(Answer::Yes, "Are you sure you want to delete the existing log file");
    menus.mnuDeleteLogFile->trigger();
    ASSERT_EQ(shell.logLines().size(), 1u);
    EXPECT_NE(shell.logLines()[0].find("...Creating new log file"), std::string::npos);

    std::filesystem::remove(shell.paths.logFilePath);
    shell.host.answer(Answer::No, "Would you like to create a new log file?");
    menus.mnuViewLogFile->trigger();
    EXPECT_FALSE(std::filesystem::exists(shell.paths.logFilePath));
    EXPECT_EQ(shell.desktop.edited.size(), 1u);
}
