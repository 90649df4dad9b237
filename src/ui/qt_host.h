#pragma once

#include "platform/host.h"

#include <QMessageBox>
#include <QPointer>

#include <memory>

class QWidget;

namespace parcelo {

// The windows' Host: message boxes over the main window, the Qt event loop for pending
// events and the application's override cursor for the busy pointer.
class QtHost : public Host {
public:
    explicit QtHost(QWidget* parent = nullptr) : parent_(parent) {}
    ~QtHost() override;

    // The window the message boxes are shown over (none: centred on the screen).
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void processEvents() override;
    bool processesEvents() const override { return true; }
    void setBusy(bool busy) override;

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override;

private:
    QPointer<QWidget> parent_;
    bool busy_ = false;
};

// The message box the host shows for a message, built but not yet shown. A question that
// deletes files has No as its default button.
std::unique_ptr<QMessageBox> makeMessageBox(Question kind, const std::string& text, Buttons buttons,
                                            Icon icon, const std::string& title, QWidget* parent);

// The answer for the button a box was closed with; a box closed without one of its
// buttons gives the cautious answer.
Answer answerFor(QMessageBox::StandardButton pressed, Buttons buttons);

} // namespace parcelo
