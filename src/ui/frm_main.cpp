#include "ui/frm_main.h"

#include "commands/engines.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/stop_token.h"
#include "ui/app_icons.h"
#include "ui/help_window.h"
#include "ui/job_notice.h"
#include "ui/join_pane.h"
#include "ui/main_dialogs.h"
#include "ui/main_menus.h"
#include "ui/options_pane.h"
#include "ui/split_pane.h"
#include "ui/stoppable_job.h"
#include "ui/verify_pane.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QThread>
#include <QTime>
#include <QToolButton>

namespace parcelo {

namespace {

// Waits until the clock's second changes: at most a second, so that the user sees the
// save start.
void waitForNextSecond()
{
    const int start = QTime::currentTime().msecsSinceStartOfDay() / 1000;
    while (QTime::currentTime().msecsSinceStartOfDay() / 1000 == start) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(10);
    }
}

} // namespace

frmMain::frmMain(AppPaths paths, const ShellServices& services, QWidget* parent)
    : QMainWindow(parent), paths_(std::move(paths)),
      helpFile_(paths_.appFolder + kSeparator + kHelpFileName), host_(services.host),
      desktop_(services.desktop), dialogs_(services.dialogs),
      log_(logWriterFor(paths_.logFilePath)), saveOptionsPause_(waitForNextSecond)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kProductName));
    setWindowIcon(programIcon());

    navigation = new NavigationColumn(this);
    panes = named(new QStackedWidget(this), "Panes");
    splitPane = new SplitPane(panes);
    joinPane = new JoinPane(panes);
    verifyPane = new VerifyPane(panes);
    optionsPane = new OptionsPane(panes);
    for (Pane pane : kPanes)
        panes->addWidget(paneWidget(pane));
    auto* body = new QWidget(this);
    auto* layout = new QHBoxLayout(body);
    layout->setContentsMargins(0, 0, 8, 4);
    layout->setSpacing(12);
    layout->addWidget(navigation);
    layout->addWidget(panes, 1);
    setCentralWidget(body);
    menus = std::make_unique<MainMenus>(*menuBar());
    resize(820, 600);
    setMinimumSize(720, 400);

    // the window's initial state
    panes->setCurrentWidget(splitPane);
    navigation->highlight(Pane::Split);
    splitPane->Combo1->setCurrentIndex(2);
    splitPane->Combo2->setCurrentIndex(0);
    for (QLineEdit* box : {splitPane->Text1, splitPane->Text2, splitPane->Text3, splitPane->Text4,
                           joinPane->Text5, joinPane->Text6, verifyPane->Text8})
        box->clear();
    recentFiles_ = std::make_unique<RecentFiles>(services.registry, log_, this);
    for (const char* kind : {"Split", "Joined", "Verified"})
        recentFiles_->LoadRecentFiles(kind);

    // the engines report through the panes' controls, and tell of a long job's end
    jobNotice_ =
        std::make_unique<JobNoticeHost>(host_, desktop_, [this] { return isActiveWindow(); });
    engines_ = std::make_unique<Engines>(
        *jobNotice_,
        WorkPaneBindings{splitPane->bindings(), joinPane->bindings(), verifyPane->bindings()},
        paths_.tempFolder);

    wireNavigation();
    wireBrowses();
    wireMenus();
    wireRecentAndExplore();
    wireCommands();
    wireKeyboard();
    wireDrops();
    guardWork();
}

frmMain::~frmMain() = default;

modSplitFile& frmMain::splitEngine()
{
    return engines_->splitEngine();
}

modJoinFile& frmMain::joinEngine()
{
    return engines_->joinEngine();
}

ZlibTool& frmMain::zlibTool()
{
    return engines_->zlibTool();
}

CompressionAdapter& frmMain::compressor()
{
    return engines_->compressor();
}

QWidget* frmMain::paneWidget(Pane pane) const
{
    switch (pane) {
    case Pane::Split:
        return splitPane;
    case Pane::Join:
        return joinPane;
    case Pane::Verify:
        return verifyPane;
    case Pane::Options:
        break;
    }
    return optionsPane;
}

QWidget* frmMain::focusOnShow(Pane pane) const
{
    switch (pane) {
    case Pane::Split:
        return splitPane->Text1;
    case Pane::Join:
        return joinPane->Text5;
    case Pane::Verify:
        return verifyPane->Text8;
    case Pane::Options:
        break;
    }
    return optionsPane->txtDefoutSplit;
}

void frmMain::wireNavigation()
{
    connect(navigation->cmdMSplit, &QToolButton::clicked, this, [this] { cmdMSplit_Click(); });
    connect(navigation->cmdMJoin, &QToolButton::clicked, this, [this] { cmdMJoin_Click(); });
    connect(navigation->cmdMVerify, &QToolButton::clicked, this, [this] { cmdMVerify_Click(); });
    connect(navigation->cmdMOptions, &QToolButton::clicked, this, [this] { cmdMOptions_Click(); });
    connect(navigation->cmdMHelp, &QToolButton::clicked, this, [this] { mnuHelpContents_Click(); });
    connect(navigation->cmdMExit, &QToolButton::clicked, this, [this] { cmdMExit_Click(); });
}

void frmMain::showPane(Pane pane)
{
    panes->setCurrentWidget(paneWidget(pane));
    focusOnShow(pane)->setFocus();
    navigation->highlight(pane);
    if (pane == Pane::Options) {
        optionsPane->Label25->setText(
            QStringLiteral("(Options will be saved automatically when you exit the application.)"));
        optionsPane->ProgressBar4->setVisible(false);
    }
}

Pane frmMain::visiblePane() const
{
    for (Pane pane : kPanes) {
        if (panes->currentWidget() == paneWidget(pane))
            return pane;
    }
    return Pane::Split;
}

void frmMain::applyOptions(const ParceloOptions& options, const ExploreMenu& explore)
{
    options_ = options;
    optionsPane->showOptions(options);
    splitPane->Check1->setChecked(options.autoCompress);
    splitPane->chkEncrypt->setChecked(options.encryptSplits);
    splitPane->txtRecovery->setText(QString::fromStdString(options.recoveryPieces));
    splitPane->chkPlainPieces->setChecked(options.plainPieces);
    // the piece boxes stay empty: a folder there is no piece to join or verify
    splitPane->Text4->setText(QString::fromStdString(options.splitFolder));
    joinPane->Text6->setText(QString::fromStdString(options.joinFolder));
    lastBrowseFolder_ = options.lastBrowseFolder;
    explore_ = explore;
    refreshExploreMenu();
}

ParceloOptions frmMain::optionsFromControls() const
{
    ParceloOptions options = options_;
    optionsPane->readOptions(options);
    options.lastSplitSource = splitPane->Text1->text().toStdString();
    options.lastJoinPiece = joinPane->Text5->text().toStdString();
    options.recoveryPieces = splitPane->txtRecovery->text().trimmed().toStdString();
    options.plainPieces = splitPane->chkPlainPieces->isChecked();
    options.encryptSplits = splitPane->chkEncrypt->isChecked();
    return options;
}

ConfigStatus frmMain::Before_Close()
{
    ParceloOptions options = optionsFromControls();
    const ConfigStatus status = SaveConfiguration(paths_, options, explore_, host_, log_);
    // the save tidies the folder boxes
    optionsPane->txtDefoutSplit->setText(QString::fromStdString(options.splitFolder));
    optionsPane->txtDefoutJoin->setText(QString::fromStdString(options.joinFolder));
    refreshExploreMenu();
    return status;
}

void frmMain::Command6_Click()
{
    runWork([this] { saveOptions(); }, optionsPane->Label25);
}

void frmMain::saveOptions()
{
    QLabel* status = optionsPane->Label25;
    QProgressBar* bar = optionsPane->ProgressBar4;
    status->setText(QStringLiteral("Saving options...."));
    host_.processEvents();
    host_.setBusy(true);
    bar->setMaximum(4);
    bar->setVisible(true);
    bar->setValue(1);
    if (saveOptionsPause_)
        saveOptionsPause_();
    if (jobStop().requested()) {
        bar->setValue(0); // stopped before writing: the settings file stays as it was
    } else if (const ConfigStatus saved = Before_Close(); saved.ok()) {
        status->setText(QStringLiteral("Completed saving options successfully."));
        bar->setValue(4);
    } else {
        status->setText(QStringLiteral("Error in saving configuration: ")
                        + QString::fromStdString(saved.description));
        bar->setValue(0);
    }
    host_.setBusy(false);
    bar->setVisible(false);
}

void frmMain::cmdMExit_Click()
{
    if (working())
        return;
    if (host_.message(Question::Exit, "Are you sure you want to exit the application?",
                      Buttons::YesNo, Icon::Question)
        != Answer::Yes)
        return;
    ended_ = true;
    Before_Close();
    close();
    notifyEnded();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (working()) {
        // the operation stops first (its temporary files are then removed)
        if (askStopAndExit(host_)) {
            closeAfterWork_ = true;
            stopWork();
        }
        event->ignore();
        return;
    }
    if (!ended_) {
        ended_ = true;
        Before_Close();
    }
    event->accept();
    notifyEnded();
}

void frmMain::notifyEnded()
{
    if (endNotified_)
        return;
    endNotified_ = true;
    if (helpWindow_)
        helpWindow_->close();
    if (onEnded_)
        onEnded_();
}

} // namespace parcelo
