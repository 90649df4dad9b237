#include "app/log_file.h"
#include "ui/frm_about.h"
#include "ui/frm_main.h"
#include "ui/frm_pcx_a_instructions.h"
#include "ui/join_pane.h"
#include "ui/main_menus.h"
#include "ui/options_pane.h"
#include "ui/qt_host.h"
#include "ui/split_pane.h"
#include "ui/verify_pane.h"

#include "shell_fixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace parcelo;

namespace {

using MainWindow = test::WindowTest;

std::string text(const QLineEdit* box)
{
    return box->text().toStdString();
}

std::string currentFolder()
{
    return QDir::toNativeSeparators(QDir::currentPath()).toStdString();
}

} // namespace

TEST_F(MainWindow, EveryWayToAPaneShowsItAloneWithItsHighlightAndFocus)
{
    const MainMenus& menus = *window->menus;
    // in the order of kPanes: Split, Join, Verify, Options
    QAction* const viewEntries[] = {menus.mnuV1, menus.mnuV2, menus.mnuV4, menus.mnuV3};
    QWidget* const focus[] = {window->splitPane->Text1, window->joinPane->Text5,
                              window->verifyPane->Text8, window->optionsPane->txtDefoutSplit};
    const auto showsOnly = [&](std::size_t shown) {
        EXPECT_EQ(window->visiblePane(), kPanes[shown]);
        EXPECT_EQ(window->focusWidget(), focus[shown]);
        for (std::size_t i = 0; i < kPanes.size(); ++i) {
            const int index = static_cast<int>(kPanes[i]);
            EXPECT_EQ(window->navigation->highlightOf(kPanes[i])->isVisible(), i == shown);
            EXPECT_EQ(window->panes->widget(index)->isVisible(), i == shown);
        }
    };
    for (std::size_t pane : {1, 2, 3, 0}) {
        window->navigation->button(kPanes[pane])->click();
        showsOnly(pane);
        viewEntries[(pane + 2) % 4]->trigger();
        showsOnly((pane + 2) % 4);
    }
    menus.mnuSettings->trigger();
    showsOnly(3);
}

TEST_F(MainWindow, BrowseFillsTheBoxesAndRemembersTheFolder)
{
    SplitPane& split = *window->splitPane;
    split.Text4->clear();
    shell.dialogs.picks = {"/d/in/a.txt"};
    window->menus->mnuFileSp->trigger();
    EXPECT_EQ(shell.dialogs.starts.back(), currentFolder());
    EXPECT_EQ(text(split.Text1), "/d/in/a.txt");
    EXPECT_EQ(text(split.Text4), "/d/in/");
    EXPECT_EQ(window->LastBrowseFolder(), "/d/in/");
    EXPECT_EQ(window->focusWidget(), split.cmdSpSplit);

    // a box that holds a path starts in its folder; cancelling keeps the box
    VerifyPane& verify = *window->verifyPane;
    const std::string prefilled = text(verify.Text8);
    window->Command5_Click();
    EXPECT_EQ(shell.dialogs.starts.back(), prefilled);
    EXPECT_EQ(text(verify.Text8), prefilled);
    EXPECT_EQ(window->visiblePane(), Pane::Verify);

    // an empty box starts where the last file was picked; a destination is kept
    JoinPane& join = *window->joinPane;
    join.Text5->clear();
    join.Text6->setText("/keep/");
    shell.dialogs.picks = {"/e/set/movie.avi.003"};
    join.Command1->click();
    EXPECT_EQ(shell.dialogs.starts.back(), "/d/in/");
    EXPECT_EQ(text(join.Text5), "/e/set/movie.avi.003");
    EXPECT_EQ(text(join.Text6), "/keep/");
    EXPECT_EQ(window->LastBrowseFolder(), "/e/set/");

    // folders get one final separator; cancelling keeps the box
    OptionsPane& options = *window->optionsPane;
    const std::string before = text(options.txtDefoutJoin);
    shell.dialogs.picks = {"/work/out", "/", ""};
    options.cmdOptBr2->click();
    EXPECT_EQ(shell.dialogs.starts.back(), before);
    EXPECT_EQ(text(options.txtDefoutJoin), "/work/out/");
    window->Command2_Click();
    EXPECT_EQ(text(split.Text4), "/");
    join.Command4->click();
    EXPECT_EQ(text(join.Text6), "/keep/");
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
    EXPECT_FALSE(menus.mnuSpFileItem[2]->isVisible());
    EXPECT_FALSE(menus.mnuSpFileRecentTemp->isVisible());
    EXPECT_TRUE(menus.mnuJnFileRecentTemp->isVisible());

    window->cmdMOptions_Click();
    menus.mnuSpFileItem[0]->trigger();
    EXPECT_EQ(text(window->splitPane->Text1), present);
    shell.host.answer(Question::Notice, Answer::Ok, "could not be located");
    menus.mnuSpFileItem[1]->trigger();
    EXPECT_EQ(text(window->splitPane->Text1), gone);
    EXPECT_EQ(shell.host.shown.back().text, "The file " + gone + " could not be located.");
    EXPECT_EQ(window->visiblePane(), Pane::Options);

    // a file recorded while the program runs shows at once
    window->recentFiles().AddRecentFile(present, "Verified");
    EXPECT_TRUE(menus.mnuVfFileItem[0]->isVisible());
    window->mnuVfFileItem_Click(1);
    EXPECT_EQ(text(window->verifyPane->Text8), present);
}

TEST_F(MainWindow, ExploreEntriesOpenTheirFoldersOrSayTheyCannot)
{
    MainMenus& menus = *window->menus;
    const std::string splitFolder = shell.appFolder + "/PcxBr";
    menus.mnuExplore[0]->trigger();
    EXPECT_EQ(shell.desktop.folders, std::vector<std::string>{splitFolder});

    offerSplitFolder(window->exploreMenu(), shell.app.file("removed"));
    window->refreshExploreMenu();
    ASSERT_TRUE(menus.mnuExplore[2]->isVisible());
    shell.host.answer(Question::Notice, Answer::Ok,
                      "There was an error in opening the specified folder.");
    menus.mnuExplore[2]->trigger();
    EXPECT_EQ(shell.host.shown.back().icon, Icon::Critical);
    EXPECT_EQ(shell.desktop.folders.size(), 1u);

    shell.desktop.succeed = false;
    shell.host.answer(Question::Notice, Answer::Ok,
                      "There was an error in opening the specified folder.");
    window->mnuExplore_Click(2);
    EXPECT_EQ(shell.desktop.folders.back(), shell.appFolder + "/PcxJn");
}

TEST_F(MainWindow, LogCommandsOpenDeleteAndRestartTheLog)
{
    MainMenus& menus = *window->menus;
    WriteLogEntry(shell.paths.logFilePath, "an older entry");
    menus.mnuViewLogFile->trigger();
    EXPECT_EQ(shell.desktop.edited, std::vector<std::string>{shell.paths.logFilePath});

    shell.host.answer(Question::Replace, Answer::Yes,
                      "Are you sure you want to delete the existing log file");
    menus.mnuDeleteLogFile->trigger();
    ASSERT_EQ(shell.logLines().size(), 1u);
    EXPECT_TRUE(test::contains(shell.logLines()[0], "...Creating new log file"));

    std::filesystem::remove(shell.paths.logFilePath);
    shell.host.answer(Question::CreateFile, Answer::No, "Would you like to create a new log file?");
    menus.mnuViewLogFile->trigger();
    EXPECT_FALSE(std::filesystem::exists(shell.paths.logFilePath));
    EXPECT_EQ(shell.desktop.edited.size(), 1u);
}

TEST_F(MainWindow, AboutBoxAndWebLinks)
{
    shell.dialogs.onModal = [&](QDialog& dialog) {
        auto& about = dynamic_cast<frmAbout&>(dialog);
        EXPECT_EQ(about.windowTitle(), "About Parcelo");
        EXPECT_EQ(about.lblTitle->text(), "Parcelo");
        EXPECT_EQ(about.lblVersion->text(), "Version 1.2");
        EXPECT_FALSE(about.Label3->isVisible());
        EXPECT_EQ(about.Label2->text(), "Compress and Split Files");
        EXPECT_EQ(about.Label4->text(), "On web: https://www.norvane.example/");
    };
    window->menus->mnuAbout->trigger();
    EXPECT_EQ(shell.dialogs.modalsShown, std::vector<std::string>{"frmAbout"});

    window->menus->mnuSupport->trigger();
    EXPECT_EQ(shell.desktop.webPages.back(), "https://www.norvane.example/parcelo/support/");
    shell.desktop.succeed = false;
    shell.host.answer(Question::Notice, Answer::Ok, "A Internet browser");
    window->menus->mnuWeb->trigger();
    EXPECT_EQ(shell.host.shown.back().text,
              "A Internet browser could not be started or https://www.norvane.example/ could not "
              "be accessed.\rPlease open a browser and open https://www.norvane.example/.");
}

TEST_F(MainWindow, JoinerWindowSaysWhenTheJoinerIsMissingAndStaysOpen)
{
    shell.dialogs.onModal = [&](QDialog& dialog) {
        auto& instructions = dynamic_cast<frmPcxAInstructions&>(dialog);
        shell.host.answer(Question::Notice, Answer::Ok, "can not be located");
        instructions.Command1->click();
        EXPECT_TRUE(instructions.isVisible());
        // present beside the program: started, nothing said
        test::writeFile(shell.app.file(kAssemblerProgram), "");
        instructions.Command1->click();
    };
    window->menus->mnuPcxAssembler1->trigger();
    shell.host.expectOnlyCritical(
        "PcxAssembler can not be located in the application folder.\n"
        "Make sure that the files exists in the folder where Parcelo is installed.\n"
        "If you can not find this file, reinstall Parcelo or download PcxAssembler from "
        "https://www.norvane.example/m/download/PcxAssembler.exe");
    EXPECT_EQ(shell.desktop.started, std::vector<std::string>{shell.app.file(kAssemblerProgram)});
}

TEST(QtHost, MessageBoxesCarryTitleIconButtonsAndLineBreaks)
{
    const auto box =
        makeMessageBox(Question::Exit, std::string("first") + CR + LF + "second" + CR + "third",
                       Buttons::YesNo, Icon::Question, "Fatal Error: cannot continue", nullptr);
    EXPECT_EQ(box->windowTitle(), "Fatal Error: cannot continue");
    EXPECT_EQ(box->text(), "first\nsecond\nthird");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    // a box closed without one of its buttons declines
    EXPECT_EQ(answerFor(QMessageBox::NoButton, Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(answerFor(QMessageBox::NoButton, Buttons::YesNo), Answer::No);
}

TEST(QtHost, QuestionsThatDeleteFilesDefaultToNo)
{
    for (const Question kind :
         {Question::DeleteSource, Question::DeletePieces, Question::Replace}) {
        const auto box = makeMessageBox(kind, "delete them?", Buttons::YesNo, Icon::Question,
                                        kProductName, nullptr);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::No);
    }
    const auto exit = makeMessageBox(Question::Exit, "exit?", Buttons::YesNo, Icon::Question,
                                     kProductName, nullptr);
    EXPECT_EQ(exit->defaultButton(), nullptr); // other questions keep the style's default
}
