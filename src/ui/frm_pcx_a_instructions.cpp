#include "ui/frm_pcx_a_instructions.h"

#include "platform/host.h"
#include "platform/paths.h"
#include "ui/assembler_instructions.h"
#include "ui/desktop.h"
#include "ui/web_links.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parcelo {

namespace {

QString instructionsText(const std::string& makerWebPage)
{
    std::string text =
        "You can join the split files using Parcelo Assembler. This can be very useful for people "
        "who want to join split files but are not very inclined to install the entire "
        "application. For example, if you only split files (and not compress before splitting) "
        "using Parcelo and send the split files to someone, you have an option to simply send "
        + std::string(kAssemblerProgram)
        + " (found under the application folder where Parcelo is installed) to them with split "
          "files. To use it:\n\n";
    for (const std::string& line : assemblerInstructionLines(makerWebPage))
        text += line + "\n\n";
    return QString::fromStdString(text + assemblerNote(makerWebPage));
}

} // namespace

frmPcxAInstructions::frmPcxAInstructions(std::string appFolder, std::string makerWebPage,
                                         Host& host, Desktop& desktop, QWidget* parent)
    : QDialog(parent), appFolder_(std::move(appFolder)), makerWebPage_(std::move(makerWebPage)),
      host_(host), desktop_(desktop)
{
    setObjectName(QStringLiteral("frmPcxAInstructions"));
    setWindowTitle(QStringLiteral(" Parcelo Assembler Instructions"));
    Frame1 = new QGroupBox(QStringLiteral("Parcelo Assembler Instructions"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = new QLabel(instructionsText(makerWebPage_), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(Label1);
    Command1 = new QPushButton(QStringLiteral("&Launch Parcelo Assembler"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("&Close"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    // wrapped text asks for its height at the window's width: the whole text shows
    constexpr int kWidth = 560;
    setFixedSize(kWidth, layout->totalHeightForWidth(kWidth));

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, &QDialog::accept);
}

void frmPcxAInstructions::Command1_Click()
{
    const std::string program = appFolder_ + kSeparator + kAssemblerProgram;
    if (fileExists(program) && desktop_.startProgram(program))
        return;
    host_.message(
        Question::Notice,
        std::string(kAssemblerProgram) + " can not be located in the application folder." + LF
            + "Make sure that the files exists in the folder where Parcelo is installed." + LF
            + "If you can not find this file, reinstall Parcelo or download " + kAssemblerProgram
            + " from " + makerSiteAddress(makerWebPage_, "/m/download/PcxAssembler.exe"),
        Buttons::Ok, Icon::Critical);
}

} // namespace parcelo
