#include "assembler/frm_instructions.h"
#include "assembler/start_up.h"
#include "format/split_set.h"
#include "ui/file_opening.h"
#include "ui/frm_about.h"
#include "ui/frm_folder.h"
#include "ui/frm_pcx_a_instructions.h"
#include "ui/help_window.h"
#include "ui/stoppable_job.h"

#include "shell_fixture.h"

#include <QAccessible>
#include <QDir>
#include <QFileSystemModel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeView>

using namespace parcelo;

namespace {

using KeysAndFiles = test::WindowTest;
using test::text;

void activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The access key of a caption ('\0' for none), as Alt and the marked letter press it.
QChar accessKey(const QString& caption)
{
    const QKeySequence keys = QKeySequence::mnemonic(caption);
    return keys.isEmpty() ? QChar() : QChar(keys[0].key()).toUpper();
}

} // namespace

TEST_F(KeysAndFiles, PiecesFillTheJoinPaneOtherFilesTheSplitPaneFoldersTheirBoxesAndSwitchesChoose)
{
    test::TempFolder folder;
    const auto header = encodePieceHeader({PieceSignaturePlain, 3, 1});
    const struct {
        std::string name, bytes;
        bool piece;
    } files[] = {
        {"movie.bin", std::string(header.begin(), header.end()) + "data", true},
        {"notes.txt", std::string(kLineMarker) + kCrLf + "text", true},
        {"archive.zip.001", "anything", true},
        {"report.txt", "PcxLineBreak9174 is not alone on this line", false},
    };
    for (const auto& file : files) {
        const std::string path = folder.file(file.name);
        test::writeFile(path, file.bytes);
        SCOPED_TRACE(path);
        QLineEdit* box = file.piece ? window->joinPane->Text5 : window->splitPane->Text1;
        const Pane pane = file.piece ? Pane::Join : Pane::Split;
        // from the command line, then dropped on the window and on the other pane's box
        window->showPane(Pane::Options);
        window->openFiles(commandLineFiles({QStringLiteral("Parcelo"), QStringLiteral("--ignored"),
                                            QString::fromStdString(path)}));
        EXPECT_EQ(text(box), path);
        EXPECT_EQ(window->visiblePane(), pane);
        for (QWidget* target : {static_cast<QWidget*>(window.get()),
                                static_cast<QWidget*>(window->verifyPane->Text8)}) {
            box->clear();
            window->showPane(Pane::Verify);
            EXPECT_TRUE(test::dropPaths(target, {path}));
            EXPECT_EQ(text(box), path);
            EXPECT_EQ(window->visiblePane(), pane);
        }
    }
    EXPECT_EQ(text(window->verifyPane->Text8), "") << "a drop on a box is no text typed into it";

    // a folder fills a destination box and the Split pane's source, the folder to split,
    // but is no piece to join
    const std::string inside = folder.path().string();
    for (QLineEdit* box :
         {window->splitPane->Text4, window->joinPane->Text6, window->optionsPane->txtDefoutSplit,
          window->optionsPane->txtDefoutJoin, window->splitPane->Text1}) {
        EXPECT_TRUE(test::dropPaths(box, {inside}));
        EXPECT_EQ(text(box), folder.folder());
    }
    EXPECT_FALSE(test::dropPaths(window->joinPane->Text5, {inside}));
    EXPECT_FALSE(test::dropPaths(window.get(), {inside}));

    // a relative name on the command line is taken from the current folder
    const QString current = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder.folder()));
    EXPECT_EQ(commandLineFiles({QStringLiteral("Parcelo"), QStringLiteral("report.txt")}),
              std::vector<std::string>{folder.file("report.txt")});
    QDir::setCurrent(current);

    // --split and --join choose the pane whatever the file holds; alone, the menu entries'
    const std::string piece = folder.file("movie.bin"), other = folder.file("report.txt");
    const struct {
        const char* option;
        std::vector<std::string> files;
        QLineEdit* box;
        std::string boxText;
    } switches[] = {
        {"--split", {piece}, window->splitPane->Text1, piece},
        {"--join", {other}, window->joinPane->Text5, other},
        {"--join", {}, window->joinPane->Text5, other},
        {"--split", {}, window->splitPane->Text1, piece},
    };
    for (const auto& c : switches) {
        SCOPED_TRACE(c.option);
        window->showPane(Pane::Options);
        QStringList arguments{QStringLiteral("Parcelo"), QString::fromLatin1(c.option)};
        for (const std::string& file : c.files)
            arguments << QString::fromStdString(file);
        window->openFiles(commandLineFiles(arguments), commandLinePane(arguments));
        EXPECT_EQ(window->visiblePane(),
                  c.box == window->splitPane->Text1 ? Pane::Split : Pane::Join);
        EXPECT_EQ(text(c.box), c.boxText);
    }
    EXPECT_EQ(commandLinePane({QStringLiteral("Parcelo"), QString::fromStdString(piece)}),
              std::nullopt);
}

TEST_F(KeysAndFiles, TabGoesThroughSplitByInReadingOrderAndTheFocusIsMarked)
{
    activate(*window);
    SplitPane& split = *window->splitPane;
    using Order = std::vector<std::string>;
    // the options are one stop, at the chosen one; the boxes stay in reading order
    const std::pair<QRadioButton*, Order> modes[] = {
        {split.Option1, {"Option1", "Text3", "Combo1", "Text2", "Combo2", "Check1"}},
        {split.Option3, {"Text3", "Combo1", "Text2", "Option3", "Combo2", "Check1"}},
    };
    for (const auto& [mode, expected] : modes) {
        mode->setChecked(true);
        split.Command2->setFocus();
        Order order;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.push_back(QApplication::focusWidget()->objectName().toStdString());
        }
        EXPECT_EQ(order, expected);
        EXPECT_TRUE(mode->isChecked());
    }
    // typing a value, or an arrow on a list, does choose
    QTest::keyClicks(split.Text2, QStringLiteral("4"));
    EXPECT_TRUE(split.Option2->isChecked());
    split.Combo1->setFocus();
    QTest::keyClick(split.Combo1, Qt::Key_Down);
    EXPECT_TRUE(split.Option1->isChecked());

    // a navigation button with the focus looks different
    QToolButton* join = window->navigation->cmdMJoin;
    window->splitPane->Text1->setFocus();
    const QImage plain = join->grab().toImage();
    join->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(join->hasFocus());
    EXPECT_NE(join->grab().toImage(), plain);
}

TEST_F(KeysAndFiles, ShortcutsOpenHelpBrowseAndAskBeforeExitingAndEnterPressesTheCommand)
{
    activate(*window);
    QTest::keyClick(window.get(), Qt::Key_F1);
    HelpWindow* help = window->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    // Esc and Ctrl+W close it (offscreen, a child window does not take the keys itself)
    for (const QKeySequence& close :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        help->showContents();
        const QList<QAction*> actions = help->actions();
        const auto action = std::find_if(actions.begin(), actions.end(), [&](QAction* a) {
            return a->shortcut() == close && a->shortcutContext() == Qt::WindowShortcut;
        });
        ASSERT_NE(action, actions.end()) << close.toString().toStdString();
        (*action)->trigger();
        EXPECT_FALSE(help->isVisible()) << close.toString().toStdString();
    }
    activate(*window);

    // Ctrl+O browses for the shown pane's file
    shell.dialogs.picks = {"/d/a.txt", "/d/b.001", "/d/c.002"};
    for (Pane pane : {Pane::Split, Pane::Join, Pane::Verify})
        window->showPane(pane), QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(text(window->splitPane->Text1), "/d/a.txt");
    EXPECT_EQ(text(window->joinPane->Text5), "/d/b.001");
    EXPECT_EQ(text(window->verifyPane->Text8), "/d/c.002");

    shell.host.answer(Question::Exit, Answer::No, "Are you sure you want to exit");
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(shell.host.allAnswersUsed());
    EXPECT_FALSE(window->hasEnded());

    // Enter in a box presses its pane's command
    SplitPane& split = *window->splitPane;
    const std::pair<std::vector<QLineEdit*>, QPushButton*> panes[] = {
        {{split.Text1, split.Text4, split.Text3, split.Text2}, split.cmdSpSplit},
        {{window->joinPane->Text5, window->joinPane->Text6}, window->joinPane->cmdJoin},
        {{window->verifyPane->Text8}, window->verifyPane->cmdVerify1},
    };
    shell.host.acceptNotices();
    for (const auto& [boxes, command] : panes) {
        QSignalSpy pressed(command, &QPushButton::clicked);
        for (QLineEdit* box : boxes)
            QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(pressed.count(), static_cast<int>(boxes.size())) << command->text().toStdString();
    }
}

TEST_F(KeysAndFiles, EveryBoxAndListIsNamedAfterItsLabelAndTheWindowsFitTheScreen)
{
    int controls = 0;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control)
            && !qobject_cast<QTreeWidget*>(control))
            continue;
        ++controls;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        EXPECT_TRUE(face && !face->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
    }
    EXPECT_GE(controls, 14);

    // the windows fit their content and a 1366x768 screen at 150 %, less a title bar and a panel
    const QSize screen(1366 * 2 / 3, 768 * 2 / 3 - 64);
    const QSize needed = window->minimumSizeHint().expandedTo(window->minimumSize());
    EXPECT_LE(needed.width(), screen.width());
    EXPECT_LE(needed.height(), screen.height());

    // the boxes of wrapped text show every line
    frmPcxAInstructions instructions(shell.appFolder, "https://www.norvane.example", shell.host,
                                     shell.desktop);
    frmAbout about({"Parcelo", "1.2.0", {}, "https://www.norvane.example", false}, shell.host,
                   shell.desktop);
    for (QWidget* box : {static_cast<QWidget*>(&instructions), static_cast<QWidget*>(&about)}) {
        box->show();
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (label->wordWrap() && label->isVisible()) {
                EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                    << label->objectName().toStdString();
            }
        }
    }
}

// Within what one pane shows, with the menu bar beside it, every button, check box and
// option button has an access key and no two keys are alike: a "Clear All" button's key
// must also differ from the one it has while it reads "Stop".
TEST_F(KeysAndFiles, AccessKeysAreThereAndUniqueInEveryPane)
{
    auto joiner = assembler::Main(shell.appFolder, {shell.host, shell.desktop, shell.dialogs, {}});
    frmAbout about({}, shell.host, shell.desktop);
    frmFolder chooser(shell.host, shell.appFolder);
    frmPcxAInstructions introduction(shell.appFolder, {}, shell.host, shell.desktop);
    assembler::frmInstructions instructions({});
    const struct {
        const char* name;
        QWidget* pane;
        QMenuBar* menus; // shown beside the pane, or none
    } panes[] = {
        {"Split", window->splitPane, window->menuBar()},
        {"Join", window->joinPane, window->menuBar()},
        {"Verify", window->verifyPane, window->menuBar()},
        {"Options", window->optionsPane, window->menuBar()},
        {"PcxAssembler", joiner->centralWidget(), joiner->menuBar()},
        {"About", &about, nullptr},
        {"Folder chooser", &chooser, nullptr},
        {"Joiner introduction", &introduction, nullptr},
        {"Joiner instructions", &instructions, nullptr},
    };
    for (const auto& pane : panes) {
        SCOPED_TRACE(pane.name);
        std::map<QChar, QString> owners;
        const auto take = [&](const QString& caption) {
            const QChar key = accessKey(caption);
            EXPECT_FALSE(key.isNull()) << caption.toStdString() << " has no access key";
            const auto [owner, fresh] = owners.emplace(key, caption);
            EXPECT_TRUE(fresh || key.isNull()) << caption.toStdString() << " and "
                                               << owner->second.toStdString() << " share a key";
        };
        if (pane.menus)
            for (QAction* menu : pane.menus->actions())
                take(menu->text());
        for (QAbstractButton* button : pane.pane->findChildren<QAbstractButton*>()) {
            take(button->text());
            if (button->text() == QString::fromLatin1(kClearAllCaption))
                take(QString::fromLatin1(kStopCaption));
        }
        for (QLabel* label : pane.pane->findChildren<QLabel*>())
            if (label->buddy())
                take(label->text());
    }
}

TEST(FolderChooser, OpensAtTheCurrentFolderOrHomeAndMakesANewFolderInTheHighlightedOne)
{
    test::TempFolder tree;
    for (int i = 0; i < 80; ++i)
        QDir(QString::fromStdString(tree.folder()))
            .mkpath(QStringLiteral("d%1/in").arg(i, 2, 10, QLatin1Char('0')));
    const std::string wanted = tree.file("d77/in");
    test::ScriptedHost host;
    frmFolder chooser(host, wanted);
    QTest::qWait(300); // folders read before the window shows must not leave it out of view
    chooser.show();
    QTreeView* view = chooser.Dir1;
    const auto shownAndSelected = [&] {
        const QModelIndex current = view->currentIndex();
        return view->selectionModel()->isSelected(current)
               && view->viewport()->rect().contains(view->visualRect(current))
               && static_cast<QFileSystemModel*>(view->model())->filePath(current).toStdString()
                      == wanted;
    };
    EXPECT_TRUE(QTest::qWaitFor(shownAndSelected, 5000));
    EXPECT_EQ(frmFolder(host, "").highlightedFolder(),
              QDir::toNativeSeparators(QDir::homePath()).toStdString());

    QDir(QString::fromStdString(wanted)).mkpath(QStringLiteral("New Folder"));
    chooser.cmdNewFolder->click(); // "New Folder" is taken: the next free name
    const std::string made = tree.file("d77/in/New Folder 2");
    EXPECT_TRUE(QDir(QString::fromStdString(made)).exists());
    EXPECT_EQ(chooser.highlightedFolder(), made);
    chooser.cmdOK->click();
    EXPECT_EQ(chooser.SelectedFolder(), made);
}

TEST(HelpWindow, ColoursFollowADarkPalette)
{
    QPalette dark;
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Link, QColor(0x80, 0xb0, 0xff));
    dark.setColor(QPalette::AlternateBase, QColor(0x30, 0x30, 0x30));
    const QPalette before = QApplication::palette();
    QApplication::setPalette(dark);
    HelpWindow help(PARCELO_SHIPPED_HELP);
    help.showContents();
    QApplication::setPalette(before);
    int checked = 0; // every coloured heading and note is light on the dark page
    for (QTextBlock block = help.browser()->document()->begin(); block.isValid();
         block = block.next()) {
        const QBrush brush = block.charFormat().foreground();
        if (block.text().isEmpty() || brush.style() == Qt::NoBrush)
            continue;
        EXPECT_GT(brush.color().lightness(), 128) << block.text().toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 0);
}
