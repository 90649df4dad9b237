// The main window's work commands: Split, "Compress only", Join, the two checks and the
// panes' "Clear All" buttons. Each copies its pane's controls into the command, runs it,
// and puts the repaired paths and the focus back; the command does the rest.
#include "ui/frm_main.h"

#include "commands/engines.h"
#include "integrity/set_companions.h"
#include "platform/durability.h"
#include "platform/password.h"
#include "platform/paths.h"
#include "platform/stop_token.h"
#include "ui/job_notice.h"
#include "ui/join_pane.h"
#include "ui/main_menus.h"
#include "ui/options_pane.h"
#include "ui/pane_layout.h"
#include "ui/split_pane.h"
#include "ui/stoppable_job.h"
#include "ui/verify_pane.h"
#include "verify/set_repair.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>
#include <QTreeWidget>

#include <initializer_list>

namespace parcelo {

namespace {

void setText(QLineEdit* box, const std::string& text)
{
    box->setText(QString::fromStdString(text));
}

// A repaired path goes back into its box, unless the user changed the box while the
// command ran (with "Clear All", say).
void putBack(QLineEdit* box, const std::string& typed, const std::string& repaired)
{
    if (textOf(box) == typed)
        setText(box, repaired);
}

// A password box's text into a password; the copies on the way are wiped.
void readPassword(const QLineEdit* box, Password& password)
{
    QByteArray typed = box->text().toUtf8();
    password.assign(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())));
    wipeSecret(typed.data(), static_cast<std::size_t>(typed.size()));
}

// The control a command named for the focus, looked up among the pane's children.
void focusControl(QWidget& pane, const std::string& name)
{
    if (name.empty())
        return;
    if (auto* control = pane.findChild<QWidget*>(QString::fromStdString(name)))
        control->setFocus();
}

} // namespace

void frmMain::wireCommands()
{
    const std::pair<QPushButton*, void (frmMain::*)()> commands[] = {
        {splitPane->cmdSpSplit, &frmMain::cmdSpSplit_Click},
        {splitPane->cmdCompress, &frmMain::cmdCompress_Click},
        {splitPane->cmdSpCancel, &frmMain::cmdSpCancel_Click},
        {joinPane->cmdJoin, &frmMain::cmdJoin_Click},
        {joinPane->cmdJnCancel, &frmMain::cmdJnCancel_Click},
        {verifyPane->cmdVerify1, &frmMain::cmdVerify1_Click},
        {verifyPane->cmdVerify2, &frmMain::cmdVerify2_Click},
        {verifyPane->cmdRepair, &frmMain::cmdRepair_Click},
        {verifyPane->cmdVerify3, &frmMain::cmdVerify3_Click},
        {optionsPane->Command6, &frmMain::Command6_Click},
    };
    for (const auto& [button, handler] : commands)
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { stopWork(); });
}

// Everything that would start a second operation inside a running one. "Clear All", the
// pane switches and the other menus stay: they do not disturb the operation.
void frmMain::guardWork()
{
    const std::initializer_list<QWidget*> controls = {
        splitPane->cmdSpSplit,  splitPane->cmdCompress, splitPane->Command3,
        splitPane->Command2,    joinPane->cmdJoin,      joinPane->Command1,
        joinPane->Command4,     verifyPane->cmdVerify1, verifyPane->cmdVerify2,
        verifyPane->Command5,   optionsPane->Command6,  optionsPane->cmdOptBr1,
        optionsPane->cmdOptBr2, navigation->cmdMExit,
    };
    for (QWidget* control : controls)
        work_.guard(control);
    for (QAction* action : {menus->mnuFileSp, menus->mnuFileJn, menus->mnuFileVy, menus->mnuExit})
        work_.guard(action);
}

void frmMain::runWork(const std::function<void()>& operation, QLabel* status)
{
    if (working())
        return;
    setFlushToDisk(optionsPane->chkFlush->isChecked());
    verifyPane->cmdRepair->setEnabled(false);
    jobNotice_->jobStarted();
    const bool stopped =
        runStoppable({splitPane->cmdSpCancel, joinPane->cmdJnCancel, verifyPane->cmdVerify3},
                     [&] { work_.run(operation); });
    jobNotice_->jobEnded();
    verifyPane->cmdRepair->setEnabled(repairable_);
    if (stopped && status)
        status->setText(QStringLiteral("Cancelled."));
    if (closeAfterWork_) {
        closeAfterWork_ = false;
        close();
    }
}

bool frmMain::stopWork()
{
    if (!working())
        return false;
    jobStop().request();
    return true;
}

CompressionLevelOption frmMain::levelOption() const
{
    if (optionsPane->optCLevel2->isChecked())
        return CompressionLevelOption::MediumCompression;
    if (optionsPane->optCLevel3->isChecked())
        return CompressionLevelOption::HighestSpeed;
    if (optionsPane->optCLevel1->isChecked())
        return CompressionLevelOption::HighestCompression;
    return CompressionLevelOption::None;
}

SplitPaneValues frmMain::splitValues() const
{
    const SplitPane& pane = *splitPane;
    SplitPaneValues values;
    values.Text1 = textOf(pane.Text1);
    values.Text2 = textOf(pane.Text2);
    values.Text3 = textOf(pane.Text3);
    values.Text4 = textOf(pane.Text4);
    values.Option1 = pane.Option1->isChecked();
    values.Option3 = pane.Option3->isChecked();
    values.Combo1 = pane.Combo1->currentIndex();
    values.Combo2 = pane.Combo2->currentIndex();
    values.Check1 = pane.Check1->isChecked();
    values.chkDelOrgSplit = optionsPane->chkDelOrgSplit->isChecked();
    values.txtRecovery = pane.txtRecovery->text().trimmed().toStdString();
    values.chkEncrypt = pane.chkEncrypt->isChecked();
    if (values.chkEncrypt) {
        readPassword(pane.txtPassword, values.txtPassword);
        readPassword(pane.txtPasswordAgain, values.txtPasswordAgain);
    }
    return values;
}

void frmMain::showSplitValues(const SplitPaneValues& values)
{
    SplitPane& pane = *splitPane;
    setText(pane.Text1, values.Text1);
    setText(pane.Text2, values.Text2);
    setText(pane.Text3, values.Text3);
    setText(pane.Text4, values.Text4);
    QRadioButton* mode = values.Option1   ? pane.Option1
                         : values.Option3 ? pane.Option3
                                          : pane.Option2;
    mode->setChecked(true);
    pane.Combo1->setCurrentIndex(values.Combo1);
    pane.Combo2->setCurrentIndex(values.Combo2);
    pane.Check1->setChecked(values.Check1);
    pane.chkEncrypt->setChecked(values.chkEncrypt);
    if (values.txtPassword.empty())
        pane.clearPasswords();
}

void frmMain::runSplitCommand(bool compressOnly)
{
    SplitPane& pane = *splitPane;
    if (compressOnly) {
        // one piece: the compressed file as it is, or the source when Check1 is off
        pane.Option2->setChecked(true);
        pane.Text2->setText(QStringLiteral("1"));
        pane.Text1->setFocus();
    }
    splitEngine().SetCompanions(
        {optionsPane->chkChecksums->isChecked(), optionsPane->chkJoinScript->isChecked()});
    SplitPaneValues values = splitValues();
    const SplitPaneValues typed = values;
    compressor().SetLevelOption(levelOption());
    SplitServices services = engines_->splitServices(*recentFiles_, explore_);
    const CommandOutcome outcome = compressOnly ? parcelo::cmdCompress_Click(values, services)
                                                : parcelo::cmdSpSplit_Click(values, services);
    putBack(pane.Text1, typed.Text1, values.Text1);
    putBack(pane.Text4, typed.Text4, values.Text4);
    // the password stays only as long as the split needs it; a refusal lets it be corrected
    if (values.chkEncrypt && (outcome.succeeded || outcome.focus.empty()))
        pane.clearPasswords();
    refreshExploreMenu();
    focusControl(pane, outcome.focus);
    // the set just written is the one to join or verify next (not one on diskettes, which
    // would ask for a disk)
    if (outcome.succeeded && !isDiskettePath(outcome.producedFile)) {
        setText(joinPane->Text5, outcome.producedFile);
        setText(verifyPane->Text8, outcome.producedFile);
    }
}

void frmMain::cmdSpSplit_Click()
{
    runWork([this] { runSplitCommand(false); }, splitPane->Label5);
}

void frmMain::cmdCompress_Click()
{
    runWork([this] { runSplitCommand(true); }, splitPane->Label5);
}

void frmMain::cmdSpCancel_Click()
{
    if (stopWork())
        return;
    SplitPaneValues values = splitValues();
    parcelo::cmdSpCancel_Click(values, splitPane->bindings());
    showSplitValues(values);
}

void frmMain::cmdJoin_Click()
{
    runWork(
        [this] {
            JoinPane& pane = *joinPane;
            JoinPaneValues values{textOf(pane.Text5), textOf(pane.Text6), pane.Check2->isChecked(),
                                  optionsPane->chkDelOrgJoin->isChecked()};
            const JoinPaneValues typed = values;
            JoinServices services = engines_->joinServices(*recentFiles_, explore_);
            const CommandOutcome outcome = parcelo::cmdJoin_Click(values, services);
            putBack(pane.Text5, typed.Text5, values.Text5);
            putBack(pane.Text6, typed.Text6, values.Text6);
            refreshExploreMenu();
            focusControl(pane, outcome.focus);
        },
        joinPane->Label8);
}

void frmMain::cmdJnCancel_Click()
{
    if (stopWork())
        return;
    JoinPaneValues values{textOf(joinPane->Text5), textOf(joinPane->Text6),
                          joinPane->Check2->isChecked(), optionsPane->chkDelOrgJoin->isChecked()};
    parcelo::cmdJnCancel_Click(values, joinPane->bindings());
    setText(joinPane->Text5, values.Text5);
    setText(joinPane->Text6, values.Text6);
}

void frmMain::offerRepair(bool repairable)
{
    repairable_ = repairable;
    verifyPane->cmdRepair->setEnabled(repairable && !working());
}

// After a whole-set check the list keeps each file's state and the verdict line says what
// the set is; a check of one file says nothing of the set.
void frmMain::runVerifyCommand(bool wholeSet)
{
    QLineEdit* box = verifyPane->Text8;
    VerifyPaneValues values{textOf(box)};
    const VerifyPaneValues typed = values;
    VerifyServices services = engines_->verifyServices(*recentFiles_);
    ChecksumReport report;
    RepairOutlook outlook;
    services.checksums = &report;
    services.outlook = &outlook;
    offerRepair(false);
    verifyPane->lblVerdict->clear();
    const CommandOutcome outcome = wholeSet ? parcelo::cmdVerify2_Click(values, services)
                                            : parcelo::cmdVerify1_Click(values, services);
    putBack(box, typed.Text8, values.Text8);
    if (wholeSet && !report.pieces.empty()) {
        verifyPane->showStates(report, splitEngine().UnitRef());
        if (!outlook.verdict.empty())
            verifyPane->lblVerdict->setText(QString::fromStdString(verdictLine(outlook)));
        offerRepair(outlook.state == SetOutlook::Repairable);
    }
    focusControl(*verifyPane, outcome.focus);
}

void frmMain::runRepairCommand()
{
    VerifyPaneValues values{textOf(verifyPane->Text8)};
    const VerifyPaneValues typed = values;
    VerifyServices services = engines_->verifyServices(*recentFiles_);
    std::vector<std::string> rebuilt;
    const CommandOutcome outcome = parcelo::cmdRepair_Click(values, services, rebuilt);
    putBack(verifyPane->Text8, typed.Text8, values.Text8);
    verifyPane->showRebuilt(rebuilt, splitEngine().UnitRef());
    if (outcome.succeeded)
        offerRepair(false);
    focusControl(*verifyPane, outcome.focus);
}

void frmMain::cmdVerify1_Click()
{
    runWork([this] { runVerifyCommand(false); }, verifyPane->lblVerdict);
}

void frmMain::cmdVerify2_Click()
{
    runWork([this] { runVerifyCommand(true); }, verifyPane->lblVerdict);
}

void frmMain::cmdRepair_Click()
{
    runWork([this] { runRepairCommand(); }, verifyPane->lblVerdict);
}

void frmMain::cmdVerify3_Click()
{
    if (stopWork())
        return;
    VerifyPaneValues values{textOf(verifyPane->Text8)};
    parcelo::cmdVerify3_Click(values, verifyPane->bindings());
    setText(verifyPane->Text8, values.Text8);
    offerRepair(false);
}

} // namespace parcelo
