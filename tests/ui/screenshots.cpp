// Saves a picture of each pane of the main window (and the About box and help) as PNG files into
// the folder given, for the README. Run it under Xvfb:
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
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
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
    frmAbout about({kProductName, kParceloVersion, {}, window->loadedOptions().makerWebPage},
                   shell.host, shell.desktop, window.get());
    about.show();
    saved = save(about, folder + "about.png") && saved;
    std::filesystem::copy_file(PARCELO_SHIPPED_HELP, shell.app.file(kHelpFileName));
    window->mnuPcxAssembler_Click();
    saved = save(*window->helpWindow(), folder + "help.png") && saved;
    return saved ? 0 : 1;
}
