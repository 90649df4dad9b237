#include "ui/pane_layout.h"

#include "ui/app_icons.h"
#include "ui/qt_bindings.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace parcelo {

QLabel* paneTitle(const char* text, QWidget* parent)
{
    auto* title = new QLabel(QString::fromLatin1(text), parent);
    title->setObjectName(QStringLiteral("PaneTitle"));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.35);
    font.setBold(true);
    title->setFont(font);
    title->setContentsMargins(0, 2, 0, 6);
    return title;
}

std::string textOf(const QLineEdit* box)
{
    return box->text().toStdString();
}

QPushButton* commandButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = named(new QPushButton(QString::fromLatin1(caption), parent), name);
    button->setMinimumWidth(96);
    return button;
}

QLineEdit* pathBox(const char* name, QWidget* parent)
{
    return named(new QLineEdit(parent), name);
}

QTreeWidget* fileList(const char* name, const char* title, QWidget* parent, const char* third)
{
    auto* list = named(new QTreeWidget(parent), name);
    QStringList headings{QString::fromLatin1(title), QStringLiteral("File Size")};
    if (third != nullptr)
        headings << QString::fromLatin1(third);
    list->setColumnCount(static_cast<int>(headings.size()));
    list->setHeaderLabels(headings);
    list->setAccessibleName(QString::fromLatin1(title));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < list->columnCount(); ++column)
        list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    list->setMinimumHeight(48); // the header and a row: the list grows with the window
    return list;
}

QProgressBar* paneProgressBar(const char* name, QWidget* parent)
{
    auto* bar = named(new QProgressBar(parent), name);
    bar->setTextVisible(false);
    bar->setMaximumHeight(16);
    bar->setVisible(false);
    return bar;
}

QLabel* statusLabel(const char* name, QWidget* parent)
{
    auto* label = named(new QLabel(parent), name);
    label->setWordWrap(true);
    return label;
}

void addPathRow(QGridLayout& grid, int row, const char* label, QLineEdit* box, QPushButton* browse)
{
    auto* caption = new QLabel(QString::fromLatin1(label));
    caption->setBuddy(box);
    grid.addWidget(caption, row, 0, 1, 2);
    grid.addWidget(box, row + 1, 0);
    grid.addWidget(browse, row + 1, 1);
}

QIcon fileRowIcon()
{
    return themedIcon("text-x-generic", QStyle::SP_FileIcon);
}

PaneDisplay::PaneDisplay(QProgressBar& bar, QLabel* label, QTreeWidget& list)
    : bar_(std::make_unique<QtProgressBar>(bar)),
      label_(label ? std::make_unique<QtLabel>(*label) : nullptr),
      list_(std::make_unique<QtFileList>(list, fileRowIcon()))
{
}

PaneDisplay::~PaneDisplay() = default;

PaneBindings PaneDisplay::bindings() const
{
    return {bar_.get(), label_.get(), list_.get()};
}

} // namespace parcelo
