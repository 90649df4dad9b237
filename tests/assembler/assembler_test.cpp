#include "assembler/find_file.h"
#include "assembler/frm_instructions.h"
#include "assembler/frm_main.h"
#include "assembler/start_up.h"
#include "compress/zlib_tool.h"
#include "format/split_set.h"
#include "integrity/join_script.h"
#include "platform/host.h"
#include "platform/password.h"
#include "ui/frm_about.h"
#include "ui/stoppable_job.h"

#include "set_writer.h"
#include "temp_folder.h"
#include "window_fakes.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

using namespace parcelo;
using test::text;
namespace fs = std::filesystem;

namespace {

const std::string kDeleteQuestion =
    "All broken files have successfully been joined, do you wish to delete them?";

// Parcelo Assembler run from a fresh folder of its own. The scripted host fails a test on
// any message it was not told to expect.
class Assembler : public ::testing::Test {
protected:
    std::unique_ptr<assembler::frmMain> start()
    {
        // the program's folder as its start-up gets it: without a final separator
        auto started = assembler::Main(folder.path().string(), {host, desktop, modal, {}});
        for (int i = 0; i < 5; ++i) // lets the queued start-up warning show
            QCoreApplication::processEvents();
        return started;
    }

    test::TempFolder folder;
    test::HookedHost host;
    test::FakeDesktop desktop;
    test::InspectingModal<ModalRunner> modal;
};

} // namespace

TEST_F(Assembler, JoinsTheSetBesideItAndACompressedOneIntoItsZipFileWithTheNotice)
{
    const std::string data = test::patternBytes(10'000);
    test::writeByteSet(folder.file("movie.avi"), data, 2'600);
    test::writeFile(folder.file("readme.txt"), "not a piece");
    auto window = start(); // no warning: none is expected
    EXPECT_EQ(text(window->Text5), folder.file("movie.avi.001"));
    EXPECT_EQ(text(window->Text6), folder.folder());
    host.answer(Question::Notice, Answer::Ok,
                "The file: " + folder.file("movie.avi") + CR
                    + " has been created from all split files successfully.")
        .answer(Question::DeletePieces, Answer::Yes, kDeleteQuestion);
    window->cmdJoin->click();
    EXPECT_EQ(test::readFile(folder.file("movie.avi")), data);
    EXPECT_EQ(test::namesIn(folder.path()), (std::set<std::string>{"movie.avi", "readme.txt"}));

    test::TempFolder out;
    const auto pieces = test::writeByteSet(folder.file("report.pdf.zip"), data, 2'000, true);
    window->Text5->setText(QString::fromStdString(pieces[0]));
    window->Text6->setText(QString::fromStdString(out.path().string())); // no final separator
    host.answer(Question::Notice, Answer::Ok, "has been created")
        .answer(Question::Notice, Answer::Ok,
                "The file " + out.file("report.pdf.zip")
                    + ", created after joining files, was compressed using Parcelo before "
                      "splitting.")
        .answer(Question::DeletePieces, Answer::No, kDeleteQuestion);
    window->cmdJoin->click();
    EXPECT_EQ(text(window->Text6), out.folder());
    EXPECT_EQ(test::readFile(out.file("report.pdf.zip")), data);
    EXPECT_FALSE(fs::exists(out.file("report.pdf")));
    EXPECT_EQ(test::filesIn(folder.path()), pieces.size() + 2) << "No keeps the pieces";

    // Joined again: asked before the joined file is replaced; No keeps it and says no more.
    host.answer(Question::Replace, Answer::No,
                "report.pdf.zip already exists in " + out.path().string() + ". Replace it?");
    window->cmdJoin->click();
    EXPECT_EQ(test::readFile(out.file("report.pdf.zip")), data);
    EXPECT_EQ(test::filesIn(out.path()), 1u);
    EXPECT_TRUE(host.allAnswersUsed());

    // An encrypted set is joined into its archive as well, named as one that needs its
    // password.
    test::writeFile(out.file("plans.txt"), data);
    const Password password("a passphrase of words");
    ZlibTool tool;
    tool.SetSourceFileName(out.file("plans.txt"));
    tool.SetTargetFileName(out.file("plans.txt.zip"));
    tool.SetEntryPassword(&password);
    tool.DoCompress();
    const std::string archive = test::readFile(out.file("plans.txt.zip"));
    window->Text5->setText(QString::fromStdString(
        test::writeByteSet(folder.file("plans.txt.zip"), archive, 3'000, true)[1]));
    window->Text6->setText(QString::fromStdString(folder.folder()));
    host.answer(Question::Notice, Answer::Ok, "has been created")
        .answer(Question::Notice, Answer::Ok, std::string(CR) + kEncryptedArchiveNote)
        .answer(Question::DeletePieces, Answer::No, kDeleteQuestion);
    window->cmdJoin->click();
    EXPECT_EQ(test::readFile(folder.file("plans.txt.zip")), archive);
    EXPECT_TRUE(host.allAnswersUsed());
}

// A failed join leaves no joined file and offers no deletion.
TEST_F(Assembler, WithoutAFirstPieceStartsEmptyAndTheJoinGoesBesideThePiecesOrFails)
{
    // none of these is a first piece: a later piece, a longer extension, a folder
    test::writeFile(folder.file("movie.avi.002"), "x");
    test::writeFile(folder.file("movie.avi.0010"), "x");
    fs::create_directory(folder.file("archive.001"));
    auto window = start(); // a message, with no answer queued, would fail the case
    EXPECT_EQ(text(window->Text5), "");
    EXPECT_EQ(text(window->Text6), "");

    // a piece typed with no destination: the joined file goes beside the pieces
    test::TempFolder sent;
    const std::string data = test::patternBytes(9'000);
    const auto pieces = test::writeByteSet(sent.file("notes.bin"), data, 3'000);
    window->Text5->setText(QString::fromStdString(pieces[1]));
    host.answer(Question::Notice, Answer::Ok, "has been created")
        .answer(Question::DeletePieces, Answer::No, kDeleteQuestion);
    window->cmdJoin->click();
    EXPECT_EQ(text(window->Text6), sent.folder());
    EXPECT_EQ(test::readFile(sent.file("notes.bin")), data);

    // the last piece, of another set of the same name, is found after two pieces are written
    fs::remove(sent.file("notes.bin"));
    test::writeBytePiece(pieces[2], PieceSignaturePlain, 3, 2, test::patternBytes(3'000, 9));
    const std::string invalid = "The file " + pieces[2] + " is not a valid file of the set.";
    host.answer(Question::Notice, Answer::Ok, invalid)
        .answer(Question::Notice, Answer::Ok, "Error:1 : " + invalid); // and no deletion offer
    window->cmdJoin->click();
    EXPECT_EQ(test::filesIn(sent.path()), pieces.size()) << "the pieces, no joined file";
    EXPECT_TRUE(host.allAnswersUsed());
}

TEST_F(Assembler, MenusDropsEnterAndFinish)
{
    test::writeFile(folder.file("a.001"), "x");
    auto window = start();
    modal.onModal = [&](QDialog& dialog) {
        if (auto* about = dynamic_cast<frmAbout*>(&dialog)) {
            EXPECT_EQ(about->Label3->text(), "This is Parcelo Assembler.");
            EXPECT_FALSE(about->lblLibraries->text().contains(QStringLiteral("libzip")));
        }
        // the join scripts join without installing anything
        if (auto* instructions = dynamic_cast<assembler::frmInstructions*>(&dialog)) {
            EXPECT_TRUE(instructions->lines.at(4)->text().contains(QStringLiteral("NAME.join.sh")));
        }
    };
    window->mnuAbout->trigger();
    window->mnuInstructions->trigger();
    EXPECT_EQ(modal.modalsShown, (std::vector<std::string>{"frmAbout", "frmInstructions"}));

    test::TempFolder other;
    const std::string piece = other.file("b.txt.003");
    test::writeFile(piece, "x");
    EXPECT_TRUE(test::dropPaths(window->Text6, {piece})); // a piece goes to its own box
    EXPECT_EQ(text(window->Text5), piece);
    EXPECT_TRUE(test::dropPaths(window->Text6, {other.path().string()}));
    EXPECT_EQ(text(window->Text6), other.folder());
    EXPECT_FALSE(test::dropPaths(window->Text5, {other.path().string()}));

    host.acceptNotices();
    for (int press = 0; press < 2; ++press) // "x" is no Parcelo piece: offered as a plain one
        host.answer(
                Question::JoinPlain, Answer::No,
                "b.txt.003 is not a Parcelo piece. Join b.txt.001 to b.txt.003 as plain pieces?")
            .answer(Question::Notice, Answer::Ok, "The file you selected is not a split file!");
    QSignalSpy pressed(window->cmdJoin, &QPushButton::clicked);
    QTest::keyClick(window->Text5, Qt::Key_Return);
    QTest::keyClick(window->Text6, Qt::Key_Enter);
    EXPECT_EQ(pressed.count(), 2);

    int ended = 0;
    window->setOnEnded([&] { ++ended; });
    QTest::mouseClick(window->cmdFinish, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    window->close();
    EXPECT_EQ(ended, 1);
}

// "Stop", Esc and a confirmed close each end a running join, leaving the destination as it
// was and the pieces in place.
TEST_F(Assembler, ARunningJoinStopsOnStopEscapeAndAConfirmedClose)
{
    const auto pieces =
        test::writeByteSet(folder.file("movie.avi"), test::patternBytes(6u << 20), 2u << 20);
    auto window = start();
    QAction* escape = nullptr;
    for (QAction* action : window->findChildren<QAction*>())
        if (action->shortcut() == QKeySequence(Qt::Key_Escape))
            escape = action;
    ASSERT_NE(escape, nullptr);
    host.acceptNotices();
    const std::function<void()> stops[] = {
        [&] { window->cmdJnCancel->click(); },
        [&] { escape->trigger(); },
        [&] {
            host.answer(Question::StopJob, Answer::No, "A job is still running. Stop it and exit?")
                .answer(Question::StopJob, Answer::Yes);
            window->close(); // No: the join goes on
            window->close();
        },
    };
    for (const auto& stop : stops) {
        test::TempFolder out;
        window->Text5->setText(QString::fromStdString(pieces[0]));
        window->Text6->setText(QString::fromStdString(out.folder()));
        bool stopShown = false;
        host.onEvents = [&] {
            if (stopShown || window->cmdJnCancel->text() != QString::fromLatin1(kStopCaption))
                return;
            stopShown = true;
            stop();
        };
        host.shown.clear();
        window->cmdJoin->click();
        host.onEvents = {};
        EXPECT_TRUE(stopShown);
        for (const test::ShownMessage& shown : host.shown)
            EXPECT_NE(shown.kind, Question::Notice) << shown.text;
        EXPECT_EQ(test::filesIn(out.folder()), 0u);
        EXPECT_EQ(test::filesIn(folder.path()), pieces.size());
        EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("Cancelled."));
        EXPECT_EQ(window->cmdJnCancel->text(), QString::fromLatin1(kClearAllCaption));
        EXPECT_EQ(text(window->Text5), pieces[0]) << "Stop does not clear the boxes";
    }
    EXPECT_TRUE(host.allAnswersUsed());
    EXPECT_TRUE(window->hasEnded() || !window->isVisible());
}

TEST(FindFileInFolder, PatternsMatchLikeTheSystemsFileSearch)
{
    const struct {
        const char *name, *pattern;
        bool matches;
    } cases[] = {{"movie.avi.001", "*.001", true},
                 {".001", "*.001", true},
                 {"a.001.001", "*.001", true},
                 {"a.0011", "*.001", false},
                 {"a.01", "*.001", false},
                 {"README.TXT", "*.txt", true},
                 {"abc", "a?", false},
                 {"a-b-d", "a*b*c", false}};
    for (const auto& c : cases)
        EXPECT_EQ(assembler::matchesPattern(c.name, c.pattern), c.matches)
            << c.name << " " << c.pattern;
}
