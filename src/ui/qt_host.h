#pragma once

#include "platform/host.h"

#include <QMessageBox>
#include <QPointer>

#include <memory>

class QWidget;

namespace parcelo {

class Desktop;
class ModalRunner;

// The windows' Host: message boxes over the main window, the Qt event loop for pending
// events and the application's override cursor for the busy pointer. A job the person
// stopped gets no box (Question::Stopped). An outcome box offers "Open Folder" when the
// host has a desktop to open it with.
class QtHost : public Host {
public:
    explicit QtHost(QWidget* parent = nullptr) : parent_(parent) {}
    ~QtHost() override;

    // The window the message boxes are shown over (none: centred on the screen).
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    // The file manager for "Open Folder"; none: outcome boxes offer OK alone.
    void setDesktop(Desktop* desktop) { desktop_ = desktop; }
    // Who runs the boxes; none: each box's own exec.
    void setModalRunner(ModalRunner* runner) { modal_ = runner; }

    void showOutcome(const std::string& text, const std::string& folder) override;

    void processEvents() override;
    bool processesEvents() const override { return true; }
    void setBusy(bool busy) override;

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override;
    // A box "dlgPassword" with the question and a box that hides what is typed.
    Answer showPasswordQuestion(const std::string& text, Password& password,
                                const std::string& title) override;

private:
    // Runs the box with the busy pointer off: a question must not be answered under the
    // hourglass.
    void runBox(QDialog& box);

    QPointer<QWidget> parent_;
    Desktop* desktop_ = nullptr;
    ModalRunner* modal_ = nullptr;
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
