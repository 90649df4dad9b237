#include "ui/split_pane.h"

#include "app/password_strength.h"
#include "format/split_choices.h"
#include "integrity/set_companions.h"
#include "platform/password.h"
#include "ui/stoppable_job.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <iterator>

namespace parcelo {

namespace {

constexpr const char* kPlainPiecesTip =
    "Each piece is the exact bytes of its part of the file (of the compressed file when "
    "compressing first), named NAME.001, NAME.002, ...: cat NAME.0* > NAME, copy /b or "
    "7-Zip gives the file back without Parcelo. Parcelo knows such a set by its checksum "
    "file NAME.sha256, which is always written beside it. Splitting by lines makes header "
    "pieces only.";

} // namespace

SplitPane::SplitPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture2"));
    Text1 = pathBox("Text1", this);
    Command3 = commandButton("Command3", "&Browse", this);
    cmdSpFolder = commandButton("cmdSpFolder", "Fo&lder...", this);
    Text4 = pathBox("Text4", this);
    Command2 = commandButton("Command2", "Bro&wse", this);
    auto* paths = new QGridLayout;
    addPathRow(*paths, 0, "Source F&ile:", Text1, Command3);
    paths->addWidget(cmdSpFolder, 1, 2);
    addPathRow(*paths, 2, "&Destination:", Text4, Command2);

    Frame1 = buildSplitBy();
    Check1 = named(new QCheckBox(QStringLiteral("&Compress before Splitting"), this), "Check1");
    txtRecovery = pathBox("txtRecovery", this);
    txtRecovery->setText(QStringLiteral("0"));
    txtRecovery->setMaximumWidth(70);
    chkPlainPieces = named(
        new QCheckBox(
            QStringLiteral("Plain pieces (no header): anyone can &join them with cat or copy /b"),
            this),
        "chkPlainPieces");
    chkPlainPieces->setToolTip(QString::fromUtf8(kPlainPiecesTip));
    cmdSpSplit = commandButton("cmdSpSplit", "&Split", this);
    cmdSpSplit->setDefault(true);
    cmdCompress = commandButton("cmdCompress", "Co&mpress only", this);
    cmdSpCancel = commandButton("cmdSpCancel", kClearAllCaption, this);
    auto* commands = new QHBoxLayout;
    commands->addWidget(Check1);
    auto* recoveryLabel = new QLabel(QStringLiteral("&Recovery pieces:"), this);
    recoveryLabel->setBuddy(txtRecovery);
    commands->addWidget(recoveryLabel);
    commands->addWidget(txtRecovery);
    commands->addStretch();
    commands->addWidget(cmdSpSplit);
    commands->addWidget(cmdCompress);
    commands->addWidget(cmdSpCancel);

    ListView1 = fileList("ListView1", "Generated Files", this, "Kind");
    ProgressBar1 = paneProgressBar("ProgressBar1", this);
    Label5 = statusLabel("Label5", this);
    display_ = std::make_unique<PaneDisplay>(*ProgressBar1, Label5, *ListView1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paneTitle(" Compress and Split files", this));
    layout->addLayout(paths);
    layout->addWidget(Frame1);
    layout->addWidget(chkPlainPieces);
    layout->addLayout(commands);
    layout->addLayout(buildEncryption());
    layout->addWidget(ListView1, 1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Label5);
    coupleSplitBy();
    for (QRadioButton* option : {Option1, Option2, Option3})
        connect(option, &QRadioButton::toggled, txtRecovery, [this] { showRecoveryChoice(); });
    connect(Combo1, &QComboBox::currentIndexChanged, txtRecovery, [this] { showRecoveryChoice(); });
    showRecoveryChoice();
    connect(Combo2, &QComboBox::currentIndexChanged, Combo2, [this] { showPresetChoice(); });
    showPresetChoice();
}

// The chosen preset's exact byte counts and what it fits, also while the list is closed.
void SplitPane::showPresetChoice()
{
    Combo2->setToolTip(Combo2->currentData(Qt::ToolTipRole).toString());
}

// "Encrypt with a password", the password twice and the strength hint, on one line.
QHBoxLayout* SplitPane::buildEncryption()
{
    chkEncrypt =
        named(new QCheckBox(QStringLiteral("Encr&ypt with a password"), this), "chkEncrypt");
    chkEncrypt->setToolTip(QStringLiteral(
        "The pieces hold a ZIP archive encrypted with AES-256: 7-Zip, bsdtar and most archive "
        "managers open it with the password. The file's name stays readable."));
    txtPassword = pathBox("txtPassword", this);
    txtPasswordAgain = pathBox("txtPasswordAgain", this);
    const std::pair<QLineEdit*, const char*> boxes[] = {{txtPassword, "Password"},
                                                        {txtPasswordAgain, "Password again"}};
    for (const auto& [box, name] : boxes) {
        box->setEchoMode(QLineEdit::Password);
        box->setAccessibleName(QString::fromLatin1(name));
        box->setMinimumWidth(110);
        box->setMaximumWidth(150);
    }
    lblStrength = named(new QLabel(this), "lblStrength");
    lblStrength->setToolTip(QString::fromLatin1(kPassphraseAdvice));
    auto* row = new QHBoxLayout;
    row->addWidget(chkEncrypt);
    row->addWidget(new QLabel(QStringLiteral("Password:"), this));
    row->addWidget(txtPassword);
    row->addWidget(new QLabel(QStringLiteral("Again:"), this));
    row->addWidget(txtPasswordAgain);
    row->addWidget(lblStrength);
    row->addStretch(1);
    connect(chkEncrypt, &QCheckBox::toggled, this, [this] { showEncryptionChoice(); });
    connect(txtPassword, &QLineEdit::textChanged, lblStrength, [this] { showStrength(); });
    showEncryptionChoice();
    return row;
}

// An encrypted set is always compressed: "Compress before Splitting" stays checked while
// encryption is chosen; the password boxes work only then.
void SplitPane::showEncryptionChoice()
{
    const bool encrypt = chkEncrypt->isChecked();
    if (encrypt)
        Check1->setChecked(true);
    Check1->setEnabled(!encrypt);
    txtPassword->setEnabled(encrypt);
    txtPasswordAgain->setEnabled(encrypt);
    lblStrength->setVisible(encrypt);
}

void SplitPane::showStrength()
{
    QByteArray typed = txtPassword->text().toUtf8();
    const PasswordHint hint =
        passwordHint(std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())));
    wipeSecret(typed.data(), static_cast<std::size_t>(typed.size()));
    lblStrength->setText(QString::fromStdString(hint.text));
    lblStrength->setStyleSheet(hint.weak ? QStringLiteral("color: #a03000;") : QString());
}

void SplitPane::clearPasswords()
{
    txtPassword->clear();
    txtPasswordAgain->clear();
}

bool SplitPane::splitsByLines() const
{
    return Option1->isChecked() && Combo1->currentIndex() == unitIndex(SizeUnit::Lines);
}

// Line sets get no recovery pieces: the box is off and says so.
void SplitPane::showRecoveryChoice()
{
    const bool lines = splitsByLines();
    txtRecovery->setEnabled(!lines);
    txtRecovery->setToolTip(
        lines ? QStringLiteral("Recovery pieces are not made for line sets.")
              : QStringLiteral("0 for none, a number N of recovery pieces NAME.rec001..., or a "
                               "percentage of the piece count such as 10%. ")
                    + QString::fromUtf8(kRecoveryPromise));
}

QGroupBox* SplitPane::buildSplitBy()
{
    auto* frame = named(new QGroupBox(QStringLiteral("Split By"), this), "Frame1");
    Option1 = named(new QRadioButton(QStringLiteral("Si&ze"), frame), "Option1");
    Option1->setChecked(true);
    Text3 = pathBox("Text3", frame);
    Combo1 = named(new QComboBox(frame), "Combo1");
    for (const SizeUnitRow& unit : kSizeUnits)
        Combo1->addItem(QString::fromUtf8(unit.caption));
    Option2 = named(new QRadioButton(QStringLiteral("&Pieces"), frame), "Option2");
    Text2 = pathBox("Text2", frame);
    Option3 = named(new QRadioButton(QStringLiteral("C&ustom"), frame), "Option3");
    Combo2 = named(new QComboBox(frame), "Combo2");
    for (const SizePreset& preset : kSizePresets) {
        Combo2->addItem(QString::fromUtf8(preset.caption));
        Combo2->setItemData(Combo2->count() - 1,
                            QString::fromStdString(presetDescription(preset) + "."),
                            Qt::ToolTipRole);
    }
    auto* piecesLabel = new QLabel(QStringLiteral("&Number of Pieces:"), frame);
    piecesLabel->setBuddy(Text2);
    // the option buttons stand as the labels of the boxes beside them
    Text3->setAccessibleName(QStringLiteral("Size"));
    Combo1->setAccessibleName(QStringLiteral("Size unit"));
    Combo2->setAccessibleName(QStringLiteral("Custom size"));

    for (QLineEdit* box : {Text3, Text2})
        box->setMaximumWidth(140);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(Option1, 0, 0);
    grid->addWidget(Text3, 0, 2);
    grid->addWidget(Combo1, 0, 3, Qt::AlignLeft);
    grid->addWidget(Option2, 1, 0);
    grid->addWidget(piecesLabel, 1, 1);
    grid->addWidget(Text2, 1, 2);
    grid->addWidget(Option3, 2, 0);
    grid->addWidget(Combo2, 2, 2, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(4, 1);
    // reading order: each option button, then what belongs to it
    QWidget* const order[] = {Option1, Text3, Combo1, Option2, Text2, Option3, Combo2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return frame;
}

void SplitPane::coupleSplitBy()
{
    connect(Option1, &QRadioButton::clicked, Text3, [this] { Text3->setFocus(); });
    connect(Option2, &QRadioButton::clicked, Text2, [this] { Text2->setFocus(); });
    connect(Combo1, &QComboBox::activated, Option1, [this] { Option1->setChecked(true); });
    connect(Combo2, &QComboBox::activated, Option3, [this] { Option3->setChecked(true); });
    connect(Text3, &QLineEdit::textEdited, Option1, [this] { Option1->setChecked(true); });
    connect(Text2, &QLineEdit::textEdited, Option2, [this] { Option2->setChecked(true); });
    // Tab enters the options at the chosen one, however it was chosen
    const auto tabStopOnChosen = [this] {
        for (QRadioButton* option : {Option1, Option2, Option3})
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QRadioButton* option : {Option1, Option2, Option3})
        connect(option, &QRadioButton::toggled, this, tabStopOnChosen);
    tabStopOnChosen();
    for (QWidget* control : {static_cast<QWidget*>(Text3), static_cast<QWidget*>(Text2),
                             static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Combo2)})
        control->installEventFilter(this);
}

bool SplitPane::eventFilter(QObject* watched, QEvent* event)
{
    // Only a click, an arrow key on the option buttons, a typed value or a chosen list
    // entry changes the way of splitting: moving the focus through the box never does.
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == Text3 || watched == Combo1)
            Option1->setChecked(true);
        else if (watched == Text2)
            Option2->setChecked(true);
        else if (watched == Combo2)
            Option3->setChecked(true);
        if (watched == Text3 || watched == Text2)
            static_cast<QWidget*>(watched)->setFocus();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace parcelo
