#include "shell_fixture.h"

#include <filesystem>

using namespace parcelo;
using test::contains;

using Options = test::WindowTest;

TEST(StartUp, WithoutConfigEndsWithTheFatalMessageAfterPreparingFolders)
{
    test::Shell shell;
    shell.host.answer(Question::Notice, Answer::Ok, "config.xml file can not be found.");
    EXPECT_EQ(shell.start(), nullptr); // the texts are config_file_test's
    const auto log = shell.logLines();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(contains(log[0], "...Creating new log file"));
    EXPECT_TRUE(contains(log[1], "Fatal Error: " + shell.paths.configFilePath));
    for (const char* folder : {"Temp", "PcxBr", "PcxJn"})
        EXPECT_TRUE(std::filesystem::is_directory(shell.app.path() / folder)) << folder;

    // a malformed file is the start-up failure, named with the reason and where it is
    shell.installConfig("<Cfg>\n<Web a=\"1\"/>\n");
    shell.host.answer(Question::Notice, Answer::Ok, "Could not start application properly.");
    EXPECT_EQ(shell.start(), nullptr);
    EXPECT_EQ(shell.host.shown.at(1).text,
              "Could not start application properly.\r-2147221495: " + shell.paths.configFilePath
                  + ": Missing closing tag </Cfg> at line 3, column 1."
                    "\rIf the problem persists, please contact support@norvane.example.");
    EXPECT_EQ(shell.host.shown[1].icon, Icon::Critical);
}

TEST(StartUp, ShowsTheSplitPaneWithTheOptionsInTheControlsAndLogsOnlyTheFirstTime)
{
    test::Shell shell;
    const std::string split = shell.app.file("out-split"), join = shell.app.file("out-join");
    shell.installConfig("<Cfg>\n<Web maker=\"m\" product=\"p\" contact=\"c\" support=\"s\"/>\n"
                        "<Zip auto=\"true\" level=\"5\"/>\n<Dirs src=\"/in/a.bin\" srcDir=\"/in/\" "
                        "split=\""
                        + split + "\" piece=\"\" pieceDir=\"\" join=\"" + join
                        + "\"/>\n<Del s=\"true\" j=\"false\"/>\n</Cfg>\n");
    auto window = shell.start();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->visiblePane(), Pane::Split);
    EXPECT_EQ(window->focusWidget(), window->splitPane->Text1);
    EXPECT_EQ(shell.logLines().size(), 1u);

    const OptionsPane& options = *window->optionsPane;
    EXPECT_TRUE(options.chkAutoCompress->isChecked() && window->splitPane->Check1->isChecked());
    EXPECT_TRUE(options.optCLevel2->isChecked());
    EXPECT_TRUE(options.chkDelOrgSplit->isChecked());
    EXPECT_FALSE(options.chkDelOrgJoin->isChecked());
    for (const QLineEdit* box : {options.txtDefoutSplit, window->splitPane->Text4})
        EXPECT_EQ(box->text().toStdString(), split + "/");
    // a folder in a piece box would only be refused as no file name
    EXPECT_TRUE(window->joinPane->Text5->text().isEmpty());
    EXPECT_TRUE(window->verifyPane->Text8->text().isEmpty());
    for (const QLineEdit* box : {options.txtDefoutJoin, window->joinPane->Text6})
        EXPECT_EQ(box->text().toStdString(), join + "/");
    EXPECT_TRUE(window->splitPane->Text1->text().isEmpty());
    EXPECT_EQ(window->LastBrowseFolder(), "/in/");

    window.reset();
    std::filesystem::create_directory(shell.app.path() / "PcxBr" / "kept");
    window = shell.start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(shell.logLines().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(shell.app.path() / "PcxBr" / "kept"));
}

// The scripted host fails the case on any message not queued here.
TEST_F(Options, ExitSavesOnlyWhenConfirmedClosingSavesWithoutAskingAndAFailureIsSaidOnce)
{
    int ended = 0;
    window->setOnEnded([&ended] { ++ended; });
    const std::string before = shell.config();
    window->optionsPane->chkAutoCompress->setChecked(true);
    window->optionsPane->optCLevel3->setChecked(true);
    window->splitPane->Text1->setText("/data/movie.avi");
    shell.host.answer(Question::Exit, Answer::No, "Are you sure you want to exit the application?");
    window->navigation->cmdMExit->click();
    EXPECT_EQ(shell.config(), before);
    EXPECT_TRUE(window->isVisible());

    shell.host.answer(Question::Exit, Answer::Yes, "exit the application");
    window->menus->mnuExit->trigger();
    EXPECT_TRUE(contains(shell.config(), "auto=\"true\" level=\"1\""));
    EXPECT_TRUE(
        contains(shell.config(), "lastSplitFile=\"/data/movie.avi\" lastSplitFolder=\"/data/\""));
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(window->isVisible());

    window = shell.start();
    ASSERT_NE(window, nullptr);
    window->optionsPane->chkDelOrgJoin->setChecked(true);
    window->close();
    EXPECT_TRUE(contains(shell.config(), "afterJoin=\"true\""));
    EXPECT_TRUE(window->hasEnded());

    // the close that ends the program must not save (and complain) a second time
    window = shell.start();
    std::filesystem::remove(shell.paths.configFilePath);
    shell.host.answer(Question::Exit, Answer::Yes, "exit the application")
        .answer(Question::Notice, Answer::Ok, "can not be found");
    window->cmdMExit_Click();
    EXPECT_TRUE(shell.host.allAnswersUsed());
    EXPECT_TRUE(window->hasEnded());
}

TEST_F(Options, SaveOptionsShowsItsProgressAndTidiesTheFolderBoxes)
{
    OptionsPane& options = *window->optionsPane;
    window->cmdMOptions_Click();
    const std::string folder = shell.app.file("chosen");
    options.txtDefoutSplit->setText(QString::fromStdString(folder + "/"));

    const std::string before = shell.config();
    window->setSaveOptionsPause([&] { window->splitPane->cmdSpCancel->click(); });
    options.Command6->click();
    EXPECT_EQ(options.Label25->text(), "Cancelled.");
    EXPECT_EQ(shell.config(), before) << "a stopped save writes nothing";

    bool sawProgress = false;
    window->setSaveOptionsPause([&] {
        sawProgress = options.Label25->text() == "Saving options...."
                      && options.ProgressBar4->isVisible() && options.ProgressBar4->value() == 1;
    });
    options.Command6->click();
    EXPECT_TRUE(sawProgress);
    EXPECT_EQ(options.Label25->text(), "Completed saving options successfully.");
    EXPECT_FALSE(options.ProgressBar4->isVisible());
    EXPECT_EQ(shell.host.busyChanges, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(options.txtDefoutSplit->text().toStdString(), folder);
    EXPECT_TRUE(contains(shell.config(), "splitFolder=\"" + folder + "\""));
    EXPECT_EQ(window->menus->mnuExplore[0]->text().toStdString(), folder);

    std::filesystem::remove(shell.paths.configFilePath);
    shell.host.answer(Question::Notice, Answer::Ok, "can not be found");
    options.Command6->click();
    EXPECT_EQ(options.Label25->text(), "Error in saving configuration: File config.xml was not "
                                       "found in the application folder.");
    EXPECT_FALSE(options.ProgressBar4->isVisible());
}
