#include "ui/join_pane.h"

#include "ui/stoppable_job.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace parcelo {

JoinPane::JoinPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture3"));
    Text5 = pathBox("Text5", this);
    Command1 = commandButton("Command1", "&Browse", this);
    Text6 = pathBox("Text6", this);
    Command4 = commandButton("Command4", "Bro&wse", this);
    auto* paths = new QGridLayout;
    addPathRow(*paths, 0, "&Locate any one of the split files:", Text5, Command1);
    addPathRow(*paths, 2, "&Destination folder of the joined file:", Text6, Command4);

    Check2 = named(new QCheckBox(QStringLiteral("Do &not decompress the joined file created after "
                                                "joining files"),
                                 this),
                   "Check2");
    cmdJoin = commandButton("cmdJoin", "&Join", this);
    cmdJoin->setDefault(true);
    cmdJnCancel = commandButton("cmdJnCancel", kClearAllCaption, this);
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(cmdJoin);
    commands->addWidget(cmdJnCancel);

    ListView2 = fileList("ListView2", "Joined Files", this);
    ProgressBar2 = paneProgressBar("ProgressBar2", this);
    Label8 = statusLabel("Label8", this);
    display_ = std::make_unique<PaneDisplay>(*ProgressBar2, Label8, *ListView2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(paneTitle(" Decompress and Join files", this));
    layout->addLayout(paths);
    layout->addWidget(Check2);
    layout->addLayout(commands);
    layout->addWidget(ListView2, 1);
    layout->addWidget(ProgressBar2);
    layout->addWidget(Label8);
}

} // namespace parcelo
