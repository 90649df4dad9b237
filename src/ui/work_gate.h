#pragma once

#include <QPointer>

#include <functional>
#include <vector>

class QAction;
class QWidget;

namespace parcelo {

// Lets one operation (a split, join, check, compression or save) run at a time. While it
// runs, the controls that start work are disabled; the window still repaints and its
// message boxes work, because the operation processes pending events itself.
class WorkGate {
public:
    // window: the window whose focus a disabled control gives up for the operation.
    explicit WorkGate(QWidget& window) : window_(window) {}

    // A control that starts work: disabled while an operation runs.
    void guard(QWidget* control);
    void guard(QAction* action);

    bool busy() const { return busy_; }

    // Runs the operation with the guarded controls disabled. Returns false, and runs
    // nothing, when another operation is already running.
    bool run(const std::function<void()>& operation);

private:
    void enableGuarded(bool enabled);

    QWidget& window_;

    std::vector<QPointer<QWidget>> controls_;
    std::vector<QPointer<QAction>> actions_;
    bool busy_ = false;
};

} // namespace parcelo
