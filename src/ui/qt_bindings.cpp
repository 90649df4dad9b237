#include "ui/qt_bindings.h"

#include "platform/host.h"

#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>

namespace parcelo {

void QtProgressBar::setMaximum(int maximum)
{
    bar_.setMaximum(maximum);
}

int QtProgressBar::maximum() const
{
    return bar_.maximum();
}

void QtProgressBar::setValue(int value)
{
    bar_.setValue(value);
}

void QtProgressBar::setVisible(bool visible)
{
    bar_.setVisible(visible);
}

void QtLabel::setCaption(const std::string& caption)
{
    label_.setText(QString::fromStdString(toDisplayText(caption)));
}

void QtFileList::clear()
{
    list_.clear();
}

int QtFileList::addRow(const std::string& text, FileRowKind kind)
{
    auto* row = new QTreeWidgetItem(&list_, {QString::fromStdString(text)});
    if (list_.columnCount() > kKindColumn)
        row->setText(kKindColumn, QString::fromLatin1(fileRowKindName(kind)));
    row->setIcon(0, rowIcon_);
    row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    return list_.indexOfTopLevelItem(row);
}

void QtFileList::setRowSize(int row, const std::string& sizeText)
{
    if (auto* item = list_.topLevelItem(row))
        item->setText(1, QString::fromStdString(sizeText));
}

void QtFileList::scrollToRow(int row)
{
    if (auto* item = list_.topLevelItem(row))
        list_.scrollToItem(item);
}

} // namespace parcelo
