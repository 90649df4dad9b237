#include "compress/compression_adapter.h"
#include "compress/zlib_tool.h"
#include "format/split_set.h"
#include "platform/diskette.h"
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
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace parcelo;
namespace fs = std::filesystem;

namespace {

// A scripted host that also runs a hook each time an operation lets events through.
class HookedHost : public test::ScriptedHost {
public:
    void processEvents() override
    {
        ScriptedHost::processEvents();
        if (onEvents)
            onEvents();
    }
    std::function<void()> onEvents;
};

void type(QLineEdit* box, const std::string& text)
{
    box->clear();
    QTest::keyClicks(box, QString::fromStdString(text));
}

void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

class WorkPanes : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell.installConfig();
        window = Main(shell.appFolder, {host, shell.desktop, shell.dialogs, shell.registry});
        ASSERT_NE(window, nullptr);
        window->setSaveOptionsPause({});
        host.acceptNotices();
    }
    void TearDown() override { setDisketteDrive(nullptr); }

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
        SplitPane& pane = *window->splitPane;
        window->cmdMSplit_Click();
        click(option);
        if (box)
            type(box, value);
        if (entry >= 0)
            (option == pane.Option3 ? pane.Combo2 : pane.Combo1)->setCurrentIndex(entry);
    }
    // Fills the Split pane's paths and clicks Split.
    void split(const std::string& from, const std::string& to, bool compress = false)
    {
        window->cmdMSplit_Click();
        SplitPane& pane = *window->splitPane;
        type(pane.Text1, from);
        type(pane.Text4, to);
        pane.Check1->setChecked(compress);
        click(pane.cmdSpSplit);
    }
    void join(const std::string& piece, const std::string& to, bool keepCompressed = false)
    {
        window->cmdMJoin_Click();
        JoinPane& pane = *window->joinPane;
        type(pane.Text5, piece);
        type(pane.Text6, to);
        pane.Check2->setChecked(keepCompressed);
        click(pane.cmdJoin);
    }
    void verify(const std::string& piece, QPushButton* button)
    {
        window->cmdMVerify_Click();
        type(window->verifyPane->Text8, piece);
        click(button);
    }
    std::string lastMessage() const { return host.shown.empty() ? "" : host.shown.back().text; }
    bool lastSays(const std::string& part) const
    {
        return lastMessage().find(part) != std::string::npos;
    }

    test::Shell shell;
    HookedHost host;
    test::TempFolder data;
    std::unique_ptr<frmMain> window;
};

} // namespace

TEST_F(WorkPanes, EverySplitModeJoinsBackFromAMiddlePiece)
{
    SplitPane& pane = *window->splitPane;
    std::string text;
    for (int line = 0; line < 25; ++line)
        text += "line " + std::to_string(line) + "\r\n";
    const struct {
        std::string name, bytes;
        QRadioButton* option;
        QLineEdit* box;
        std::string value;
        int entry, pieces;
    } modes[] = {
        {"size.bin", test::patternBytes(10000), pane.Option1, pane.Text3, "3", 1, 4},
        {"pieces.bin", test::patternBytes(10000), pane.Option2, pane.Text2, "3", -1, 3},
        {"preset.bin", test::patternBytes(3000000), pane.Option3, nullptr, "", 0, 3},
        {"lines.txt", text, pane.Option1, pane.Text3, "10", 4, 3},
    };
    const std::string pieces = folder("pieces");
    const std::string joined = folder("joined");
    for (const auto& m : modes) {
        SCOPED_TRACE(m.name);
        const std::string file = source(m.name, m.bytes);
        mode(m.option, m.box, m.value, m.entry);
        split(file, pieces);
        EXPECT_TRUE(lastSays("split into " + std::to_string(m.pieces) + " files."));
        EXPECT_EQ(pane.ListView1->topLevelItemCount(), m.pieces);
        EXPECT_EQ(pane.Label5->text(), "Completed splitting.");
        EXPECT_FALSE(pane.ProgressBar1->isVisible());

        const std::string middle = pieceName(pieces, m.name, 2);
        join(middle, joined);
        EXPECT_EQ(test::readFile(joined + m.name), m.bytes);
        EXPECT_EQ(window->joinPane->ListView2->topLevelItemCount(), m.pieces);
        EXPECT_EQ(window->joinPane->Label8->text(), "Completed joining files.");
        EXPECT_EQ(window->recentFiles().list(RecentKind::Split).front(), file);
        EXPECT_EQ(window->recentFiles().list(RecentKind::Joined).front(), middle);
    }
    EXPECT_NE(host.shown.at(host.shown.size() - 3).text.find("splitting files by number of lines"),
              std::string::npos);
    const auto& explore = window->menus->mnuExplore;
    EXPECT_EQ(explore[2]->data().toString().toStdString() + "/", pieces);
    EXPECT_EQ(explore[3]->data().toString().toStdString() + "/", joined);
    EXPECT_TRUE(explore[3]->isVisible());

    // every "Clear All" empties its pane
    click(pane.cmdSpCancel);
    EXPECT_TRUE(pane.Text1->text().isEmpty() && pane.Option1->isChecked()
                && pane.Check1->isChecked());
    EXPECT_EQ(pane.Combo1->currentIndex(), 2);
    EXPECT_EQ(pane.ListView1->topLevelItemCount(), 0);
    click(window->joinPane->cmdJnCancel);
    EXPECT_TRUE(window->joinPane->Text5->text().isEmpty());
    EXPECT_EQ(window->joinPane->ListView2->topLevelItemCount(), 0);
}

TEST_F(WorkPanes, CompressedSplitShowsItsProgressAndJoinsWithOrWithoutDecompressing)
{
    std::vector<std::string> seen; // operation, bar and status whenever the component yields
    host.onEvents = [&] {
        const std::string operation = window->compressor().CompressOperation();
        if (operation == kCompressOperation && window->splitPane->ProgressBar1->value() > 0)
            seen.push_back(operation + " " + window->splitPane->Label5->text().toStdString());
        if (operation == kDecompressOperation && window->joinPane->ProgressBar2->value() > 0)
            seen.push_back(operation);
    };
    window->optionsPane->optCLevel3->setChecked(true);
    const std::string bytes = test::patternBytes(400000);
    const std::string file = source("data.bin", bytes);
    const std::string pieces = folder("pieces");
    SplitPane& pane = *window->splitPane;
    mode(pane.Option1, pane.Text3, "100", 1);
    split(file, pieces, true);
    EXPECT_EQ(window->zlibTool().CompressionLevel(), 2);
    EXPECT_TRUE(lastSays("has been compressed and split into 4 files."));
    EXPECT_EQ(pane.Label5->text(), "Completed compressing and splitting.");
    EXPECT_FALSE(fs::exists(pieces + "data.bin.zip"));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "Compress Compressing " + file + "...");

    const std::string joined = folder("joined");
    join(pieces + "data.bin.zip.003", joined);
    EXPECT_EQ(test::readFile(joined + "data.bin"), bytes);
    EXPECT_FALSE(fs::exists(joined + "data.bin.zip"));
    EXPECT_TRUE(lastSays(" has been created and decompressed from all split files"));
    EXPECT_EQ(seen.back(), kDecompressOperation);

    const std::string kept = folder("kept");
    join(pieces + "data.bin.zip.001", kept, true);
    EXPECT_FALSE(fs::exists(kept + "data.bin"));
    EXPECT_TRUE(fs::exists(kept + "data.bin.zip"));
    EXPECT_TRUE(lastSays(" has been created from all split files"));

    // "Compress only": one piece holding the compressed file
    const std::string single = folder("single");
    window->cmdMSplit_Click();
    type(pane.Text1, file);
    type(pane.Text4, single);
    click(pane.cmdCompress);
    EXPECT_TRUE(pane.Option2->isChecked());
    EXPECT_EQ(pane.Text2->text(), "1");
    EXPECT_EQ(window->focusWidget(), pane.Text1);
    EXPECT_EQ(test::filesIn(single), 1u);
    EXPECT_TRUE(fs::exists(single + "data.bin.zip.001"));
}

TEST_F(WorkPanes, RefusalsPutTheFocusWhereTheInputIsToMend)
{
    host.acceptNotices(false);
    SplitPane& sp = *window->splitPane;
    JoinPane& jn = *window->joinPane;
    VerifyPane& vf = *window->verifyPane;
    const std::string file = source("f.bin", "0123456789"), out = folder("out");
    const std::string missing = data.file("missing");
    // Each step types into up to two boxes (on top of the earlier steps) and clicks.
    const struct {
        QLineEdit* box1;
        std::string text1;
        QLineEdit* box2;
        std::string text2;
        QPushButton* button;
        std::string message;
        QWidget* focus; // nullptr: the focus stays on the button
    } refusals[] = {
        {sp.Text1, "", sp.Text4, out, sp.cmdSpSplit, "Please select a file to split", sp.Text1},
        {sp.Text1, file, sp.Text4, "", sp.cmdSpSplit, "Please specify the folder", sp.Text4},
        {sp.Text1, out, sp.Text4, out, sp.cmdSpSplit, "Please enter a valid file name", sp.Text1},
        {sp.Text1, missing, nullptr, "", sp.cmdSpSplit, "cannot be located", sp.Text1},
        {sp.Text1, file, sp.Text4, missing, sp.cmdSpSplit, "The folder", sp.Text4},
        {sp.Text4, out, sp.Text3, "", sp.cmdSpSplit, "valid value for the size of split", sp.Text3},
        {sp.Text3, "5", nullptr, "", sp.cmdSpSplit, "You can not compress file", sp.Check1},
        {sp.Text2, "abc", nullptr, "", sp.cmdSpSplit, "valid value for number of pieces!",
         sp.Text2},
        {sp.Text2, "-3", nullptr, "", sp.cmdSpSplit, "Number of pieces should be more", sp.Text2},
        {jn.Text5, "", jn.Text6, out, jn.cmdJoin, "Please locate any of the splitted file!",
         nullptr},
        {jn.Text5, file, jn.Text6, "", jn.cmdJoin, "Please specify destination folder", nullptr},
        {jn.Text5, out, jn.Text6, out, jn.cmdJoin, "Please enter a valid file name", jn.Text5},
        {jn.Text5, "a:/f.001", jn.Text6, "a:/", jn.cmdJoin, "You cannot select a: drive", jn.Text6},
        {jn.Text5, missing, jn.Text6, out, jn.cmdJoin, "cannot be located", jn.Text5},
        {jn.Text5, file, jn.Text6, missing, jn.cmdJoin, "The folder", jn.Text6},
        {vf.Text8, " ", nullptr, "", vf.cmdVerify1, "Please select a file to verify.", vf.Text8},
        {vf.Text8, out, nullptr, "", vf.cmdVerify1, "Please enter a valid file name", vf.Text8},
        {vf.Text8, missing, nullptr, "", vf.cmdVerify2, "cannot be located", vf.Text8},
    };
    sp.Combo1->setCurrentIndex(4); // lines, refused with compression once the size is valid
    sp.Check1->setChecked(true);
    for (const auto& step : refusals) {
        SCOPED_TRACE(step.message);
        window->showPane(step.button == sp.cmdSpSplit ? Pane::Split
                         : step.button == jn.cmdJoin  ? Pane::Join
                                                      : Pane::Verify);
        if (step.box2 == sp.Text2 || step.box1 == sp.Text2)
            click(sp.Option2);
        type(step.box1, step.text1);
        if (step.box2)
            type(step.box2, step.text2);
        host.answer(Answer::Ok, step.message);
        step.button->setFocus();
        click(step.button);
        EXPECT_TRUE(host.allAnswersUsed());
        EXPECT_EQ(window->focusWidget(), step.focus ? step.focus : step.button);
    }
    EXPECT_EQ(test::filesIn(out), 0u);
    EXPECT_TRUE(window->recentFiles().list(RecentKind::Verified).empty());
}

TEST_F(WorkPanes, DisketteSplitAndJoinOnTheSimulatedDrive)
{
    const auto floppy = data.path() / "floppy";
    fs::create_directory(floppy);
    setDisketteDrive(std::make_shared<FolderDisketteDrive>(floppy));
    const std::string bytes = test::patternBytes(3000);
    const std::string file = source("disk.bin", bytes);
    SplitPane& pane = *window->splitPane;
    mode(pane.Option1, pane.Text3, "1000", 0);
    host.answer(Answer::Yes, "you need 3 1.44MB diskettes")
        .answer(Answer::Ok, "Please insert disk #1 in drive A:")
        .answer(Answer::Ok, "Please insert disk #2 in drive A:")
        .answer(Answer::Ok, "Please insert disk #3 in drive A:")
        .answer(Answer::Ok, "has been split into 3 files.");
    split(file, "a:");
    EXPECT_TRUE(host.allAnswersUsed());
    EXPECT_EQ(pane.Text4->text(), "a:/");
    EXPECT_EQ(test::filesIn(floppy), 3u);
    EXPECT_FALSE(window->menus->mnuExplore[2]->isVisible());

    // pieces on diskettes are never offered for deletion
    window->optionsPane->chkDelOrgJoin->setChecked(true);
    const std::string joined = folder("joined");
    host.answer(Answer::Ok, "has been created from all split files successfully.");
    join("a:/disk.bin.002", joined);
    EXPECT_TRUE(host.allAnswersUsed());
    EXPECT_EQ(test::readFile(joined + "disk.bin"), bytes);
    EXPECT_EQ(test::filesIn(floppy), 3u);
}

TEST_F(WorkPanes, VerifyOnePieceAndASetWithABadPiece)
{
    const std::string file = source("set.bin", test::patternBytes(4000));
    const std::string out = folder("out");
    mode(window->splitPane->Option2, window->splitPane->Text2, "4");
    split(file, out);
    VerifyPane& pane = *window->verifyPane;
    const RecentFiles& recent = window->recentFiles();

    verify(out + "set.bin.002", pane.cmdVerify1);
    EXPECT_EQ(lastMessage(), "File " + out + "set.bin.002 is a valid split file. " + LF
                                 + "It is split file #2 in a set of 4 file(s).");
    EXPECT_EQ(pane.ListView3->topLevelItemCount(), 1);
    EXPECT_EQ(recent.list(RecentKind::Verified).front(), out + "set.bin.002");

    // piece 3 claims a set of five
    std::string third = test::readFile(out + "set.bin.003");
    third[4] = 5;
    test::writeFile(out + "set.bin.003", third);
    verify(out + "set.bin.001", pane.cmdVerify2);
    EXPECT_EQ(lastMessage(),
              std::string("The set of split files associated with this file could not be verified.")
                  + LF + "The file " + out + "set.bin.003 is not a valid file of the set." + LF);
    EXPECT_EQ(host.shown.back().icon, Icon::Critical);
    EXPECT_EQ(pane.ListView3->topLevelItemCount(), 4);
    EXPECT_EQ(recent.list(RecentKind::Verified).front(), out + "set.bin.001");

    // a check that ends in an error gives no verdict and is not remembered
    fs::remove(out + "set.bin.004");
    verify(out + "set.bin.002", pane.cmdVerify2);
    EXPECT_EQ(lastMessage().rfind("Error:53 ", 0), 0u) << lastMessage();
    EXPECT_EQ(recent.list(RecentKind::Verified).front(), out + "set.bin.001");

    click(pane.cmdVerify3);
    EXPECT_TRUE(pane.Text8->text().isEmpty());
    EXPECT_EQ(pane.ListView3->topLevelItemCount(), 0);
}

TEST_F(WorkPanes, DeleteOffersAnsweredBothWays)
{
    window->optionsPane->chkDelOrgSplit->setChecked(true);
    window->optionsPane->chkDelOrgJoin->setChecked(true);
    const std::string file = source("gone.bin", test::patternBytes(2000));
    const std::string kept = folder("kept"), dropped = folder("dropped");
    mode(window->splitPane->Option2, window->splitPane->Text2, "2");
    host.answer(Answer::Ok, "split into 2 files").answer(Answer::No, "Do you wish to delete it?");
    split(file, kept);
    EXPECT_TRUE(fs::exists(file));
    host.answer(Answer::Ok, "split into 2 files").answer(Answer::Yes, "Do you wish to delete it?");
    split(file, dropped);
    EXPECT_FALSE(fs::exists(file));

    const std::string joined = folder("joined"), again = folder("again");
    const char* offer =
        "All borken files have successfully been joined, do you wish to delete them?";
    host.answer(Answer::Ok, "from all split files successfully.").answer(Answer::No, offer);
    join(kept + "gone.bin.001", joined);
    EXPECT_EQ(test::filesIn(kept), 2u);
    host.answer(Answer::Ok, "from all split files successfully.").answer(Answer::Yes, offer);
    join(dropped + "gone.bin.002", again);
    EXPECT_EQ(test::filesIn(dropped), 0u);
    EXPECT_EQ(window->joinPane->ListView2->topLevelItemCount(), 2);
    EXPECT_TRUE(host.allAnswersUsed());
}

TEST_F(WorkPanes, ARunningSplitStartsNothingElseAndRepaintsPerChunk)
{
    const std::string bytes = test::patternBytes(5000000);
    const std::string file = source("big.bin", bytes);
    const std::string out = folder("out");
    SplitPane& pane = *window->splitPane;
    mode(pane.Option1, pane.Text3, "5000000", 0);

    bool disabledMeanwhile = false;
    int events = 0;
    host.onEvents = [&] {
        if (++events != 1)
            return;
        disabledMeanwhile = !pane.cmdSpSplit->isEnabled() && !window->joinPane->cmdJoin->isEnabled()
                            && !window->menus->mnuFileSp->isEnabled();
        click(pane.cmdSpSplit);
        window->cmdSpSplit_Click();
        window->cmdCompress_Click();
        window->cmdVerify2_Click();
        window->menus->mnuFileSp->trigger();
        window->Command2_Click();
        click(pane.cmdSpCancel); // clears the pane, not the split
        window->close();         // waits for the split
        EXPECT_FALSE(window->hasEnded());
    };
    split(file, out);
    EXPECT_TRUE(disabledMeanwhile);
    // one piece of 5,000,000 bytes: events after each of its three 2,000,000-byte chunks on
    // top of the two per piece
    EXPECT_GE(events, 4);
    EXPECT_EQ(host.texts().size(), 1u);
    EXPECT_TRUE(lastSays("split into 1 files."));
    EXPECT_EQ(test::readFile(out + "big.bin.001").substr(12), bytes);
    EXPECT_TRUE(shell.dialogs.fileDialogStarts.empty()
                && shell.dialogs.folderChooserStarts.empty());
    EXPECT_TRUE(pane.Text4->text().isEmpty());
    EXPECT_TRUE(pane.cmdSpSplit->isEnabled());
    EXPECT_TRUE(window->hasEnded());
}
