#include "assembler/frm_instructions.h"
#include "assembler/frm_main.h"
#include "format/split_set.h"
#include "platform/diskette.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "ui/frm_about.h"

#include "assembler_fixture.h"
#include "set_writer.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace parcelo;
using assembler::frmMain;

namespace {

const std::string kDeleteQuestion =
    "All broken files have successfully been joined, do you wish to delete them?";

std::string text(const QLineEdit* box)
{
    return box->text().toStdString();
}

void pressJoin(frmMain& window)
{
    QTest::mouseClick(window.cmdJoin, Qt::LeftButton);
}

// How many of the files exist.
std::size_t existing(const std::vector<std::string>& paths)
{
    return static_cast<std::size_t>(
        std::count_if(paths.begin(), paths.end(),
                      [](const std::string& p) { return std::filesystem::exists(p); }));
}

} // namespace

TEST(AssemblerStartUp, FindsTheFirstPieceBesideItselfJoinsThereAndOffersToDeleteThePieces)
{
    test::AssemblerRun run;
    const std::string data = test::patternBytes(10'000);
    const auto pieces = test::writeByteSet(run.folder.file("movie.avi"), data, 2'600);
    ASSERT_EQ(pieces.size(), 4u);
    test::writeFile(run.folder.file("readme.txt"), "not a piece");

    auto window = run.start();
    test::settle();
    EXPECT_TRUE(run.host.shown.empty()) << "no warning when the first piece is there";
    EXPECT_EQ(window->windowTitle(), "Parcelo Assembler");
    EXPECT_EQ(window->values().FirstPieceName, "movie.avi.001");
    EXPECT_EQ(text(window->Text5), run.folder.file("movie.avi.001"));
    EXPECT_EQ(text(window->Text6), run.folder.folder());

    run.host.answer(Answer::Ok, "has been created").answer(Answer::Yes, kDeleteQuestion);
    pressJoin(*window);

    EXPECT_EQ(test::readFile(run.folder.file("movie.avi")), data);
    EXPECT_EQ(existing(pieces), 0u);
    ASSERT_EQ(run.host.shown.size(), 2u);
    EXPECT_EQ(run.host.shown[0].text, "The file: " + run.folder.file("movie.avi") + CR
                                          + " has been created from all split files successfully.");
    EXPECT_EQ(run.host.shown[0].icon, Icon::Information);
    EXPECT_EQ(run.host.shown[1].buttons, Buttons::YesNo);
    EXPECT_EQ(run.host.shown[0].title, "Parcelo");
}

TEST(AssemblerStartUp, WithoutAFirstPieceWarnsOnceAndTheFolderAloneIsRefused)
{
    test::AssemblerRun run;
    // none of these is a first piece: a later piece, a longer extension, a folder
    test::writeFile(run.folder.file("movie.avi.002"), "x");
    test::writeFile(run.folder.file("movie.avi.0010"), "x");
    std::filesystem::create_directory(run.folder.file("archive.001"));

    run.host.answer(Answer::Ok);
    auto window = run.start();
    EXPECT_TRUE(window->NoFilesFound());
    test::settle();
    window->resize(window->width() + 40, window->height() + 40);
    window->hide();
    window->show();
    test::settle();

    ASSERT_EQ(run.host.shown.size(), 1u);
    EXPECT_EQ(run.host.shown[0].text,
              "The first split file could not be located in the current folder.\n"
              "Please copy and run PcxAssembler.exe from the folder which contains split files.\n"
              "Alternatively specify the location of any one the split files and click on Join.");
    EXPECT_EQ(run.host.shown[0].icon, Icon::Critical);
    EXPECT_EQ(text(window->Text5), run.folder.folder());
    EXPECT_EQ(text(window->Text6), run.folder.folder());

    run.host.answer(Answer::Ok, "Please enter a valid file name to continue with this operation.");
    window->Text6->setFocus();
    pressJoin(*window);
    EXPECT_EQ(run.host.shown.size(), 2u);
    EXPECT_EQ(window->focusWidget(), window->Text5);
}

TEST(AssemblerJoin, CompressedSetIsJoinedUnchangedWithTheNotice)
{
    test::AssemblerRun run;
    test::TempFolder out;
    const std::string data = test::patternBytes(5'000, 7);
    const auto pieces =
        test::writeByteSet(run.folder.file("report.pdf.zip"), data, 2'000, /*compressed=*/true);
    auto window = run.start();
    window->Text6->setText(QString::fromStdString(out.path().string())); // no final separator

    run.host.answer(Answer::Ok, "has been created")
        .answer(Answer::Ok, "was compressed using Parcelo")
        .answer(Answer::No, kDeleteQuestion);
    pressJoin(*window);

    EXPECT_EQ(text(window->Text6), out.folder());
    EXPECT_EQ(test::readFile(out.file("report.pdf.zip")), data);
    EXPECT_FALSE(std::filesystem::exists(out.file("report.pdf")));
    EXPECT_EQ(existing(pieces), pieces.size()) << "No keeps the pieces";
    ASSERT_EQ(run.host.shown.size(), 3u);
    EXPECT_EQ(run.host.shown[1].text,
              "The file " + out.file("report.pdf.zip")
                  + ", created after joining files, was compressed using Parcelo before "
                    "splitting. Parcelo Assembler will not be able to decompress this file. You "
                    "can do this free of charge with the complete version of Parcelo. Download "
                    "complete Parcelo from https://www.norvane.example/.");
    EXPECT_TRUE(run.host.allAnswersUsed());
}

TEST(AssemblerJoin, FailedJoinLeavesNoJoinedFileAndKeepsThePieces)
{
    test::AssemblerRun run;
    const auto pieces =
        test::writeByteSet(run.folder.file("movie.avi"), test::patternBytes(9'000), 3'000);
    // the last piece belongs to another set of the same name: found only after two pieces
    // have been written
    test::writeBytePiece(pieces[2], PieceSignaturePlain, 3, 2, test::patternBytes(3'000, 9));
    auto window = run.start();

    run.host.acceptNotices();
    pressJoin(*window);

    EXPECT_FALSE(std::filesystem::exists(run.folder.file("movie.avi")));
    EXPECT_EQ(existing(pieces), pieces.size());
    ASSERT_FALSE(run.host.shown.empty());
    EXPECT_EQ(run.host.shown.back().text,
              "Error:1 : The file " + pieces[2] + " is not a valid file of the set.");
    for (const auto& shown : run.host.shown)
        EXPECT_EQ(shown.text.find("delete"), std::string::npos) << "no deletion after a failure";

    // A missing piece is refused before anything is written.
    std::filesystem::remove(pieces[1]);
    run.host.shown.clear();
    pressJoin(*window);
    ASSERT_EQ(run.host.shown.size(), 1u);
    EXPECT_EQ(run.host.shown[0].text, "Missing Split File: " + pieces[1]);
    EXPECT_FALSE(std::filesystem::exists(run.folder.file("movie.avi")));
}

TEST(AssemblerJoin, PiecesOnTheDisketteDriveAreNeverOfferedForDeletion)
{
    test::AssemblerRun run;
    test::TempFolder disk;
    auto drive = std::make_shared<FolderDisketteDrive>(disk.path());
    setDisketteDrive(drive);
    const std::string data = test::patternBytes(4'000, 3);
    const auto pieces = test::writeByteSet(disk.file("data.bin"), data, 2'000);
    auto window = run.start();
    window->Text5->setText(QString("a:") + kSeparator + "data.bin.001");

    run.host.answer(Answer::Ok, "has been created");
    pressJoin(*window);
    setDisketteDrive(nullptr);

    EXPECT_EQ(test::readFile(run.folder.file("data.bin")), data);
    EXPECT_EQ(existing(pieces), pieces.size());
    EXPECT_EQ(run.host.shown.size(), 1u);
}

TEST(AssemblerWindow, AboutBoxNamesTheJoinerAndItsVersion)
{
    test::AssemblerRun run;
    run.host.acceptNotices();
    auto window = run.start();
    bool looked = false;
    run.modal.onModal = [&](QDialog& dialog) {
        auto& about = dynamic_cast<frmAbout&>(dialog);
        EXPECT_EQ(about.parent(), window.get());
        EXPECT_EQ(about.windowTitle(), "About Parcelo");
        EXPECT_EQ(about.lblTitle->text(), "Parcelo");
        EXPECT_EQ(about.lblVersion->text(), "Version 1.1");
        EXPECT_TRUE(about.Label3->isVisible());
        EXPECT_EQ(about.Label3->text(), "This is Parcelo Assembler.");
        EXPECT_EQ(about.Label4->text(), "On web: https://www.norvane.example/");
        looked = true;
    };
    window->mnuAbout->trigger();
    EXPECT_TRUE(looked);
    EXPECT_EQ(run.modal.shown, std::vector<std::string>{"frmAbout"});
}

TEST(AssemblerWindow, HelpMenuOpensTheInstructionsAndTheThreeWebPages)
{
    test::AssemblerRun run;
    run.host.acceptNotices();
    auto window = run.start();
    run.modal.onModal = [&](QDialog& dialog) {
        auto& instructions = dynamic_cast<assembler::frmInstructions&>(dialog);
        EXPECT_EQ(instructions.windowTitle(), " Parcelo Assembler Instructions");
        EXPECT_EQ(instructions.Frame1->title(), "Instructions");
        ASSERT_EQ(instructions.lines.size(), 5u);
        EXPECT_TRUE(instructions.lines[0]->text().startsWith("1. Copy PcxAssembler.exe"));
        EXPECT_TRUE(
            instructions.lines[3]->text().endsWith("visit us at https://www.norvane.example/"));
        EXPECT_TRUE(instructions.lines[4]->text().startsWith("Note: "));
        instructions.cmdOK->click();
        EXPECT_FALSE(instructions.isVisible());
    };
    window->mnuInstructions->trigger();
    EXPECT_EQ(run.modal.shown, std::vector<std::string>{"frmInstructions"});

    window->mnuSupport->trigger();
    window->mnuPcxOnWeb->trigger();
    window->mnuWeb->trigger();
    EXPECT_EQ(run.desktop.webPages,
              (std::vector<std::string>{"https://www.norvane.example/m/CServ/CSupport.asp",
                                        "https://www.norvane.example/m/Info/Parcelo.asp",
                                        "https://www.norvane.example/"}));
}

TEST(AssemblerWindow, ClearAllEmptiesTheBoxesAndExitEndsTheProgram)
{
    test::AssemblerRun run;
    run.host.acceptNotices();
    auto window = run.start();
    int ended = 0;
    window->setOnEnded([&] { ++ended; });

    QTest::mouseClick(window->cmdJnCancel, Qt::LeftButton);
    EXPECT_TRUE(window->Text5->text().isEmpty());
    EXPECT_TRUE(window->Text6->text().isEmpty());

    QTest::mouseClick(window->cmdFinish, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->hasEnded());
    window->close();
    EXPECT_EQ(ended, 1);
}
