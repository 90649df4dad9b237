// Saves a picture of each pane of the main window, of a finished split and join, and of the About
// box and help as PNG files into the folder given, for the README. Run it under Xvfb:
//   xvfb-run -s "-screen 0 1280x800x24" build/bin/ui_screenshots docs
#include "ui/frm_about.h"
#include "ui/frm_main.h"
#include "ui/help_window.h"
#include "ui/join_pane.h"
#include "ui/options_pane.h"
#include "ui/split_pane.h"
#include "ui/verify_pane.h"

#include "shell_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTreeWidget>

#include <cstdio>
#include <filesystem>

using namespace parcelo;

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
}

bool save(QWidget& widget, const QString& file)
{
    settle();
    return widget.grab().save(file, "PNG");
}

// A compressed split of a 5,000,000-byte file into 1.38 MB pieces, then the join of the set
// from its second piece, each pictured when it has finished.
bool saveFinishedSplitAndJoin(frmMain& window, const QString& folder)
{
    test::TempFolder work;
    const std::string source = work.file("holiday.avi");
    test::writeFile(source, test::patternBytes(5000000));
    for (const char* name : {"PcxBr", "PcxJn"})
        std::filesystem::create_directory(work.path() / name);
    const std::string pieces = work.folder() + "PcxBr/";
    window.cmdMSplit_Click();
    SplitPane& split = *window.splitPane;
    split.Text1->setText(QString::fromStdString(source));
    split.Text4->setText(QString::fromStdString(pieces));
    split.Option3->setChecked(true);
    split.Combo2->setCurrentIndex(0);
    split.Check1->setChecked(true);
    window.cmdSpSplit_Click();
    bool saved =
        split.ListView1->topLevelItemCount() > 0 && save(window, folder + "split-finished.png");

    window.cmdMJoin_Click();
    window.joinPane->Text5->setText(QString::fromStdString(pieces + "holiday.avi.zip.002"));
    window.joinPane->Text6->setText(QString::fromStdString(work.folder() + "PcxJn/"));
    window.cmdJoin_Click();
    saved = window.joinPane->ListView2->topLevelItemCount() > 0
            && save(window, folder + "join-finished.png") && saved;
    return saved;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_screenshots FOLDER\n");
        return 2;
    }
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    test::Shell shell;
    shell.installConfig();
    shell.host.acceptNotices();
    auto window = shell.start();
    if (!window)
        return 1;
    window->resize(860, 620);
    // the boxes as a user would see them, not the temporary application folder
    const QString split = QStringLiteral("/home/ann/Parcelo/PcxBr/");
    const QString join = QStringLiteral("/home/ann/Parcelo/PcxJn/");
    for (QLineEdit* box :
         {window->splitPane->Text4, window->verifyPane->Text8, window->optionsPane->txtDefoutSplit})
        box->setText(split);
    for (QLineEdit* box : {window->joinPane->Text6, window->optionsPane->txtDefoutJoin})
        box->setText(join);
    window->splitPane->Text1->setText("/home/ann/Videos/holiday.avi");
    window->splitPane->Text3->setText("1.38");
    window->joinPane->Text5->setText(split + "holiday.avi.zip.001");

    bool saved = save(*window, folder + "pane-split.png");
    window->cmdMJoin_Click();
    saved = save(*window, folder + "pane-join.png") && saved;
    window->cmdMVerify_Click();
    saved = save(*window, folder + "pane-verify.png") && saved;
    window->cmdMOptions_Click();
    saved = save(*window, folder + "pane-options.png") && saved;
    saved = saveFinishedSplitAndJoin(*window, folder) && saved;
    frmAbout about({kProductName, kParceloVersion, {}, window->loadedOptions().makerWebPage},
                   shell.host, shell.desktop, window.get());
    about.show();
    saved = save(about, folder + "about.png") && saved;
    std::filesystem::copy_file(PARCELO_SHIPPED_HELP, shell.app.file(kHelpFileName));
    window->mnuPcxAssembler_Click();
    saved = save(*window->helpWindow(), folder + "help.png") && saved;
    return saved ? 0 : 1;
}
