#include "ui/verify_pane.h"

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
    Command5 = commandButton("Command5", "Browse", this);
    auto* paths = new QGridLayout;
    addPathRow(*paths, 0, "Locate any one of the split files:", Text8, Command5);

    cmdVerify1 = commandButton("cmdVerify1", "Verify this file", this);
    cmdVerify1->setDefault(true);
    cmdVerify2 = commandButton("cmdVerify2", "Verify whole set", this);
    cmdVerify3 = commandButton("cmdVerify3", "Clear All", this);
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(cmdVerify1);
    commands->addWidget(cmdVerify2);
    commands->addWidget(cmdVerify3);

    ListView3 = fileList("ListView3", "Verified Files", this);
    ProgressBar3 = paneProgressBar("ProgressBar3", this);
    display_ = std::make_unique<PaneDisplay>(*ProgressBar3, nullptr, *ListView3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paneTitle(" Verify compressed and split files", this));
    layout->addLayout(paths);
    layout->addLayout(commands);
    layout->addWidget(ListView3, 1);
    layout->addWidget(ProgressBar3);
}

} // namespace parcelo
