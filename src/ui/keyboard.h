#pragma once

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QKeySequence;
class QLineEdit;
class QString;
class QWidget;

namespace parcelo {

// Enter (or Return) in any of the boxes presses the command.
void pressOnEnter(std::initializer_list<QLineEdit*> boxes, QAbstractButton* command);

// A key that runs `run` while the window is active, menu or no menu.
void addWindowShortcut(QWidget& window, const QKeySequence& keys, std::function<void()> run);

// Every control under `root` that a label names as its buddy takes the label's text, without
// its access-key mark and closing colon, as its accessible name (unless it has one).
void nameAfterBuddies(QWidget& root);

// The text a label gives its buddy as a name: "&Source File:" -> "Source File".
QString accessibleNameFromLabel(const QString& label);

} // namespace parcelo
