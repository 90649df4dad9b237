// Saves a picture of each pane of the main window, of a finished split (the window and its
// outcome box) and join, of the Verify pane's states and Repair, of a running and a stopped
// split, and of the About box, help, the joiner's instructions and the folder chooser as PNG
// files into the folder given, for the README. Run it under Xvfb:
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
#include "ui/qt_host.h"
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
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace parcelo;
using screenshot::save;

namespace {

// Closes every message box at once, unanswered, after handing it to a hook that may take
// its picture.
class ClosingRunner : public ModalRunner {
public:
    void runModal(QDialog& dialog) override
    {
        dialog.show();
        if (onModal)
            onModal(dialog);
        dialog.close();
    }
    std::function<void(QDialog&)> onModal;
};

// The windows' own host, its boxes closed at once, running a hook whenever a job lets
// events through.
class WatchingHost : public QtHost {
public:
    void processEvents() override
    {
        QCoreApplication::processEvents();
        if (onEvents)
            onEvents();
    }
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

// Saves the next message box whose text holds `part`.
void pictureBox(ClosingRunner& runner, const QString& part, const QString& file, bool& saved)
{
    runner.onModal = [&runner, part, file, &saved](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        if (box == nullptr || !box->text().contains(part))
            return;
        saved = save(*box, file);
        runner.onModal = nullptr;
    };
}

// Verify whole set with the second piece gone, pictured with its states and verdict, then
// Repair, pictured with the piece rebuilt.
bool saveVerifyAndRepair(frmMain& window, const std::string& pieces, const QString& folder)
{
    if (!QFile::remove(QString::fromStdString(pieces + "holiday.avi.zip.002")))
        return false;
    VerifyPane& verify = *window.verifyPane;
    window.cmdMVerify_Click();
    verify.Text8->setText(QString::fromStdString(pieces + "holiday.avi.zip.001"));
    window.cmdVerify2_Click();
    bool saved =
        verify.cmdRepair->isEnabled() && save(window, folder + QStringLiteral("verify-states.png"));
    window.cmdRepair_Click();
    return save(window, folder + QStringLiteral("verify-repaired.png")) && saved
           && QFile::exists(QString::fromStdString(pieces + "holiday.avi.zip.002"));
}

// A compressed split of a 5,000,000-byte file into 1.38 MB pieces with two recovery pieces
// (the window and its outcome box), the check and repair of the set, then the join of the
// set from its second piece, each pictured when it has finished.
bool saveFinishedSplitAndJoin(frmMain& window, ClosingRunner& runner, const QString& folder)
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
    split.txtRecovery->setText(QStringLiteral("2"));
    bool boxSaved = false;
    pictureBox(runner, QStringLiteral("Written:"), folder + QStringLiteral("split-outcome.png"),
               boxSaved);
    window.cmdSpSplit_Click();
    bool saved = boxSaved && split.ListView1->topLevelItemCount() > 4
                 && save(window, folder + QStringLiteral("split-finished.png"));
    split.txtRecovery->setText(QStringLiteral("0"));
    saved = saveVerifyAndRepair(window, pieces, folder) && saved;

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
    for (QLineEdit* box : {window.splitPane->Text4, window.optionsPane->txtDefoutSplit})
        box->setText(split);
    for (QLineEdit* box : {window.joinPane->Text6, window.optionsPane->txtDefoutJoin})
        box->setText(join);
    window.splitPane->Text1->setText(QStringLiteral("/home/ann/Videos/holiday.avi"));
    window.splitPane->Text3->setText(QStringLiteral("1.38"));
    for (QLineEdit* box : {window.joinPane->Text5, window.verifyPane->Text8})
        box->setText(split + QStringLiteral("holiday.avi.zip.001"));
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
    ClosingRunner boxes;
    SystemDesktop desktop;
    host.setModalRunner(&boxes);
    host.setDesktop(&desktop);
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
    // encryption chosen, the password typed twice, the hint beside it
    SplitPane& split = *window->splitPane;
    split.chkEncrypt->setChecked(true);
    split.txtPassword->setText(QStringLiteral("sunshine2024"));
    split.txtPasswordAgain->setText(QStringLiteral("sunshine2024"));
    saved = save(*window, folder + QStringLiteral("split-encrypted.png")) && saved;
    split.chkEncrypt->setChecked(false);
    split.clearPasswords();
    window->cmdMJoin_Click();
    saved = save(*window, folder + QStringLiteral("pane-join.png")) && saved;
    window->cmdMVerify_Click();
    saved = save(*window, folder + QStringLiteral("pane-verify.png")) && saved;
    window->cmdMOptions_Click();
    saved = save(*window, folder + QStringLiteral("pane-options.png")) && saved;
    saved = saveFinishedSplitAndJoin(*window, boxes, folder) && saved;
    saved = saveRunningAndStoppedSplit(*window, host, folder) && saved;
    frmAbout about({kProductName, kParceloVersion, {}, window->loadedOptions().makerWebPage, false},
                   host, desktop, window.get());
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
