#include "app/log_file.h"
#include "platform/password.h"
#include "ui/frm_about.h"
#include "ui/frm_pcx_a_instructions.h"
#include "ui/qt_host.h"

#include "shell_fixture.h"

#include <QDir>
#include <QStackedWidget>

using namespace parcelo;

namespace {

using MainWindow = test::WindowTest;
using test::text;

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
    EXPECT_EQ(shell.dialogs.starts.back(),
              QDir::toNativeSeparators(QDir::currentPath()).toStdString());
    EXPECT_EQ(text(split.Text1), "/d/in/a.txt");
    EXPECT_EQ(text(split.Text4), "/d/in/");
    EXPECT_EQ(window->focusWidget(), split.cmdSpSplit);

    // an empty piece box starts in the split folder until a file was picked
    const auto fresh = shell.start();
    fresh->Command5_Click();
    EXPECT_EQ(shell.dialogs.starts.back(), text(fresh->optionsPane->txtDefoutSplit));
    EXPECT_EQ(text(fresh->verifyPane->Text8), "");

    // a box that holds a path starts in its folder; cancelling keeps the box
    VerifyPane& verify = *window->verifyPane;
    verify.Text8->setText("/d/set/x.001");
    window->Command5_Click();
    EXPECT_EQ(shell.dialogs.starts.back(), "/d/set/");
    EXPECT_EQ(text(verify.Text8), "/d/set/x.001");
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

    // folders get one final separator
    shell.dialogs.picks = {"/work/out", "/"};
    window->optionsPane->cmdOptBr2->click();
    EXPECT_EQ(text(window->optionsPane->txtDefoutJoin), "/work/out/");
    window->Command2_Click();
    EXPECT_EQ(text(split.Text4), "/");
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
    EXPECT_EQ(window->visiblePane(), Pane::Options);

    // a file recorded while the program runs shows at once
    window->recentFiles().AddRecentFile(present, "Verified");
    EXPECT_TRUE(menus.mnuVfFileItem[0]->isVisible());
    window->mnuVfFileItem_Click(1);
    EXPECT_EQ(text(window->verifyPane->Text8), present);
}

TEST_F(MainWindow, ExploreAndLogEntriesOpenTheirFoldersAndFilesOrSayTheyCannot)
{
    MainMenus& menus = *window->menus;
    menus.mnuExplore[0]->trigger();
    EXPECT_EQ(shell.desktop.folders, std::vector<std::string>{shell.appFolder + "/PcxBr"});

    // a folder that is gone is not handed to the desktop; one the desktop cannot open
    offerSplitFolder(window->exploreMenu(), shell.app.file("removed"));
    window->refreshExploreMenu();
    shell.host.answer(Question::Notice, Answer::Ok, "error in opening the specified folder.")
        .answer(Question::Notice, Answer::Ok, "error in opening the specified folder.");
    menus.mnuExplore[2]->trigger();
    EXPECT_EQ(shell.desktop.folders.size(), 1u);
    shell.desktop.succeed = false;
    window->mnuExplore_Click(2);
    EXPECT_EQ(shell.desktop.folders.back(), shell.appFolder + "/PcxJn");

    // the log's rules are log_file_test's; here the menu entries reach them
    WriteLogEntry(shell.paths.logFilePath, "an older entry");
    window->menus->mnuViewLogFile->trigger();
    EXPECT_EQ(shell.desktop.edited, std::vector<std::string>{shell.paths.logFilePath});
    shell.host.answer(Question::Replace, Answer::Yes, "delete the existing log file");
    window->menus->mnuDeleteLogFile->trigger();
    EXPECT_EQ(shell.logLines().size(), 1u);
    EXPECT_TRUE(shell.host.allAnswersUsed());
}

TEST_F(MainWindow, AboutBoxWebLinksAndTheJoinerWindow)
{
    shell.dialogs.onModal = [&](QDialog& dialog) {
        const auto& about = dynamic_cast<frmAbout&>(dialog);
        EXPECT_FALSE(about.Label3->isVisible()); // the joiner's line
        EXPECT_TRUE(about.lblLibraries->text().contains(QStringLiteral("libzip")));
    };
    window->menus->mnuAbout->trigger();
    window->menus->mnuSupport->trigger();
    EXPECT_EQ(shell.desktop.webPages.back(), "https://www.norvane.example/parcelo/support/");
    shell.desktop.succeed = false;
    shell.host.answer(Question::Notice, Answer::Ok,
                      "A Internet browser could not be started or https://www.norvane.example/");
    window->menus->mnuWeb->trigger();
    shell.desktop.succeed = true;

    // the joiner's window says when the joiner is missing and stays open
    shell.dialogs.onModal = [&](QDialog& dialog) {
        auto& instructions = dynamic_cast<frmPcxAInstructions&>(dialog);
        shell.host.answer(Question::Notice, Answer::Ok, "PcxAssembler can not be located");
        instructions.Command1->click();
        EXPECT_TRUE(instructions.isVisible());
        test::writeFile(shell.app.file(kAssemblerProgram), "");
        instructions.Command1->click(); // present beside the program: started, nothing said
    };
    window->menus->mnuPcxAssembler1->trigger();
    EXPECT_EQ(shell.dialogs.modalsShown,
              (std::vector<std::string>{"frmAbout", "frmPcxAInstructions"}));
    EXPECT_EQ(shell.desktop.started, std::vector<std::string>{shell.app.file(kAssemblerProgram)});
    EXPECT_TRUE(shell.host.allAnswersUsed());
}

TEST(QtHost, MessageBoxesCarryTitleIconButtonsLineBreaksAndSafeDefaults)
{
    const auto box =
        makeMessageBox(Question::Exit, std::string("first") + CR + LF + "second" + CR + "third",
                       Buttons::YesNo, Icon::Question, "Fatal Error: cannot continue", nullptr);
    EXPECT_EQ(box->text(), "first\nsecond\nthird");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box->defaultButton(), nullptr); // the style's default, but not where files go
    // No where Yes deletes or replaces files; Yes to join the pieces the user picked
    for (const auto& [kind, safe] : {std::pair{Question::DeleteSource, QMessageBox::No},
                                     {Question::DeletePieces, QMessageBox::No},
                                     {Question::Replace, QMessageBox::No},
                                     {Question::JoinPlain, QMessageBox::Yes}}) {
        const auto asked = makeMessageBox(kind, "delete them?", Buttons::YesNo, Icon::Question,
                                          kProductName, nullptr);
        ASSERT_NE(asked->defaultButton(), nullptr);
        EXPECT_EQ(asked->standardButton(asked->defaultButton()), safe);
    }
    // a box closed without one of its buttons declines
    EXPECT_EQ(answerFor(QMessageBox::NoButton, Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(answerFor(QMessageBox::NoButton, Buttons::YesNo), Answer::No);
}

// A stop is no error: no box. An outcome box offers to open its folder when there is a
// desktop to do it.
TEST(QtHost, AStopShowsNoBoxAndAnOutcomeOffersToOpenItsFolder)
{
    test::InspectingModal<ModalRunner> modal;
    test::FakeDesktop desktop;
    test::TempFolder written;
    QtHost host;
    host.setModalRunner(&modal);
    EXPECT_EQ(host.message(Question::Stopped, "Splitting of the files was cancelled.", Buttons::Ok,
                           Icon::Critical),
              Answer::Ok);
    EXPECT_TRUE(modal.modalsShown.empty());

    QPushButton* open = nullptr;
    modal.onModal = [&](QDialog& box) {
        open = box.findChild<QPushButton*>(QStringLiteral("cmdOpenFolder"));
        if (open)
            open->click();
    };
    host.showOutcome("done", written.folder());
    EXPECT_EQ(open, nullptr) << "no desktop, no Open Folder";
    host.setDesktop(&desktop);
    host.showOutcome("done", written.folder());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), QStringLiteral("Open &Folder"));
    EXPECT_EQ(desktop.folders, std::vector<std::string>{written.folder()});
    EXPECT_EQ(modal.modalsShown.size(), 2u);
}

// The password box hides what is typed; OK gives the password, Cancel or nothing typed none.
TEST(QtHost, APasswordIsTypedHiddenAndGivenOnlyWithOk)
{
    test::InspectingModal<ModalRunner> modal;
    QtHost host;
    host.setModalRunner(&modal);
    const struct {
        const char* typed;
        bool accepted;
        Answer answer;
        const char* password;
    } cases[] = {{"pass phrase", true, Answer::Ok, "pass phrase"},
                 {"pass phrase", false, Answer::Cancel, ""},
                 {"", true, Answer::Cancel, ""}};
    for (const auto& c : cases) {
        QString question;
        modal.onModal = [&](QDialog& box) {
            auto* input = box.findChild<QLineEdit*>();
            ASSERT_NE(input, nullptr);
            EXPECT_EQ(input->echoMode(), QLineEdit::Password);
            question = box.findChild<QLabel*>()->text();
            input->setText(QString::fromUtf8(c.typed));
            c.accepted ? box.accept() : box.reject();
        };
        Password password;
        EXPECT_EQ(
            host.askPassword(std::string("The pieces are encrypted.") + CR + "Type it:", password),
            c.answer);
        EXPECT_EQ(password.view(), c.password);
        EXPECT_EQ(question, "The pieces are encrypted.\nType it:");
    }
    EXPECT_EQ(modal.modalsShown, std::vector<std::string>(3, "dlgPassword"));
}
