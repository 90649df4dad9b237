#include "ui/qt_host.h"

#include "platform/password.h"
#include "ui/desktop.h"
#include "ui/web_links.h"

#include <QApplication>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

namespace parcelo {

namespace {

QMessageBox::StandardButtons standardButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        break;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// Questions whose Yes deletes or replaces files: a stray Enter must not answer them.
bool deletesFiles(Question kind)
{
    return kind == Question::DeleteSource || kind == Question::DeletePieces
           || kind == Question::Replace;
}

} // namespace

QtHost::~QtHost()
{
    if (busy_)
        QApplication::restoreOverrideCursor();
}

void QtHost::processEvents()
{
    QCoreApplication::processEvents();
}

void QtHost::setBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtHost::runBox(QDialog& box)
{
    const bool wasBusy = busy_;
    setBusy(false);
    if (modal_ != nullptr)
        modal_->runModal(box);
    else
        box.exec();
    setBusy(wasBusy);
}

Answer QtHost::showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                           const std::string& title)
{
    if (kind == Question::Stopped)
        return Answer::Ok;
    const auto box = makeMessageBox(kind, text, buttons, icon, title, parent_);
    runBox(*box);
    return answerFor(box->standardButton(box->clickedButton()), buttons);
}

Answer QtHost::showPasswordQuestion(const std::string& text, Password& password,
                                    const std::string& title)
{
    QInputDialog box(parent_);
    box.setObjectName(QStringLiteral("dlgPassword"));
    box.setWindowTitle(QString::fromStdString(title));
    box.setLabelText(QString::fromStdString(toDisplayText(text)));
    box.setTextEchoMode(QLineEdit::Password);
    box.setInputMethodHints(Qt::ImhHiddenText | Qt::ImhNoPredictiveText | Qt::ImhSensitiveData);
    runBox(box);
    // The typed text leaves the box at once; the box's own copy goes with it.
    QByteArray typed = box.textValue().toUtf8();
    box.setTextValue(QString());
    const bool given = box.result() == QDialog::Accepted && !typed.isEmpty();
    if (given)
        password.assign(
            std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())));
    wipeSecret(typed.data(), static_cast<std::size_t>(typed.size()));
    return given ? Answer::Ok : Answer::Cancel;
}

void QtHost::showOutcome(const std::string& text, const std::string& folder)
{
    if (desktop_ == nullptr || folder.empty()) {
        Host::showOutcome(text, folder);
        return;
    }
    const auto box = makeMessageBox(Question::Notice, text, Buttons::Ok, Icon::Information,
                                    kProductName, parent_);
    QPushButton* open = box->addButton(QStringLiteral("Open &Folder"), QMessageBox::ActionRole);
    open->setObjectName(QStringLiteral("cmdOpenFolder"));
    box->setDefaultButton(QMessageBox::Ok);
    runBox(*box);
    if (box->clickedButton() == open)
        ExploreFolder(*this, *desktop_, folder);
}

std::unique_ptr<QMessageBox> makeMessageBox(Question kind, const std::string& text, Buttons buttons,
                                            Icon icon, const std::string& title, QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromStdString(title));
    box->setText(QString::fromStdString(toDisplayText(text)));
    box->setTextFormat(Qt::PlainText);
    box->setIcon(boxIcon(icon));
    box->setStandardButtons(standardButtons(buttons));
    if (deletesFiles(kind) && box->button(QMessageBox::No))
        box->setDefaultButton(QMessageBox::No);
    if (kind == Question::JoinPlain && box->button(QMessageBox::Yes))
        box->setDefaultButton(QMessageBox::Yes); // the user picked the piece to join it
    return box;
}

Answer answerFor(QMessageBox::StandardButton pressed, Buttons buttons)
{
    switch (pressed) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        return cautiousAnswer(buttons);
    }
}

} // namespace parcelo
