#include "ui/frm_about.h"
#include "ui/frm_main.h"
#include "ui/frm_pcx_a_instructions.h"
#include "ui/help_window.h"
#include "ui/main_menus.h"

#include "shell_fixture.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace parcelo;

namespace {

class HelpAndAbout : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell.installConfig();
        window = shell.start();
        ASSERT_NE(window, nullptr);
    }

    test::Shell shell;
    std::unique_ptr<frmMain> window;
};

} // namespace

TEST_F(HelpAndAbout, AboutBoxNamesTheProgramAndItsVersion)
{
    shell.dialogs.onModal = [&](QDialog& dialog) {
        auto& about = dynamic_cast<frmAbout&>(dialog);
        EXPECT_TRUE(about.isVisible());
        EXPECT_EQ(about.windowTitle(), "About Parcelo");
        EXPECT_EQ(about.lblTitle->text(), "Parcelo");
        EXPECT_EQ(about.lblVersion->text(), "Version 1.2");
        EXPECT_FALSE(about.Label3->isVisible());
        EXPECT_EQ(about.Label2->text(), "Compress and Split Files");
        EXPECT_EQ(about.Label4->text(), "On web: https://www.norvane.example/");
        EXPECT_EQ(about.cmdSysInfo->text(), "&System Info...");

        shell.host.answer(Answer::Ok, "System Information Is Unavailable At This Time");
        about.cmdSysInfo->click();
        shell.desktop.infoTool = "/usr/bin/info-tool";
        about.cmdSysInfo->click();
        EXPECT_EQ(shell.desktop.started, std::vector<std::string>{"/usr/bin/info-tool"});
    };
    window->menus->mnuAbout->trigger();
    EXPECT_EQ(shell.dialogs.modalsShown, std::vector<std::string>{"frmAbout"});
    EXPECT_EQ(shell.host.shown.size(), 1u);
}

TEST(AboutBox, ShowsTheExtraLineOfTheJoiner)
{
    test::ScriptedHost host;
    test::FakeDesktop desktop;
    frmAbout about({"Parcelo", "1.1", "This is Parcelo Assembler.", "https://m.example/"}, host,
                   desktop);
    about.show();
    EXPECT_EQ(about.lblVersion->text(), "Version 1.1");
    EXPECT_TRUE(about.Label3->isVisible());
    EXPECT_EQ(about.Label3->text(), "This is Parcelo Assembler.");
}

TEST_F(HelpAndAbout, WebLinksOpenTheConfiguredPagesOrSaySoWhenTheyCannot)
{
    MainMenus& menus = *window->menus;
    menus.mnuSupport->trigger();
    menus.mnuPcxOnWeb->trigger();
    menus.mnuWeb->trigger();
    EXPECT_EQ(shell.desktop.webPages,
              (std::vector<std::string>{"https://www.norvane.example/parcelo/support/",
                                        "https://www.norvane.example/parcelo/",
                                        "https://www.norvane.example/"}));

    shell.desktop.succeed = false;
    shell.host.answer(Answer::Ok, "A Internet browser");
    menus.mnuWeb->trigger();
    EXPECT_EQ(shell.host.shown.back().text,
              "A Internet browser could not be started or https://www.norvane.example/ could not "
              "be accessed.\rPlease open a browser and open https://www.norvane.example/.");
    EXPECT_EQ(shell.host.shown.back().icon, Icon::Critical);

    shell.host.answer(Answer::Ok, "System Information Is Unavailable At This Time");
    menus.mnuSysInfo->trigger();
}

TEST_F(HelpAndAbout, JoinerWindowSaysWhenTheJoinerIsMissingAndStaysOpen)
{
    shell.dialogs.onModal = [&](QDialog& dialog) {
        auto& instructions = dynamic_cast<frmPcxAInstructions&>(dialog);
        EXPECT_EQ(instructions.windowTitle(), " Parcelo Assembler Instructions");
        EXPECT_EQ(instructions.Frame1->title(), "Parcelo Assembler Instructions");
        const std::string text = instructions.Label1->text().toStdString();
        EXPECT_NE(text.find("4. Any questions, comments or suggestions, please contact "
                            "support@norvane.example or visit us at https://www.norvane.example/"),
                  std::string::npos);

        shell.host.answer(Answer::Ok, "PcxAssember.exe can not be located");
        instructions.Command1->click();
        EXPECT_TRUE(instructions.isVisible());

        // present beside the program: started, nothing said
        test::writeFile(shell.app.file(kAssemblerProgram), "");
        instructions.Command1->click();
    };
    window->menus->mnuPcxAssembler1->trigger();
    ASSERT_EQ(shell.host.shown.size(), 1u);
    EXPECT_EQ(shell.host.shown[0].text,
              "PcxAssember.exe can not be located in the application folder.\n"
              "Make sure that the files exists in the folder where Parcelo is installed.\n"
              "If you can not find this file, reinstall Parcelo or download PcxAssembler.exe from "
              "https://www.norvane.example/m/download/PcxAssembler.exe");
    EXPECT_EQ(shell.host.shown[0].icon, Icon::Critical);
    EXPECT_EQ(shell.desktop.started, std::vector<std::string>{shell.app.file(kAssemblerProgram)});
}

TEST_F(HelpAndAbout, HelpOpensAtTheContentsOrTheJoinerSection)
{
    std::filesystem::copy_file(PARCELO_SHIPPED_HELP, shell.app.file(kHelpFileName));
    window->navigation->cmdMHelp->click();
    HelpWindow* help = window->helpWindow();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->browser()->source().fragment(), "contents");

    window->menus->mnuPcxAssembler->trigger();
    EXPECT_EQ(help->browser()->source().fragment(), "parcelo-assembler");
    // the shipped file has the section the keyword names
    const std::string html = test::readFile(PARCELO_SHIPPED_HELP);
    EXPECT_NE(html.find("name=\"" + helpAnchor("Parcelo Assembler") + "\""), std::string::npos);
    EXPECT_NE(html.find("name=\"contents\""), std::string::npos);

    std::filesystem::remove(shell.app.file(kHelpFileName));
    window->mnuHelpContents_Click();
    EXPECT_NE(help->browser()->toPlainText().indexOf("could not be found"), -1);
    EXPECT_TRUE(shell.host.shown.empty());
}
