#include "ui/help_window.h"

#include "ui/app_icons.h"
#include "ui/keyboard.h"

#include <QFileInfo>
#include <QPalette>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <cctype>

namespace parcelo {

std::string helpAnchor(const std::string& keyword)
{
    std::string anchor;
    for (unsigned char c : keyword)
        anchor += c == ' ' ? '-' : static_cast<char>(std::tolower(c));
    return anchor;
}

namespace {

QString helpColours(const QPalette& palette)
{
    // the help's colours come from the palette, so that a dark theme keeps it readable
    return QStringLiteral("h1, h2 { color: %1; } h2 { border-bottom: 1px solid %2; }"
                          " .note { background: %3; color: %4; }")
        .arg(palette.color(QPalette::Link).name(), palette.color(QPalette::Mid).name(),
             palette.color(QPalette::AlternateBase).name(), palette.color(QPalette::Text).name());
}

} // namespace

HelpWindow::HelpWindow(std::string helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), helpFile_(std::move(helpFile))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Parcelo Help"));
    setWindowIcon(programIcon());
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    browser_->document()->setDefaultStyleSheet(helpColours(browser_->palette()));

    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tools->addAction(themedIcon("go-home", QStyle::SP_DirHomeIcon), QStringLiteral("Contents"),
                     this, [this] { showContents(); });
    tools->addAction(themedIcon("go-previous", QStyle::SP_ArrowBack), QStringLiteral("Back"),
                     browser_, &QTextBrowser::backward);
    tools->addAction(themedIcon("go-next", QStyle::SP_ArrowForward), QStringLiteral("Forward"),
                     browser_, &QTextBrowser::forward);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(browser_);
    resize(720, 560);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        addWindowShortcut(*this, keys, [this] { close(); });
}

void HelpWindow::showContents()
{
    showAt("contents");
}

void HelpWindow::showKeyword(const std::string& keyword)
{
    showAt(helpAnchor(keyword));
}

void HelpWindow::showAt(const std::string& anchor)
{
    const QFileInfo file(QString::fromStdString(helpFile_));
    if (file.isFile()) {
        QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
        url.setFragment(QString::fromStdString(anchor));
        browser_->setSource(url);
    } else {
        browser_->setPlainText(QStringLiteral("The help file %1 could not be found.")
                                   .arg(QString::fromStdString(helpFile_)));
    }
    show();
    raise();
    activateWindow();
}

} // namespace parcelo
