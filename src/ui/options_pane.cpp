#include "ui/options_pane.h"

#include "app/config_file.h"
#include "ui/pane_layout.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace parcelo {

OptionsPane::OptionsPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picOptions"));
    Command6 = commandButton("Command6", "Save Op&tions", this);
    Label25 = statusLabel("Label25", this);
    ProgressBar4 = paneProgressBar("ProgressBar4", this);
    auto* foot = new QHBoxLayout;
    foot->addWidget(Command6);
    foot->addWidget(Label25, 1);

    // the groups scroll when the window is too low to show them all
    auto* groups = new QWidget;
    auto* groupLayout = new QVBoxLayout(groups);
    groupLayout->setContentsMargins(0, 0, 0, 0);
    groupLayout->addWidget(buildCompression());
    groupLayout->addWidget(buildDeletion());
    groupLayout->addWidget(buildSending());
    groupLayout->addWidget(buildWriting());
    groupLayout->addWidget(buildFolders());
    groupLayout->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(groups);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paneTitle(" Options/Preferences/Settings", this));
    layout->addWidget(scroll, 1);
    layout->addLayout(foot);
    layout->addWidget(ProgressBar4);
}

QWidget* OptionsPane::buildCompression()
{
    auto* frame = new QGroupBox(QStringLiteral("Compression Options"), this);
    chkAutoCompress =
        named(new QCheckBox(QStringLiteral("Automatically &compress file before splitting"), frame),
              "chkAutoCompress");
    optCLevel1 =
        named(new QRadioButton(QStringLiteral("Highest Co&mpression (recommended)"), frame),
              "optCLevel1");
    optCLevel1->setChecked(true);
    optCLevel2 =
        named(new QRadioButton(QStringLiteral("Med&ium Compression"), frame), "optCLevel2");
    optCLevel3 = named(new QRadioButton(QStringLiteral("Highest &Speed"), frame), "optCLevel3");
    auto* layout = new QGridLayout(frame);
    layout->addWidget(chkAutoCompress, 0, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Compression level:"), frame), 1, 0, 1, 2);
    layout->addWidget(optCLevel1, 2, 1);
    layout->addWidget(optCLevel2, 3, 1);
    layout->addWidget(optCLevel3, 4, 1);
    layout->setColumnMinimumWidth(0, 16);
    layout->setColumnStretch(1, 1);
    return frame;
}

QWidget* OptionsPane::buildDeletion()
{
    auto* frame = new QGroupBox(QStringLiteral("Delete Options"), this);
    chkDelOrgSplit =
        named(new QCheckBox(QStringLiteral("&Delete original file after it is split successfully"),
                            frame),
              "chkDelOrgSplit");
    chkDelOrgJoin =
        named(new QCheckBox(
                  QStringLiteral("Delete &broken files after they are joined successfully"), frame),
              "chkDelOrgJoin");
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(chkDelOrgSplit);
    layout->addWidget(chkDelOrgJoin);
    return frame;
}

QWidget* OptionsPane::buildSending()
{
    auto* frame = new QGroupBox(QStringLiteral("Sending Options"), this);
    chkChecksums =
        named(new QCheckBox(QStringLiteral("Write a chec&ksum file beside the pieces"), frame),
              "chkChecksums");
    chkJoinScript =
        named(new QCheckBox(QStringLiteral("Write a &join script for recipients"), frame),
              "chkJoinScript");
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(chkChecksums);
    layout->addWidget(chkJoinScript);
    return frame;
}

QWidget* OptionsPane::buildWriting()
{
    auto* frame = new QGroupBox(QStringLiteral("Writing Options"), this);
    chkFlush = named(new QCheckBox(QStringLiteral("F&lush to disk before reporting done"), frame),
                     "chkFlush");
    chkFlush->setChecked(true);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(chkFlush);
    return frame;
}

QWidget* OptionsPane::buildFolders()
{
    auto* frame = new QGroupBox(QStringLiteral("Default Folders"), this);
    txtDefoutSplit = pathBox("txtDefoutSplit", frame);
    cmdOptBr1 = commandButton("cmdOptBr1", "B&rowse", frame);
    txtDefoutJoin = pathBox("txtDefoutJoin", frame);
    cmdOptBr2 = commandButton("cmdOptBr2", "Bro&wse", frame);
    auto* layout = new QGridLayout(frame);
    addPathRow(*layout, 0, "Default output folder for s&plit files:", txtDefoutSplit, cmdOptBr1);
    addPathRow(*layout, 2, "Default output folder for joi&ned file:", txtDefoutJoin, cmdOptBr2);
    return frame;
}

void OptionsPane::showOptions(const ParceloOptions& options)
{
    chkAutoCompress->setChecked(options.autoCompress);
    optCLevel1->setChecked(options.compressionLevel == CompressionLevel::Highest);
    optCLevel2->setChecked(options.compressionLevel == CompressionLevel::Medium);
    optCLevel3->setChecked(options.compressionLevel == CompressionLevel::Fastest);
    chkDelOrgSplit->setChecked(options.deleteAfterSplit);
    chkDelOrgJoin->setChecked(options.deleteAfterJoin);
    chkChecksums->setChecked(options.writeChecksums);
    chkJoinScript->setChecked(options.writeJoinScript);
    chkFlush->setChecked(options.flushToDisk);
    txtDefoutSplit->setText(QString::fromStdString(options.splitFolder));
    txtDefoutJoin->setText(QString::fromStdString(options.joinFolder));
}

void OptionsPane::readOptions(ParceloOptions& options) const
{
    options.autoCompress = chkAutoCompress->isChecked();
    options.compressionLevel = optCLevel2->isChecked()   ? CompressionLevel::Medium
                               : optCLevel3->isChecked() ? CompressionLevel::Fastest
                                                         : CompressionLevel::Highest;
    options.deleteAfterSplit = chkDelOrgSplit->isChecked();
    options.deleteAfterJoin = chkDelOrgJoin->isChecked();
    options.writeChecksums = chkChecksums->isChecked();
    options.writeJoinScript = chkJoinScript->isChecked();
    options.flushToDisk = chkFlush->isChecked();
    options.splitFolder = txtDefoutSplit->text().toStdString();
    options.joinFolder = txtDefoutJoin->text().toStdString();
}

} // namespace parcelo
