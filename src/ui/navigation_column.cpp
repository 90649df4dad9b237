#include "ui/navigation_column.h"

#include "ui/app_icons.h"
#include "ui/pane_layout.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace parcelo {

namespace {

constexpr QSize kSlotSize(104, 60);
constexpr QSize kIconSize(32, 32);

QToolButton* navigationButton(const char* name, const char* caption, const char* toolTip,
                              const QIcon& icon, QWidget* parent)
{
    auto* button = named(new QToolButton(parent), name);
    button->setText(QString::fromLatin1(caption));
    button->setToolTip(QString::fromLatin1(toolTip));
    button->setIcon(icon);
    button->setIconSize(kIconSize);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(kSlotSize);
    return button;
}

// The "picture" that stands in the button's place while its pane is shown.
QWidget* navigationHighlight(const char* name, const char* caption, const QIcon& icon,
                             QWidget* parent)
{
    auto* highlight = named(new QFrame(parent), name);
    highlight->setFixedSize(kSlotSize);
    auto* picture = new QLabel(highlight);
    picture->setPixmap(icon.pixmap(kIconSize));
    picture->setAlignment(Qt::AlignCenter);
    auto* text = new QLabel(QString::fromLatin1(caption), highlight);
    text->setAlignment(Qt::AlignCenter);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    auto* layout = new QVBoxLayout(highlight);
    layout->setContentsMargins(2, 6, 2, 4);
    layout->setSpacing(2);
    layout->addWidget(picture);
    layout->addWidget(text);
    highlight->setVisible(false);
    return highlight;
}

} // namespace

NavigationColumn::NavigationColumn(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("NavigationColumn"));
    setStyleSheet(
        QStringLiteral("#NavigationColumn { background: #2f4259; }"
                       "#NavigationColumn QToolButton { color: #e8eef5; border-radius: 6px; }"
                       "#NavigationColumn QToolButton:hover { background: #3e5673; }"
                       "#NavigationColumn QToolButton:focus { border: 2px solid #ffd35c; }"
                       "#NavigationColumn QLabel { color: #ffffff; background: transparent; }"
                       "#picMSplit, #picMJoin, #picMVerify, #picMOptions {"
                       " background: #4f80b5; border-radius: 6px; }"));

    const QIcon split = themedIcon("edit-cut", QStyle::SP_FileIcon);
    const QIcon join = themedIcon("insert-link", QStyle::SP_FileLinkIcon);
    const QIcon verify = themedIcon("edit-find", QStyle::SP_DialogApplyButton);
    const QIcon options = themedIcon("preferences-system", QStyle::SP_FileDialogDetailedView);
    cmdMSplit = navigationButton("cmdMSplit", "Split", "Split File", split, this);
    picMSplit = navigationHighlight("picMSplit", "Split", split, this);
    cmdMJoin = navigationButton("cmdMJoin", "Join", "Join Files", join, this);
    picMJoin = navigationHighlight("picMJoin", "Join", join, this);
    cmdMVerify = navigationButton("cmdMVerify", "Verify", "Verify broken files", verify, this);
    picMVerify = navigationHighlight("picMVerify", "Verify", verify, this);
    cmdMOptions =
        navigationButton("cmdMOptions", "Options", "Options/Preferences/Settings", options, this);
    picMOptions = navigationHighlight("picMOptions", "Options", options, this);
    cmdMHelp = navigationButton("cmdMHelp", "Help", "Help on Parcelo",
                                themedIcon("help-browser", QStyle::SP_DialogHelpButton), this);
    cmdMExit = navigationButton("cmdMExit", "Exit", "Exit Application",
                                themedIcon("application-exit", QStyle::SP_DialogCloseButton), this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 10, 8, 10);
    layout->setSpacing(4);
    for (Pane pane : kPanes) {
        layout->addWidget(button(pane));
        layout->addWidget(highlightOf(pane));
    }
    layout->addStretch();
    layout->addWidget(cmdMHelp);
    layout->addWidget(cmdMExit);
}

QToolButton* NavigationColumn::button(Pane pane) const
{
    switch (pane) {
    case Pane::Split:
        return cmdMSplit;
    case Pane::Join:
        return cmdMJoin;
    case Pane::Verify:
        return cmdMVerify;
    case Pane::Options:
        break;
    }
    return cmdMOptions;
}

QWidget* NavigationColumn::highlightOf(Pane pane) const
{
    switch (pane) {
    case Pane::Split:
        return picMSplit;
    case Pane::Join:
        return picMJoin;
    case Pane::Verify:
        return picMVerify;
    case Pane::Options:
        break;
    }
    return picMOptions;
}

void NavigationColumn::highlight(Pane shown)
{
    for (Pane pane : kPanes) {
        highlightOf(pane)->setVisible(pane == shown);
        button(pane)->setVisible(pane != shown);
    }
}

} // namespace parcelo
