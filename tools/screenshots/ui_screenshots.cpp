// Saves a picture of each pane of the main window, of a finished split and join, of a
// running and a stopped split, and of the About box, help, the joiner's instructions and
// the folder chooser as PNG files into the folder given, for the README. Run it under Xvfb:
//   xvfb-run -s "-screen 0 1280x800x24" build/bin/ui_screenshots docs
// With --scaled it saves only the window as small as a 1366x768 screen at 150 % leaves it:
//   QT_SCALE_FACTOR=1.5 xvfb-run -s "-screen 0 1366x768x24" build/bin/ui_screenshots docs --scaled
#include "app/app_paths.h"
#include "app/registry.h"
#include "platform/host.h"
#include "ui/desktop.h"
#include "ui/frm_about.h"
#include "ui/frm_folder.h"
#include "ui/frm_main.h"
#include "ui/frm_pcx_a_instructions.h"
#include "ui/help_window.h"
#include "ui/join_pane.h"
#include "ui/main_dialogs.h"
#include "ui/options_pane.h"
#include "ui/split_pane.h"
#include "ui/start_up.h"
#include "ui/verify_pane.h"

#include "screenshot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace parcelo;
using screenshot::save;

namespace {

// A host that answers nothing and runs a hook whenever a job lets events through.
class WatchingHost : public SilentHost {
public:
    void processEvents() override
    {
        QCoreApplication::processEvents();
        if (onEvents)
            onEvents();
    }
    bool processesEvents() const override { return true; }
    std::function<void()> onEvents;
};

// A compressed split of a 150,000,000-byte file, pictured once its caption tells the time
// left, then stopped and pictured again.
bool saveRunningAndStoppedSplit(frmMain& window, WatchingHost& host, const QString& folder)
{
    QTemporaryDir work;
    const std::string source = work.path().toStdString() + "/holiday.avi";
    if (!screenshot::writeNoise(source, 150000000))
        return false;
    SplitPane& split = *window.splitPane;
    window.cmdMSplit_Click();
    split.Text1->setText(QString::fromStdString(source));
    split.Text4->setText(work.path() + QStringLiteral("/"));
    split.Check1->setChecked(true);
    bool running = false;
    host.onEvents = [&] {
        if (running || !split.Label5->text().contains(QStringLiteral(" left")))
            return;
        running = save(window, folder + QStringLiteral("split-running.png"));
        split.cmdSpCancel->click();
    };
    window.cmdSpSplit_Click();
    host.onEvents = nullptr;
    return running && split.Label5->text() == QStringLiteral("Cancelled.")
           && save(window, folder + QStringLiteral("split-cancelled.png"));
}

// A compressed split of a 5,000,000-byte file into 1.38 MB pieces, then the join of the set
// from its second piece, each pictured when it has finished.
bool saveFinishedSplitAndJoin(frmMain& window, const QString& folder)
{
    QTemporaryDir work;
    const std::string root = work.path().toStdString() + "/";
    const std::string source = root + "holiday.avi";
    const std::string pieces = root + "PcxBr/";
    if (!screenshot::writeNoise(source, 5000000)
        || !QDir(work.path()).mkpath(QStringLiteral("PcxBr"))
        || !QDir(work.path()).mkpath(QStringLiteral("PcxJn")))
        return false;
    window.cmdMSplit_Click();
    SplitPane& split = *window.splitPane;
    split.Text1->setText(QString::fromStdString(source));
    split.Text4->setText(QString::fromStdString(pieces));
    split.Option3->setChecked(true);
    split.Combo2->setCurrentIndex(0);
    split.Check1->setChecked(true);
    window.cmdSpSplit_Click();
    bool saved = split.ListView1->topLevelItemCount() > 0
                 && save(window, folder + QStringLiteral("split-finished.png"));

    window.cmdMJoin_Click();
    window.joinPane->Text5->setText(QString::fromStdString(pieces + "holiday.avi.zip.002"));
    window.joinPane->Text6->setText(QString::fromStdString(root + "PcxJn/"));
    window.cmdJoin_Click();
    saved = window.joinPane->ListView2->topLevelItemCount() > 0
            && save(window, folder + QStringLiteral("join-finished.png")) && saved;
    return saved;
}

// Fills the boxes as a user would see them, not with the throwaway application folder.
void fillLikeAUser(frmMain& window)
{
    const QString split = QStringLiteral("/home/ann/Parcelo/PcxBr/");
    const QString join = QStringLiteral("/home/ann/Parcelo/PcxJn/");
    for (QLineEdit* box :
         {window.splitPane->Text4, window.verifyPane->Text8, window.optionsPane->txtDefoutSplit})
        box->setText(split);
    for (QLineEdit* box : {window.joinPane->Text6, window.optionsPane->txtDefoutJoin})
        box->setText(join);
    window.splitPane->Text1->setText(QStringLiteral("/home/ann/Videos/holiday.avi"));
    window.splitPane->Text3->setText(QStringLiteral("1.38"));
    window.joinPane->Text5->setText(split + QStringLiteral("holiday.avi.zip.001"));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool scaled = argc == 3 && QString::fromLocal8Bit(argv[2]) == QStringLiteral("--scaled");
    const QString folder = screenshot::outputFolder(scaled ? 2 : argc, argv, "ui_screenshots");
    if (folder.isEmpty())
        return 2;
    // The program runs from a throwaway folder holding the shipped config.xml and help.
    QTemporaryDir appDir;
    const std::string appFolder = appDir.path().toStdString();
    const AppPaths paths = appPathsFor(appFolder);
    if (!QFile::copy(QString::fromUtf8(PARCELO_SHIPPED_CONFIG),
                     QString::fromStdString(paths.configFilePath)))
        return 1;
    WatchingHost host;
    SystemDesktop desktop;
    QtMainDialogs dialogs(host);
    auto window = Main(appFolder,
                       {host, desktop, dialogs, RegistryRoot::inFile(appFolder + "/registry.ini")});
    if (!window)
        return 1;
    window->setSaveOptionsPause({});
    fillLikeAUser(*window);
    if (scaled) {
        // 1366x768 at 150 %, less a title bar and a panel
        window->resize(
            window->minimumSizeHint().expandedTo(QSize(910, 440)).boundedTo(QSize(910, 448)));
        return save(*window, folder + QStringLiteral("window-150-percent.png")) ? 0 : 1;
    }
    window->resize(860, 620);

    bool saved = save(*window, folder + QStringLiteral("pane-split.png"));
    window->cmdMJoin_Click();
    saved = save(*window, folder + QStringLiteral("pane-join.png")) && saved;
    window->cmdMVerify_Click();
    saved = save(*window, folder + QStringLiteral("pane-verify.png")) && saved;
    window->cmdMOptions_Click();
    saved = save(*window, folder + QStringLiteral("pane-options.png")) && saved;
    saved = saveFinishedSplitAndJoin(*window, folder) && saved;
    saved = saveRunningAndStoppedSplit(*window, host, folder) && saved;
    frmAbout about({kProductName, kParceloVersion, {}, window->loadedOptions().makerWebPage}, host,
                   desktop, window.get());
    about.show();
    saved = save(about, folder + QStringLiteral("about.png")) && saved;
    QFile::copy(QString::fromUtf8(PARCELO_SHIPPED_HELP),
                QString::fromStdString(appFolder + "/" + kHelpFileName));
    window->mnuPcxAssembler_Click();
    saved = save(*window->helpWindow(), folder + QStringLiteral("help.png")) && saved;
    frmPcxAInstructions instructions(appFolder, window->loadedOptions().makerWebPage, host, desktop,
                                     window.get());
    instructions.show();
    saved = save(instructions, folder + QStringLiteral("instructions.png")) && saved;
    // a folder deep among many, read in the background before the picture
    frmFolder chooser(host, "/usr/share/man", window.get());
    chooser.show();
    QElapsedTimer reading;
    reading.start();
    while (reading.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    saved = save(chooser, folder + QStringLiteral("folder-chooser.png")) && saved;
    return saved ? 0 : 1;
}
