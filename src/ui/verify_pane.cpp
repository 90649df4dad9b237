#include "ui/verify_pane.h"

#include "format/file_list.h"
#include "integrity/set_checksums.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "ui/qt_bindings.h"
#include "ui/stoppable_job.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace parcelo {

VerifyPane::VerifyPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picVerify"));
    Text8 = pathBox("Text8", this);
    Command5 = commandButton("Command5", "&Browse", this);
    auto* paths = new QGridLayout;
    addPathRow(*paths, 0, "&Locate any one of the split files:", Text8, Command5);

    cmdVerify1 = commandButton("cmdVerify1", "Verify th&is file", this);
    cmdVerify1->setDefault(true);
    cmdVerify2 = commandButton("cmdVerify2", "Verify &whole set", this);
    cmdRepair = commandButton("cmdRepair", "&Repair", this);
    cmdRepair->setToolTip(QStringLiteral(
        "Rebuilds the damaged or missing files of the set in place from its recovery pieces."));
    cmdRepair->setEnabled(false);
    cmdVerify3 = commandButton("cmdVerify3", kClearAllCaption, this);
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(cmdVerify1);
    commands->addWidget(cmdVerify2);
    commands->addWidget(cmdRepair);
    commands->addWidget(cmdVerify3);

    ListView3 = fileList("ListView3", "Verified Files", this, "State");
    ProgressBar3 = paneProgressBar("ProgressBar3", this);
    lblVerdict = statusLabel("lblVerdict", this);
    display_ = std::make_unique<PaneDisplay>(*ProgressBar3, lblVerdict, *ListView3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paneTitle(" Verify compressed and split files", this));
    layout->addLayout(paths);
    layout->addLayout(commands);
    layout->addWidget(ListView3, 1);
    layout->addWidget(ProgressBar3);
    layout->addWidget(lblVerdict);
}

void VerifyPane::showStates(const ChecksumReport& report, const DisplayUnit& unit)
{
    for (const ChecksumReport::Piece& piece : report.pieces)
        showState(piece.path, pieceStateWord(piece.state), unit);
}

void VerifyPane::showRebuilt(const std::vector<std::string>& paths, const DisplayUnit& unit)
{
    for (const std::string& path : paths)
        showState(path, "REBUILT", unit);
}

// The file's row gets the state, and its size when it has none yet (a rebuilt file). A file
// the check did not open (a missing piece, a recovery piece) gets a row first, in the order
// of the names.
void VerifyPane::showState(const std::string& path, const char* state, const DisplayUnit& unit)
{
    const QString name = QString::fromStdString(path);
    QTreeWidgetItem* row = nullptr;
    int before = ListView3->topLevelItemCount();
    for (int i = ListView3->topLevelItemCount() - 1; i >= 0; --i) {
        const QString shown = ListView3->topLevelItem(i)->text(0);
        if (shown == name)
            row = ListView3->topLevelItem(i);
        else if (shown > name)
            before = i;
    }
    if (row == nullptr) {
        const int index = asFileList(bindings().fileList)->addRow(path, FileRowKind::Piece);
        row = ListView3->takeTopLevelItem(index);
        ListView3->insertTopLevelItem(before, row);
    }
    row->setText(QtFileList::kKindColumn, QString::fromLatin1(state));
    try {
        if (row->text(1).isEmpty() && fileExists(path))
            row->setText(
                1, QString::fromStdString(formatListSize(static_cast<double>(fileLength(path)),
                                                         unit.value_or(SizeUnit::Kilobytes))));
    } catch (const RunError&) {
        // listed without its size
    }
}

} // namespace parcelo
