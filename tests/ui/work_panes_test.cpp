#include "compress/zlib_tool.h"
#include "format/file_list.h"
#include "format/split_set.h"
#include "platform/durability.h"
#include "platform/password.h"
#include "ui/job_notice.h"
#include "ui/stoppable_job.h"

#include "folder_tree.h"
#include "shell_fixture.h"

#include <QShortcut>

#include <filesystem>

using namespace parcelo;
using test::contains;
using test::typeAndClick;
namespace fs = std::filesystem;

namespace {

class WorkPanes : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        sp = window->splitPane;
        jn = window->joinPane;
        vf = window->verifyPane;
        host.acceptNotices();
    }

    // A file of the data folder with these bytes; returns its path.
    std::string source(const std::string& name, const std::string& bytes)
    {
        test::writeFile(data.file(name), bytes);
        return data.file(name);
    }
    // A new folder of the data folder, as typed into a destination box.
    std::string folder(const std::string& name)
    {
        fs::create_directory(data.path() / name);
        return data.file(name) + "/";
    }
    // Chooses how to split: the option button, the value typed into its box (none for a
    // preset) and the entry of its list (-1: left as it is).
    void mode(QRadioButton* option, QLineEdit* box, const std::string& value, int entry = -1)
    {
        window->cmdMSplit_Click();
        typeAndClick(box ? test::Typing{{box, value}} : test::Typing{}, option);
        if (entry >= 0)
            (option == sp->Option3 ? sp->Combo2 : sp->Combo1)->setCurrentIndex(entry);
    }
    void split(const std::string& from, const std::string& to, bool compress = false)
    {
        window->cmdMSplit_Click();
        sp->Check1->setChecked(compress);
        typeAndClick({{sp->Text1, from}, {sp->Text4, to}}, sp->cmdSpSplit);
    }
    void join(const std::string& piece, const std::string& to, bool keepCompressed = false)
    {
        window->cmdMJoin_Click();
        jn->Check2->setChecked(keepCompressed);
        typeAndClick({{jn->Text5, piece}, {jn->Text6, to}}, jn->cmdJoin);
    }
    std::string lastMessage() const { return host.shown.empty() ? "" : host.shown.back().text; }
    // Each row of a list as "path|size|third column".
    static std::vector<std::string> rows(const QTreeWidget* list)
    {
        std::vector<std::string> shown;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = list->topLevelItem(i);
            shown.push_back((row->text(0) + "|" + row->text(1) + "|" + row->text(2)).toStdString());
        }
        return shown;
    }

    test::HookedHost& host = shell.host;
    SplitPane* sp = nullptr;
    JoinPane* jn = nullptr;
    VerifyPane* vf = nullptr;
    test::TempFolder data;
};

} // namespace

// The list names every file the split wrote, with its size and what it is, and the outcome
// names the companions; the compressed file is gone before the outcome shows. The set is
// then the one the Join and Verify panes offer.
TEST_F(WorkPanes, AFinishedSplitListsEveryFileItWroteAndOffersTheSetToJoin)
{
    const std::string file = source("data.bin", test::patternBytes(300000)), out = folder("out");
    mode(sp->Option2, sp->Text2, "4");
    sp->txtRecovery->setText(QStringLiteral("2"));
    std::set<std::string> whenShown;
    host.onShown = [&](const test::ShownMessage&) { whenShown = test::namesIn(out); };
    split(file, out, true);
    const std::string set = out + "data.bin.zip.";
    // a piece is listed with the size of the pieces' data, a companion with its own
    std::vector<std::string> expected;
    for (const char* name : {"001|piece", "002|piece", "003|piece", "004|piece",
                             "sha256|checksum file", "join.sh|join script", "join.cmd|join script",
                             "rec001|recovery piece", "rec002|recovery piece"}) {
        const std::string entry = name, path = set + entry.substr(0, entry.find('|'));
        const auto bytes = entry.ends_with("|piece") ? fs::file_size(set + "001") - kPieceHeaderSize
                                                     : fs::file_size(path);
        expected.push_back(path + "|"
                           + formatListSize(static_cast<double>(bytes), SizeUnit::Kilobytes)
                           + entry.substr(entry.find('|')));
    }
    EXPECT_EQ(rows(sp->ListView1), expected);
    EXPECT_EQ(test::filesIn(out), expected.size());
    EXPECT_EQ(whenShown, test::namesIn(out)) << "no compressed file left when the outcome shows";
    EXPECT_EQ(host.outcomeFolders, std::vector<std::string>{out});
    EXPECT_EQ(test::text(jn->Text5), set + "001");
    EXPECT_EQ(test::text(vf->Text8), set + "001");
}

// "Verify whole set" leaves each file's state in the list and says what the set is; Repair
// rebuilds what can be rebuilt.
TEST_F(WorkPanes, VerifyWholeSetKeepsEachFilesStateAndRepairRebuildsWhatIsLost)
{
    const std::string bytes = test::patternBytes(40000), out = folder("set");
    mode(sp->Option2, sp->Text2, "4");
    sp->txtRecovery->setText(QStringLiteral("2"));
    split(source("data.bin", bytes), out);
    const std::string piece = out + "data.bin.";
    std::map<std::string, std::string> kept;
    for (const std::string& name : test::namesIn(out))
        kept[name] = test::readFile(out + name);
    const auto states = [&] {
        std::string shown;
        for (const std::string& row : rows(vf->ListView3))
            shown +=
                row.substr(row.find_last_of('/') + 1, row.find('|') - row.find_last_of('/') - 1)
                + "=" + row.substr(row.rfind('|') + 1) + " ";
        return shown;
    };
    const struct {
        std::vector<std::string> lost; // removed, or "*NAME" damaged
        std::string states;
        std::string verdict; // the verdicts' words are the recovery code's
        bool repair;
    } cases[] = {
        {{"002", "*003"},
         "data.bin.001=OK data.bin.002=MISSING data.bin.003=DAMAGED data.bin.004=OK "
         "data.bin.rec001=OK data.bin.rec002=OK ",
         "The set can be repaired: 2 pieces are damaged or missing and 2 recovery pieces are here.",
         true},
        {{"001", "002", "rec002"},
         "data.bin.001=MISSING data.bin.002=MISSING data.bin.003=OK data.bin.004=OK "
         "data.bin.rec001=OK data.bin.rec002=MISSING (optional) ",
         "The set cannot be repaired: 2 pieces are damaged or missing and only 1 recovery piece is "
         "here.",
         false},
    };
    window->cmdMVerify_Click();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verdict);
        for (const auto& [name, content] : kept)
            test::writeFile(out + name, content);
        for (const std::string& lost : c.lost) {
            if (lost[0] == '*') { // the same length, other bytes
                std::string damaged = kept["data.bin." + lost.substr(1)];
                damaged.replace(100, 7, "damaged");
                test::writeFile(piece + lost.substr(1), damaged);
            } else {
                fs::remove(piece + lost);
            }
        }
        typeAndClick({{vf->Text8, piece + "004"}}, vf->cmdVerify2);
        EXPECT_EQ(states(), c.states);
        EXPECT_EQ(vf->lblVerdict->text().toStdString(), c.verdict);
        EXPECT_EQ(vf->cmdRepair->isEnabled(), c.repair);
        if (!c.repair)
            continue;
        vf->cmdRepair->click();
        EXPECT_FALSE(vf->cmdRepair->isEnabled());
        for (const std::string& row : rows(vf->ListView3)) { // a rebuilt file's size shows
            EXPECT_FALSE(contains(row, "||REBUILT")) << row;
        }
        EXPECT_TRUE(contains(states(), "=REBUILT"));
        EXPECT_TRUE(vf->lblVerdict->text().endsWith(QStringLiteral(": the set is intact.")));
    }
    vf->cmdVerify3->click(); // Clear All
    EXPECT_EQ(vf->ListView3->topLevelItemCount(), 0);
    EXPECT_TRUE(vf->lblVerdict->text().isEmpty());
}

// A job that ran long and ends while the window is not the active one asks the desktop for
// a notification, once, with its outcome's first line.
TEST_F(WorkPanes, ALongJobThatEndsAwayFromTheWindowAsksForANotification)
{
    const std::string file = source("a.bin", test::patternBytes(5000));
    QWidget elsewhere;
    const struct {
        std::chrono::milliseconds threshold;
        QWidget* active;
        std::size_t notifications;
    } cases[] = {
        {JobNoticeHost::kLongJob, &elsewhere, 0}, // a short job
        {std::chrono::milliseconds(0), window.get(), 0},
        {std::chrono::milliseconds(0), &elsewhere, 1},
    };
    mode(sp->Option2, sp->Text2, "2");
    for (const auto& c : cases) {
        window->jobNotice().setThreshold(c.threshold);
        c.active->show();
        c.active->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(c.active));
        shell.desktop.notifications.clear();
        split(file, folder("out" + std::to_string(&c - cases)));
        EXPECT_EQ(shell.desktop.notifications.size(), c.notifications);
    }
    EXPECT_EQ(shell.desktop.notifications.back(),
              "Parcelo: job finished: The file " + file + " has been split into 2 files. ");
}

// Each option's effect is the commands' own tests'; here the controls reach them. The
// split modes are too: by size here, by number below and a preset for the long jobs.
TEST_F(WorkPanes, CompressionKeepCompressedAndRecoveryOptionsReachTheCommands)
{
    const std::string bytes = test::patternBytes(400000);
    const std::string file = source("data.bin", bytes), pieces = folder("pieces");
    window->optionsPane->optCLevel3->setChecked(true); // "Highest Speed"
    mode(sp->Option1, sp->Text3, "100", 1);
    split(file, pieces, true);
    EXPECT_EQ(window->zlibTool().CompressionLevel(), 2);
    EXPECT_TRUE(contains(lastMessage(), "has been compressed and split into 4 files."));

    const std::string joined = folder("joined"), kept = folder("kept");
    join(pieces + "data.bin.zip.003", joined);
    EXPECT_EQ(jn->ListView2->topLevelItemCount(), 4);
    EXPECT_EQ(jn->Label8->text(), "Completed joining files.");
    join(pieces + "data.bin.zip.001", kept, true);
    EXPECT_FALSE(fs::exists(kept + "data.bin"));
    EXPECT_TRUE(fs::exists(kept + "data.bin.zip"));

    // "Compress only": one compressed piece
    const std::string only = folder("only");
    window->cmdMSplit_Click();
    typeAndClick({{sp->Text1, file}, {sp->Text4, only}}, sp->cmdCompress);
    EXPECT_TRUE(fs::exists(only + "data.bin.zip.001") && !fs::exists(only + "data.bin.zip.002"));

    // recovery pieces are written, kept in config.xml and off for lines
    const std::string rec = folder("rec");
    mode(sp->Option2, sp->Text2, "4");
    sp->txtRecovery->setText(QStringLiteral("2"));
    split(file, rec);
    EXPECT_TRUE(fs::exists(rec + "data.bin.rec001") && fs::exists(rec + "data.bin.rec002"));
    EXPECT_FALSE(fs::exists(rec + "data.bin.rec003"));
    const std::string none = folder("none");
    sp->txtRecovery->clear(); // an emptied box asks for none
    split(file, none);
    EXPECT_TRUE(fs::exists(none + "data.bin.004") && !fs::exists(none + "data.bin.rec001"));
    sp->txtRecovery->setText(QStringLiteral("2"));
    window->optionsPane->chkFlush->setChecked(false); // reaches the next job, and is kept
    sp->chkPlainPieces->setChecked(true);             // so do plain pieces
    const std::string plain = folder("unflushed");
    split(file, plain);
    EXPECT_FALSE(flushToDisk());
    setFlushToDisk(true);
    EXPECT_EQ(test::readFile(plain + "data.bin.001"), bytes.substr(0, 100000));
    EXPECT_TRUE(contains(lastMessage(), "Anyone can join them without Parcelo: cat "));
    window->Before_Close();
    EXPECT_TRUE(contains(shell.config(), "<Recovery pieces=\"2\""));
    EXPECT_TRUE(contains(shell.config(), "<Writing flush=\"false\""));
    EXPECT_TRUE(contains(shell.config(), "<Pieces plain=\"true\""));
    const auto again = shell.start();
    EXPECT_EQ(again->splitPane->txtRecovery->text(), QStringLiteral("2"));
    EXPECT_FALSE(again->optionsPane->chkFlush->isChecked());
    EXPECT_TRUE(again->splitPane->chkPlainPieces->isChecked());
    // the presets tell their exact bytes
    sp->Combo2->setCurrentIndex(10);
    EXPECT_TRUE(sp->Combo2->toolTip().startsWith(QStringLiteral("4,294,967,295 bytes")));
    mode(sp->Option1, sp->Text3, "10", 4); // lines
    EXPECT_FALSE(sp->txtRecovery->isEnabled());
}

// "Encrypt with a password" keeps the set compressed and says how strong the password is;
// the boxes are emptied after the split. A damaged piece is rebuilt before the password is
// asked, a wrong one is asked again, and neither config.xml nor the log ever holds it.
TEST_F(WorkPanes, AnEncryptedSetIsRepairedBeforeItsPasswordIsAskedAndNothingKeepsThePassword)
{
    const std::string password = "correct horse battery staple";
    const std::string bytes = test::patternBytes(300000);
    const std::string file = source("data.bin", bytes), pieces = folder("pieces");
    window->cmdMSplit_Click();
    sp->Check1->setChecked(false);
    EXPECT_FALSE(sp->txtPassword->isEnabled());
    sp->chkEncrypt->setChecked(true);
    EXPECT_TRUE(sp->Check1->isChecked() && !sp->Check1->isEnabled());
    for (const auto& [typed, hint] : {std::pair{"Password1", "Weak: a common word"},
                                      {"gh7#kq", "Weak: under 12 characters"},
                                      {password.c_str(), "Strong enough"}}) {
        sp->txtPassword->setText(QString::fromUtf8(typed));
        EXPECT_EQ(sp->lblStrength->text().toStdString(), hint);
    }
    sp->txtPasswordAgain->setText(QString::fromStdString(password));
    mode(sp->Option2, sp->Text2, "3");
    sp->txtRecovery->setText(QStringLiteral("1"));
    typeAndClick({{sp->Text1, file}, {sp->Text4, pieces}}, sp->cmdSpSplit);
    EXPECT_TRUE(contains(lastMessage(), "has been compressed and split into 3 files."));
    EXPECT_TRUE(contains(lastMessage(), "The pieces are encrypted with AES-256: the password is "
                                        "needed to join them."));
    EXPECT_TRUE(sp->txtPassword->text().isEmpty() && sp->txtPasswordAgain->text().isEmpty());
    const std::string damaged = pieces + "data.bin.zip.002", good = test::readFile(damaged);
    test::flipByte(damaged, 5000);

    const std::string joined = folder("joined");
    bool rebuiltWhenAsked = false;
    host.onShown = [&](const test::ShownMessage& shown) {
        if (shown.kind == Question::Password && !rebuiltWhenAsked)
            rebuiltWhenAsked = test::readFile(damaged) == good;
    };
    host.password("correct horse", "are encrypted").password(password, kWrongPasswordText);
    join(pieces + "data.bin.zip.001", joined);
    EXPECT_TRUE(host.allAnswersUsed());
    EXPECT_TRUE(rebuiltWhenAsked);
    EXPECT_TRUE(test::readFile(joined + "data.bin") == bytes);
    EXPECT_TRUE(contains(lastMessage(), "Rebuilt from the recovery pieces: data.bin.zip.002"))
        << lastMessage();

    window->Before_Close();
    EXPECT_TRUE(contains(shell.config(), "<Encryption split=\"true\"/>"));
    const auto again = shell.start();
    EXPECT_TRUE(again->splitPane->chkEncrypt->isChecked());
    EXPECT_EQ(test::filesHolding(shell.app.path(), "horse"), std::set<std::string>{});
}

// Each focus target once: the commands' own tests check every refusal, its message and
// that it writes and remembers nothing.
TEST_F(WorkPanes, RefusalsPutTheFocusWhereTheInputIsToMend)
{
    host.acceptNotices(false);
    const std::string file = source("f.bin", "0123456789"), out = folder("out");
    QPushButton *const split = sp->cmdSpSplit, *const join = jn->cmdJoin;
    // Each step types into its boxes (on top of the earlier steps) and clicks.
    const struct {
        QPushButton* button;
        test::Typing boxes;
        std::string message;
        QWidget* focus; // nullptr: the focus stays on the button
    } refusals[] = {
        {split, {{sp->Text1, ""}, {sp->Text4, out}}, "Please select a file to split", sp->Text1},
        {split, {{sp->Text1, file}, {sp->Text4, ""}}, "Please specify the folder", sp->Text4},
        {split, {{sp->Text4, out}, {sp->Text3, ""}}, "valid value for the size", sp->Text3},
        {split, {{sp->Text3, "5"}}, "You can not compress file", sp->Check1},
        {split, {{sp->Text2, "abc"}}, "valid value for number of pieces!", sp->Text2},
        {split,
         {{sp->Text2, "2"}, {sp->txtRecovery, "x"}},
         "Recovery pieces takes",
         sp->txtRecovery},
        {join, {{jn->Text5, ""}, {jn->Text6, out}}, "Please locate any of the splitted", nullptr},
        {join, {{jn->Text5, out}, {jn->Text6, out}}, "Please enter a valid file name", jn->Text5},
        {join, {{jn->Text5, file}, {jn->Text6, data.file("missing")}}, "The folder", jn->Text6},
        {vf->cmdVerify1, {{vf->Text8, " "}}, "Please select a file to verify.", vf->Text8},
    };
    sp->Combo1->setCurrentIndex(4); // lines, refused with compression once the size is valid
    sp->Check1->setChecked(true);
    for (const auto& step : refusals) {
        SCOPED_TRACE(step.message);
        window->showPane(step.button == split  ? Pane::Split
                         : step.button == join ? Pane::Join
                                               : Pane::Verify);
        if (step.boxes[0].first == sp->Text2)
            sp->Option2->click();
        host.answer(Question::Notice, Answer::Ok, step.message);
        typeAndClick(step.boxes, step.button);
        EXPECT_TRUE(host.allAnswersUsed());
        EXPECT_EQ(window->focusWidget(), step.focus ? step.focus : step.button);
    }
}

// The verdicts and the answers are the commands' own tests'; here the buttons and the
// delete options reach them.
TEST_F(WorkPanes, VerifyButtonsAndDeleteOptionsReachTheCommands)
{
    window->optionsPane->chkDelOrgSplit->setChecked(true);
    window->optionsPane->chkDelOrgJoin->setChecked(true);
    host.answer(Question::Notice, Answer::Ok, "split into 4 files")
        .answer(Question::DeleteSource, Answer::Yes, "Do you wish to delete it?");
    mode(sp->Option2, sp->Text2, "4");
    split(source("set.bin", test::patternBytes(4000)), folder("set"));
    const std::string set = data.file("set/"), piece = set + "set.bin.00";
    EXPECT_FALSE(fs::exists(data.file("set.bin")));

    window->cmdMVerify_Click();
    typeAndClick({{vf->Text8, piece + "2"}}, vf->cmdVerify1);
    EXPECT_TRUE(contains(lastMessage(), "It is split file #2 in a set of 4 file(s)."));
    EXPECT_EQ(vf->ListView3->topLevelItemCount(), 1);
    typeAndClick({{vf->Text8, piece + "1"}}, vf->cmdVerify2);
    EXPECT_TRUE(contains(lastMessage(), "has been verified successfully."));
    EXPECT_EQ(vf->ListView3->topLevelItemCount(), 4);
    EXPECT_EQ(window->recentFiles().list(RecentKind::Verified),
              (std::vector<std::string>{piece + "1", piece + "2"}));

    host.answer(Question::Notice, Answer::Ok, "from all split files successfully.")
        .answer(Question::DeletePieces, Answer::Yes, "do you wish to delete them?");
    join(piece + "2", folder("joined"));
    EXPECT_EQ(test::filesIn(set), 0u);
    EXPECT_TRUE(host.allAnswersUsed());
}

// "Stop" (or Esc) ends each phase of a long job leaving the destination folder as it was,
// with "Cancelled." and no box: a stop is no error. How often a job lets the window's
// events through is bench/responsiveness's measure.
TEST_F(WorkPanes, LongJobsStopInEveryPhaseLeavingTheDestinationAsItWas)
{
    const std::string file = source("big.bin", test::patternBytes(64u << 20));
    mode(sp->Option3, nullptr, "", 3); // 10 MegaBytes
    split(file, folder("set"), true);
    const std::string set = data.file("set/");
    ASSERT_TRUE(fs::exists(set + "big.bin.zip.007") && !fs::exists(set + "big.bin.zip.008"));
    const std::size_t setFiles = test::filesIn(set);

    QShortcut* escape = window->findChild<QShortcut*>();
    ASSERT_TRUE(escape && escape->key() == QKeySequence(Qt::Key_Escape));

    const struct {
        const char* phase;
        QLabel* label;
        bool compress;
        bool escape;
    } cases[] = {
        {"Generating File", sp->Label5, false, false},
        {"Compressing", sp->Label5, true, true},
        {"Joining File", jn->Label8, false, false},
        {"Decompressing", jn->Label8, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.phase);
        const std::string out = folder(std::string("stopped-") + c.phase);
        test::writeFile(out + "big.bin", "the user's own file");
        bool stopShown = false;
        host.shown.clear();
        host.onEvents = [&] {
            if (!c.label->text().startsWith(QString::fromUtf8(c.phase)) || stopShown)
                return;
            stopShown = sp->cmdSpCancel->text() == QString::fromLatin1(kStopCaption)
                        && jn->cmdJnCancel->text() == QString::fromLatin1(kStopCaption);
            if (c.escape)
                emit escape->activated();
            else
                (c.label == sp->Label5 ? sp->cmdSpCancel : jn->cmdJnCancel)->click();
        };
        if (c.label == sp->Label5) {
            split(file, out, c.compress);
        } else { // agreeing to replace the user's file, which a stop then keeps
            host.answer(Question::Replace, Answer::Yes, "big.bin already exists in ");
            join(set + "big.bin.zip.002", out);
        }
        EXPECT_TRUE(stopShown);
        for (const test::ShownMessage& shown : host.shown) // and the question asked before
            EXPECT_TRUE(shown.kind == Question::Stopped || shown.kind == Question::Replace)
                << shown.text;
        EXPECT_EQ(test::filesIn(out), 1u);
        EXPECT_TRUE(test::readFile(out + "big.bin") == "the user's own file");
        EXPECT_EQ(c.label->text(), QStringLiteral("Cancelled."));
        EXPECT_EQ(sp->cmdSpCancel->text(), QString::fromLatin1(kClearAllCaption));
        EXPECT_TRUE(sp->cmdSpSplit->isEnabled() && jn->cmdJoin->isEnabled());
    }
    EXPECT_EQ(test::filesIn(set), setFiles);
}

TEST_F(WorkPanes, ARunningJobStartsNothingElseAndAClosingAsksToStopIt)
{
    const std::string file = source("big.bin", test::patternBytes(20000000));
    const std::string out = folder("out");
    mode(sp->Option2, sp->Text2, "4");
    int events = 0;
    bool disabledMeanwhile = false;
    host.answer(Question::StopJob, Answer::No, "A job is still running. Stop it and exit?")
        .answer(Question::StopJob, Answer::Yes);
    host.onEvents = [&] {
        if (++events == 1) {
            disabledMeanwhile = !sp->cmdSpSplit->isEnabled() && !jn->cmdJoin->isEnabled()
                                && !window->menus->mnuFileSp->isEnabled();
            window->cmdSpSplit_Click();
            window->cmdVerify2_Click();
            window->close(); // No: the split goes on
        } else if (events == 4) {
            EXPECT_FALSE(window->hasEnded());
            window->close(); // Yes: it stops, then the window closes
        }
    };
    split(file, out);
    EXPECT_TRUE(disabledMeanwhile);
    EXPECT_GT(events, 4);
    EXPECT_EQ(test::filesIn(out), 0u);
    EXPECT_TRUE(host.allAnswersUsed());
    EXPECT_TRUE(shell.dialogs.starts.empty());
    EXPECT_TRUE(window->hasEnded());
}

// A folder picked with "Folder..." is split as a folder set, the FIFO left out and said so,
// and joined back whole.
TEST_F(WorkPanes, AFolderPickedWithFolderSplitsAndJoinsBackWhole)
{
    const std::string tree = test::makeFolderTree(data.path(), "tree");
    const std::string pieces = folder("pieces"), joined = folder("joined");
    mode(sp->Option2, sp->Text2, "4");
    sp->Text4->setText(QString::fromStdString(pieces));
    shell.dialogs.picks.push_back(tree);
    sp->cmdSpFolder->click();
    EXPECT_EQ(sp->Text1->text().toStdString(), tree + "/");
    sp->cmdSpSplit->click();
    EXPECT_TRUE(contains(lastMessage(), "neither files, folders nor links: fifo."))
        << lastMessage();
    EXPECT_TRUE(fs::exists(pieces + "tree.zip.004"));
    join(pieces + "tree.zip.002", joined);
    EXPECT_EQ(test::treeDifference(tree, joined + "tree"), "");
}
