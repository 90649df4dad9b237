#include "ui/work_gate.h"

#include <QAction>
#include <QWidget>

namespace parcelo {

void WorkGate::guard(QWidget* control)
{
    controls_.emplace_back(control);
}

void WorkGate::guard(QAction* action)
{
    actions_.emplace_back(action);
}

void WorkGate::enableGuarded(bool enabled)
{
    for (const QPointer<QWidget>& control : controls_) {
        if (control)
            control->setEnabled(enabled);
    }
    for (const QPointer<QAction>& action : actions_) {
        if (action)
            action->setEnabled(enabled);
    }
}

bool WorkGate::run(const std::function<void()>& operation)
{
    if (busy_)
        return false;
    // Re-opens the gate on every way out, an exception included. A button that had the
    // focus lost it when it was disabled; it gets it back unless the operation moved the
    // focus on purpose (to a box to mend, say).
    struct Open {
        WorkGate& gate;
        QPointer<QWidget> focused;
        QPointer<QWidget> displaced;
        ~Open()
        {
            gate.busy_ = false;
            gate.enableGuarded(true);
            if (focused && focused != displaced && gate.window_.focusWidget() == displaced)
                focused->setFocus();
        }
    };
    busy_ = true;
    QPointer<QWidget> focused = window_.focusWidget();
    enableGuarded(false);
    const Open reopen{*this, focused, window_.focusWidget()};
    operation();
    return true;
}

} // namespace parcelo
