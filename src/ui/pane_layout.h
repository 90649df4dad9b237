#pragma once

#include "platform/bindings.h"

#include <QIcon>

#include <memory>
#include <string>

class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace parcelo {

class QtFileList;
class QtLabel;
class QtProgressBar;

// Gives a control the program's name for it.
template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The text of a box as UTF-8.
std::string textOf(const QLineEdit* box);

// The heading across the top of a pane.
QLabel* paneTitle(const char* text, QWidget* parent);
QPushButton* commandButton(const char* name, const char* caption, QWidget* parent);
QLineEdit* pathBox(const char* name, QWidget* parent);
// A report list headed by the title and "File Size", and by the third heading when one is
// given (what each row stands for, or its state).
QTreeWidget* fileList(const char* name, const char* title, QWidget* parent,
                      const char* third = nullptr);
// A progress bar, hidden until an operation shows it.
QProgressBar* paneProgressBar(const char* name, QWidget* parent);
QLabel* statusLabel(const char* name, QWidget* parent);
// One row of a path grid: its label, the box and the Browse button.
void addPathRow(QGridLayout& grid, int row, const char* label, QLineEdit* box, QPushButton* browse);

// The icon of the rows of the file lists.
QIcon fileRowIcon();

// The display bindings of one pane over its own controls; the status label is optional.
class PaneDisplay {
public:
    PaneDisplay(QProgressBar& bar, QLabel* label, QTreeWidget& list);
    ~PaneDisplay();
    PaneBindings bindings() const;

private:
    std::unique_ptr<QtProgressBar> bar_;
    std::unique_ptr<QtLabel> label_;
    std::unique_ptr<QtFileList> list_;
};

} // namespace parcelo
