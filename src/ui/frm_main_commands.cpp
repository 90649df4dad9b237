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

void focusControl(QWidget* control)
{
    if (control)
        control->setFocus();
}

// Each pane's box for a request field a command named for the focus.
QWidget* splitControl(const SplitPane& pane, RequestField field)
{
    switch (field) {
    case RequestField::SourcePath:
        return pane.Text1;
    case RequestField::PieceCount:
        return pane.Text2;
    case RequestField::PieceSize:
        return pane.Text3;
    case RequestField::DestinationFolder:
        return pane.Text4;
    case RequestField::CompressFirst:
        return pane.Check1;
    case RequestField::RecoveryCount:
        return pane.txtRecovery;
    case RequestField::PlainPieces:
        return pane.chkPlainPieces;
    case RequestField::Encrypt:
        return pane.chkEncrypt;
    case RequestField::Password:
        return pane.txtPassword;
    case RequestField::PasswordAgain:
        return pane.txtPasswordAgain;
    default:
        return nullptr;
    }
}

QWidget* joinControl(const JoinPane& pane, RequestField field)
{
    if (field == RequestField::PiecePath)
        return pane.Text5;
    return field == RequestField::DestinationFolder ? pane.Text6 : nullptr;
}

QWidget* verifyControl(const VerifyPane& pane, RequestField field)
{
    return field == RequestField::PiecePath ? pane.Text8 : nullptr;
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
        splitPane->cmdSpFolder, splitPane->Command2,    joinPane->cmdJoin,
        joinPane->Command1,     joinPane->Command4,     verifyPane->cmdVerify1,
        verifyPane->cmdVerify2, verifyPane->Command5,   optionsPane->Command6,
        optionsPane->cmdOptBr1, optionsPane->cmdOptBr2, navigation->cmdMExit,
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

// The Split pane's one mapping between its widgets and the request.
SplitRequest frmMain::splitValues() const
{
    const SplitPane& pane = *splitPane;
    SplitRequest request;
    request.sourcePath = textOf(pane.Text1);
    request.pieceCount = textOf(pane.Text2);
    request.pieceSize = textOf(pane.Text3);
    request.destinationFolder = textOf(pane.Text4);
    request.mode = pane.Option1->isChecked()   ? SplitMode::BySize
                   : pane.Option3->isChecked() ? SplitMode::ByPreset
                                               : SplitMode::ByPieces;
    request.sizeUnit = unitAt(pane.Combo1->currentIndex(), SizeUnit::Megabytes);
    request.presetIndex = pane.Combo2->currentIndex();
    request.compressFirst = pane.Check1->isChecked();
    request.deleteSourceAfter = optionsPane->chkDelOrgSplit->isChecked();
    request.recoveryCount = pane.txtRecovery->text().trimmed().toStdString();
    request.plainPieces = pane.chkPlainPieces->isChecked();
    request.encrypt = pane.chkEncrypt->isChecked();
    if (request.encrypt) {
        readPassword(pane.txtPassword, request.password);
        readPassword(pane.txtPasswordAgain, request.passwordAgain);
    }
    return request;
}

void frmMain::showSplitValues(const SplitRequest& request)
{
    SplitPane& pane = *splitPane;
    setText(pane.Text1, request.sourcePath);
    setText(pane.Text2, request.pieceCount);
    setText(pane.Text3, request.pieceSize);
    setText(pane.Text4, request.destinationFolder);
    QRadioButton* mode = request.mode == SplitMode::BySize     ? pane.Option1
                         : request.mode == SplitMode::ByPreset ? pane.Option3
                                                               : pane.Option2;
    mode->setChecked(true);
    pane.Combo1->setCurrentIndex(unitIndex(request.sizeUnit));
    pane.Combo2->setCurrentIndex(request.presetIndex);
    pane.Check1->setChecked(request.compressFirst);
    pane.chkEncrypt->setChecked(request.encrypt);
    if (request.password.empty())
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
    SplitRequest values = splitValues();
    const SplitRequest typed = values;
    compressor().SetLevelOption(levelOption());
    SplitServices services = engines_->splitServices(*recentFiles_, explore_);
    const CommandOutcome outcome =
        compressOnly ? compressOnlyCommand(values, services) : splitCommand(values, services);
    putBack(pane.Text1, typed.sourcePath, values.sourcePath);
    putBack(pane.Text4, typed.destinationFolder, values.destinationFolder);
    // the password stays only as long as the split needs it; a refusal lets it be corrected
    if (values.encrypt && (outcome.succeeded || outcome.focus == RequestField::None))
        pane.clearPasswords();
    refreshExploreMenu();
    focusControl(splitControl(pane, outcome.focus));
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
    SplitRequest values = splitValues();
    clearSplitCommand(values, splitPane->bindings());
    showSplitValues(values);
}

// The Join pane's one mapping from its widgets to the request.
JoinRequest frmMain::joinValues() const
{
    return {textOf(joinPane->Text5), textOf(joinPane->Text6), joinPane->Check2->isChecked(),
            optionsPane->chkDelOrgJoin->isChecked()};
}

void frmMain::cmdJoin_Click()
{
    runWork(
        [this] {
            JoinPane& pane = *joinPane;
            JoinRequest values = joinValues();
            const JoinRequest typed = values;
            JoinServices services = engines_->joinServices(*recentFiles_, explore_);
            const CommandOutcome outcome = joinCommand(values, services);
            putBack(pane.Text5, typed.piecePath, values.piecePath);
            putBack(pane.Text6, typed.destinationFolder, values.destinationFolder);
            refreshExploreMenu();
            focusControl(joinControl(pane, outcome.focus));
        },
        joinPane->Label8);
}

void frmMain::cmdJnCancel_Click()
{
    if (stopWork())
        return;
    JoinRequest values = joinValues();
    clearJoinCommand(values, joinPane->bindings());
    setText(joinPane->Text5, values.piecePath);
    setText(joinPane->Text6, values.destinationFolder);
}

void frmMain::offerRepair(bool repairable)
{
    repairable_ = repairable;
    verifyPane->cmdRepair->setEnabled(repairable && !working());
}

// The Verify pane's one mapping from its widgets to the request.
VerifyRequest frmMain::verifyValues() const
{
    return {textOf(verifyPane->Text8)};
}

// After a whole-set check the list keeps each file's state and the verdict line says what
// the set is; a check of one file says nothing of the set.
void frmMain::runVerifyCommand(bool wholeSet)
{
    QLineEdit* box = verifyPane->Text8;
    VerifyRequest values = verifyValues();
    const VerifyRequest typed = values;
    VerifyServices services = engines_->verifyServices(*recentFiles_);
    ChecksumReport report;
    RepairOutlook outlook;
    services.checksums = &report;
    services.outlook = &outlook;
    offerRepair(false);
    verifyPane->lblVerdict->clear();
    const CommandOutcome outcome =
        wholeSet ? verifySetCommand(values, services) : verifyFileCommand(values, services);
    putBack(box, typed.piecePath, values.piecePath);
    if (wholeSet && !report.pieces.empty()) {
        verifyPane->showStates(report, splitEngine().displayUnit());
        if (!outlook.verdict.empty())
            verifyPane->lblVerdict->setText(QString::fromStdString(verdictLine(outlook)));
        offerRepair(outlook.state == SetOutlook::Repairable);
    }
    focusControl(verifyControl(*verifyPane, outcome.focus));
}

void frmMain::runRepairCommand()
{
    VerifyRequest values = verifyValues();
    const VerifyRequest typed = values;
    VerifyServices services = engines_->verifyServices(*recentFiles_);
    std::vector<std::string> rebuilt;
    const CommandOutcome outcome = repairCommand(values, services, rebuilt);
    putBack(verifyPane->Text8, typed.piecePath, values.piecePath);
    verifyPane->showRebuilt(rebuilt, splitEngine().displayUnit());
    if (outcome.succeeded)
        offerRepair(false);
    focusControl(verifyControl(*verifyPane, outcome.focus));
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
    VerifyRequest values = verifyValues();
    clearVerifyCommand(values, verifyPane->bindings());
    setText(verifyPane->Text8, values.piecePath);
    offerRepair(false);
}

} // namespace parcelo
