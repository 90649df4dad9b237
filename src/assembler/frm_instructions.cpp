#include "assembler/frm_instructions.h"

#include "ui/assembler_instructions.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parcelo::assembler {

frmInstructions::frmInstructions(const std::string& makerWebPage, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInstructions"));
    setWindowTitle(QStringLiteral(" Parcelo Assembler Instructions"));
    Frame1 = new QGroupBox(QStringLiteral("Instructions"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(Frame1);
    std::vector<std::string> texts = assemblerInstructionLines(makerWebPage);
    texts.push_back(assemblerNote(makerWebPage));
    for (const std::string& text : texts) {
        auto* line = new QLabel(QString::fromStdString(text), Frame1);
        line->setObjectName(QStringLiteral("Label%1").arg(lines.size() + 1));
        line->setWordWrap(true);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        frameLayout->addWidget(line);
        lines.push_back(line);
    }
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    // wrapped labels ask for their height at the window's width
    setFixedSize(520, layout->totalHeightForWidth(520));

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

} // namespace parcelo::assembler
