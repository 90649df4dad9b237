#include "assembler/frm_main.h"

#include "assembler/assembler_join.h"
#include "assembler/frm_instructions.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/stop_token.h"
#include "ui/app_icons.h"
#include "ui/assembler_instructions.h"
#include "ui/desktop.h"
#include "ui/file_drops.h"
#include "ui/frm_about.h"
#include "ui/keyboard.h"
#include "ui/pane_layout.h"
#include "ui/stoppable_job.h"
#include "ui/web_links.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace parcelo::assembler {

namespace {

QLabel* textLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = named(new QLabel(text, parent), name);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmMain::frmMain(AssemblerValues values, const AssemblerServices& services, QWidget* parent)
    : QMainWindow(parent), values_(std::move(values)), host_(services.host),
      desktop_(services.desktop), modal_(services.modal), userJoinFolder_(services.userJoinFolder),
      engine_(services.host)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Parcelo Assembler"));
    setWindowIcon(programIcon());
    buildControls();
    buildMenu();
    wire();
}

void frmMain::buildControls()
{
    statusBar(); // made now, so the window keeps its size when a join first reports
    auto* central = new QWidget(this);
    Label1 = textLabel("Label1", QStringLiteral(" Parcelo Assembler"), central);
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label6 = textLabel("Label6", QStringLiteral("&Locate any one of the split files:"), central);
    Text5 = named(new QLineEdit(central), "Text5");
    Label6->setBuddy(Text5);
    Label7 =
        textLabel("Label7", QStringLiteral("&Destination folder of the joined file:"), central);
    Text6 = named(new QLineEdit(central), "Text6");
    Label7->setBuddy(Text6);
    Label10 = textLabel(
        "Label10",
        QStringLiteral("(Make sure that all the split files are in the same folder. If the split "
                       "files are on floppy disks, make sure you have all the disks; you will be "
                       "prompted to insert all the disks.)"),
        central);
    Label3 = textLabel(
        "Label3",
        QStringLiteral("Note: Parcelo Assembler will not be able to decompress the file created "
                       "after joining files. You can do this free of charge with the complete "
                       "version of Parcelo."),
        central);
    Label2 = textLabel("Label2",
                       QStringLiteral("Download complete Parcelo from ")
                           + QString::fromStdString(values_.MakerWebPage),
                       central);
    cmdJoin = commandButton("cmdJoin", "&Join", central);
    cmdJoin->setDefault(true);
    cmdJnCancel = commandButton("cmdJnCancel", kClearAllCaption, central);
    cmdFinish = commandButton("cmdFinish", "E&xit", central);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdJoin);
    buttons->addWidget(cmdJnCancel);
    buttons->addWidget(cmdFinish);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(Label1);
    for (QWidget* line : {static_cast<QWidget*>(Label6), static_cast<QWidget*>(Text5),
                          static_cast<QWidget*>(Label7), static_cast<QWidget*>(Text6),
                          static_cast<QWidget*>(Label10)})
        layout->addWidget(line);
    layout->addLayout(buttons);
    layout->addSpacing(8);
    layout->addWidget(Label3);
    layout->addWidget(Label2);
    layout->addStretch();
    setCentralWidget(central);
    resize(560, sizeHint().height());
}

void frmMain::buildMenu()
{
    mnuHelp = named(menuBar()->addMenu(QStringLiteral("&Help")), "mnuHelp");
    const auto item = [this](const char* name, const char* caption) {
        return named(mnuHelp->addAction(QString::fromLatin1(caption)), name);
    };
    mnuInstructions = item("mnuInstructions", "&Instructions");
    mnuHelp->addSeparator();
    mnuSupport = item("mnuSupport", "&Product Support");
    mnuPcxOnWeb = item("mnuPcxOnWeb", "&Parcelo on the Web");
    mnuHelp->addSeparator();
    mnuWeb = item("mnuWeb", "Norvane on the &Web");
    mnuHelp->addSeparator();
    mnuAbout = item("mnuAbout", "&About Parcelo...");
}

void frmMain::wire()
{
    connect(cmdJoin, &QPushButton::clicked, this, [this] { cmdJoin_Click(); });
    connect(cmdJnCancel, &QPushButton::clicked, this, [this] { cmdJnCancel_Click(); });
    connect(cmdFinish, &QPushButton::clicked, this, [this] { cmdFinish_Click(); });
    connect(mnuInstructions, &QAction::triggered, this, [this] { mnuInstructions_Click(); });
    connect(mnuSupport, &QAction::triggered, this, [this] { mnuSupport_Click(); });
    connect(mnuPcxOnWeb, &QAction::triggered, this, [this] { mnuPcxOnWeb_Click(); });
    connect(mnuWeb, &QAction::triggered, this, [this] { mnuWeb_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
    wireKeyboardAndDrops();
}

void frmMain::wireKeyboardAndDrops()
{
    pressOnEnter({Text5, Text6}, cmdJoin);
    mnuInstructions->setShortcut(QKeySequence::HelpContents);
    addWindowShortcut(*this, QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { cmdFinish_Click(); });
    addWindowShortcut(*this, QKeySequence(Qt::Key_Escape), [this] { stopJoin(); });
    nameAfterBuddies(*this);
    // a file dropped anywhere is the piece to join; a folder dropped on the destination
    // box is where the joined file goes
    acceptPathDrops(*this, fileInto(*Text5));
    acceptPathDrops(*Text5, fileInto(*Text5));
    acceptPathDrops(*Text6, firstOf(folderInto(*Text6), fileInto(*Text5)));
}

std::string frmMain::joinedFileFolder(const std::string& piecesFolder) const
{
    if (isWritable(piecesFolder) || userJoinFolder_.empty())
        return withTrailingSeparator(piecesFolder);
    std::error_code ignored; // a folder that cannot be made is reported by the join
    std::filesystem::create_directories(toNativePath(userJoinFolder_), ignored);
    return withTrailingSeparator(userJoinFolder_);
}

void frmMain::cmdJoin_Click()
{
    // The join processes pending events, so Join can be pressed again while it runs.
    if (engine_.Joining())
        return;
    AssemblerPaneValues values{Text5->text().toStdString(), Text6->text().toStdString()};
    if (values.Text6.empty() && fileExists(values.Text5))
        values.Text6 = joinedFileFolder(GetFolderFromPath(values.Text5));
    AssemblerJoinServices services{engine_, host_, values_.MakerWebPage};
    statusBar()->clearMessage();
    CommandOutcome outcome;
    if (runStoppable({cmdJnCancel}, [&] { outcome = joinSet(values, services); }))
        statusBar()->showMessage(QStringLiteral("Cancelled."));
    Text5->setText(QString::fromStdString(values.Text5));
    Text6->setText(QString::fromStdString(values.Text6));
    if (outcome.focus == RequestField::PiecePath)
        Text5->setFocus();
    else if (outcome.focus == RequestField::DestinationFolder)
        Text6->setFocus();
    if (closeAfterJoin_)
        close();
}

void frmMain::cmdJnCancel_Click()
{
    if (stopJoin())
        return;
    Text5->clear();
    Text6->clear();
}

bool frmMain::stopJoin()
{
    if (!engine_.Joining())
        return false;
    jobStop().request();
    return true;
}

void frmMain::cmdFinish_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Closing while a join runs, when confirmed, stops it and ends the program after it.
    if (engine_.Joining()) {
        if (askStopAndExit(host_)) {
            closeAfterJoin_ = true;
            stopJoin();
        }
        event->ignore();
        return;
    }
    event->accept();
    if (ended_)
        return;
    ended_ = true;
    if (onEnded_)
        onEnded_();
}

void frmMain::mnuInstructions_Click()
{
    frmInstructions instructions(values_.MakerWebPage, this);
    modal_.runModal(instructions);
}

void frmMain::mnuSupport_Click()
{
    OpenWebPage(host_, desktop_, values_.SupportWebPage);
}

void frmMain::mnuPcxOnWeb_Click()
{
    OpenWebPage(host_, desktop_, values_.ProductWebPage);
}

void frmMain::mnuWeb_Click()
{
    OpenWebPage(host_, desktop_, values_.MakerWebPage);
}

void frmMain::mnuAbout_Click()
{
    frmAbout about({values_.ProductName, values_.AssemblerVersion, values_.AssemblerDescription,
                    values_.MakerWebPage, true},
                   host_, desktop_, this);
    modal_.runModal(about);
}

} // namespace parcelo::assembler
