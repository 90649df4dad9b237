#include "ui/frm_main.h"
#include "ui/join_pane.h"
#include "ui/main_menus.h"
#include "ui/options_pane.h"
#include "ui/split_pane.h"
#include "ui/start_up.h"
#include "ui/verify_pane.h"

#include "shell_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace parcelo;

namespace {

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size()
           && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string configWith(const std::string& splitFolder, const std::string& joinFolder)
{
    return "<Cfg>\n<Web maker=\"https://maker.example/\" product=\"https://maker.example/p/\" "
           "contact=\"c\" support=\"https://maker.example/s/\"/>\n"
           "<Zip auto=\"true\" level=\"5\"/>\n"
           "<Dirs src=\"/in/a.bin\" srcDir=\"/in/\" split=\""
           + splitFolder + "\" piece=\"\" pieceDir=\"\" join=\"" + joinFolder
           + "\"/>\n<Del s=\"true\" j=\"false\"/>\n</Cfg>\n";
}

class StartUp : public ::testing::Test {
protected:
    test::Shell shell;
};

} // namespace

TEST_F(StartUp, WithoutConfigEndsWithTheFatalMessageAfterPreparingFolders)
{
    shell.host.answer(Answer::Ok, "config.xml file can not be found.");
    EXPECT_EQ(shell.start(), nullptr);

    const std::string notFound = shell.paths.configFilePath + " file can not be found.";
    const std::string check =
        "Please make sure that the configuration file exists in the root path(" + shell.appFolder
        + ") of the application.";
    ASSERT_EQ(shell.host.shown.size(), 1u);
    EXPECT_EQ(shell.host.shown[0].text, notFound + "\n" + check);
    EXPECT_EQ(shell.host.shown[0].title, "Fatal Error: cannot continue");
    const auto log = shell.logLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(endsWith(log[0], "...Creating new log file\r"));
    EXPECT_TRUE(endsWith(log[1], "Fatal Error: " + notFound + " " + check + "\r"));
    for (const char* folder : kWorkingFolders)
        EXPECT_TRUE(std::filesystem::is_directory(shell.app.path() / folder)) << folder;
}

TEST_F(StartUp, ShowsTheSplitPaneWithFocusInTheSourceBoxAndLogsOnlyTheFirstTime)
{
    shell.installConfig();
    auto window = shell.start();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Parcelo");
    EXPECT_EQ(window->visiblePane(), Pane::Split);
    EXPECT_EQ(window->focusWidget(), window->splitPane->Text1);
    EXPECT_EQ(shell.logLines().size(), 1u);
    window.reset();

    std::filesystem::create_directory(shell.app.path() / "PcxBr" / "kept");
    window = shell.start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(shell.logLines().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(shell.app.path() / "PcxBr" / "kept"));
    EXPECT_TRUE(shell.host.shown.empty());
}

TEST_F(StartUp, MalformedConfigShowsTheStartUpFailureAndNoWindow)
{
    shell.installConfig("<Cfg>\n<Web a=\"1\"/>\n");
    shell.host.answer(Answer::Ok, "Could not start application properly.");
    EXPECT_EQ(shell.start(), nullptr);
    ASSERT_EQ(shell.host.shown.size(), 1u);
    EXPECT_EQ(shell.host.shown[0].text,
              "Could not start application properly.\r-2147221495: Missing closing tag </Cfg>."
              "\rIf the problem persists, please contact support@norvane.example.");
    EXPECT_EQ(shell.host.shown[0].icon, Icon::Critical);
    EXPECT_EQ(shell.host.shown[0].title, "Parcelo");
}

TEST_F(StartUp, OptionsFillTheControlsAndTheExploreMenu)
{
    const std::string split = shell.app.file("out-split");
    const std::string join = shell.app.file("out-join");
    shell.installConfig(configWith(split, join));
    auto window = shell.start();
    ASSERT_NE(window, nullptr);

    const OptionsPane& options = *window->optionsPane;
    EXPECT_TRUE(options.chkAutoCompress->isChecked());
    EXPECT_TRUE(window->splitPane->Check1->isChecked());
    EXPECT_TRUE(options.optCLevel2->isChecked());
    EXPECT_FALSE(options.optCLevel1->isChecked());
    EXPECT_TRUE(options.chkDelOrgSplit->isChecked());
    EXPECT_FALSE(options.chkDelOrgJoin->isChecked());
    const QString splitBox = QString::fromStdString(split + "/");
    EXPECT_EQ(options.txtDefoutSplit->text(), splitBox);
    EXPECT_EQ(window->splitPane->Text4->text(), splitBox);
    EXPECT_EQ(window->joinPane->Text5->text(), splitBox);
    EXPECT_EQ(window->verifyPane->Text8->text(), splitBox);
    EXPECT_EQ(window->joinPane->Text6->text(), QString::fromStdString(join + "/"));
    EXPECT_EQ(options.txtDefoutJoin->text(), QString::fromStdString(join + "/"));
    EXPECT_TRUE(window->splitPane->Text1->text().isEmpty());
    EXPECT_EQ(window->splitPane->Combo1->currentText(), "MegaBytes");
    EXPECT_EQ(window->splitPane->Combo2->currentText(), "1.38 MegaBytes");
    EXPECT_EQ(window->LastBrowseFolder(), "/in/");
    EXPECT_EQ(window->loadedOptions().supportWebPage, "https://maker.example/s/");

    const MainMenus& menus = *window->menus;
    EXPECT_EQ(menus.mnuExplore[0]->text(), QString::fromStdString(split));
    EXPECT_TRUE(menus.mnuExplore[0]->isVisible());
    EXPECT_EQ(menus.mnuExplore[1]->data().toString(), QString::fromStdString(join));
    EXPECT_TRUE(menus.mnuExplore[1]->isVisible());
    EXPECT_FALSE(menus.mnuExplore[2]->isVisible());
    EXPECT_FALSE(menus.mnuExploreTemp->isVisible());
}

TEST_F(StartUp, ExitAsksAndSavesOnlyWhenConfirmed)
{
    shell.installConfig();
    auto window = shell.start();
    ASSERT_NE(window, nullptr);
    int ended = 0;
    window->setOnEnded([&ended] { ++ended; });
    const std::string before = shell.config();

    window->optionsPane->chkAutoCompress->setChecked(true);
    window->optionsPane->optCLevel3->setChecked(true);
    window->splitPane->Text1->setText("/data/movie.avi");
    shell.host.answer(Answer::No, "Are you sure you want to exit the application?");
    window->navigation->cmdMExit->click();
    EXPECT_EQ(shell.host.shown.back().icon, Icon::Question);
    EXPECT_EQ(shell.config(), before);
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(window->isVisible());

    shell.host.answer(Answer::Yes, "Are you sure you want to exit the application?");
    window->menus->mnuExit->trigger();
    const std::string after = shell.config();
    EXPECT_TRUE(holds(after, "auto=\"true\" level=\"1\""));
    EXPECT_TRUE(holds(after, "lastSplitFile=\"/data/movie.avi\" lastSplitFolder=\"/data/\""));
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(StartUp, ClosingTheWindowSavesWithoutAsking)
{
    shell.installConfig();
    auto window = shell.start();
    ASSERT_NE(window, nullptr);
    window->optionsPane->chkDelOrgJoin->setChecked(true);
    window->close();
    EXPECT_TRUE(holds(shell.config(), "afterJoin=\"true\""));
    EXPECT_TRUE(window->hasEnded());
}

TEST_F(StartUp, ExitSavesOnceEvenWhenTheSaveFails)
{
    shell.installConfig();
    auto window = shell.start();
    ASSERT_NE(window, nullptr);
    std::filesystem::remove(shell.paths.configFilePath);
    // one question and one missing-file message: the close that ends the program must
    // not save a second time
    shell.host.answer(Answer::Yes, "exit the application").answer(Answer::Ok, "can not be found");
    window->cmdMExit_Click();
    EXPECT_EQ(shell.host.shown.size(), 2u);
    EXPECT_TRUE(window->hasEnded());
}

TEST_F(StartUp, SaveOptionsShowsItsProgressAndTidiesTheFolderBoxes)
{
    shell.installConfig();
    auto window = shell.start();
    ASSERT_NE(window, nullptr);
    OptionsPane& options = *window->optionsPane;
    window->cmdMOptions_Click();
    const std::string folder = shell.app.file("chosen");
    options.txtDefoutSplit->setText(QString::fromStdString(folder + "/"));

    bool sawProgress = false;
    window->setSaveOptionsPause([&] {
        sawProgress = options.Label25->text() == "Saving options...."
                      && options.ProgressBar4->isVisible() && options.ProgressBar4->maximum() == 4
                      && options.ProgressBar4->value() == 1
                      && shell.host.busyChanges == std::vector<bool>{true};
    });
    options.Command6->click();
    EXPECT_TRUE(sawProgress);
    EXPECT_EQ(options.Label25->text(), "Completed saving options successfully.");
    EXPECT_EQ(options.ProgressBar4->value(), 4);
    EXPECT_FALSE(options.ProgressBar4->isVisible());
    EXPECT_EQ(shell.host.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(options.txtDefoutSplit->text(), QString::fromStdString(folder));
    EXPECT_TRUE(holds(shell.config(), "splitFolder=\"" + folder + "\""));
    EXPECT_EQ(window->menus->mnuExplore[0]->text(), QString::fromStdString(folder));

    std::filesystem::remove(shell.paths.configFilePath);
    shell.host.answer(Answer::Ok, "can not be found");
    options.Command6->click();
    EXPECT_EQ(options.Label25->text(), "Error in saving configuration: File config.xml was not "
                                       "found in the application folder.");
    EXPECT_EQ(options.ProgressBar4->value(), 0);
    EXPECT_FALSE(options.ProgressBar4->isVisible());
}
