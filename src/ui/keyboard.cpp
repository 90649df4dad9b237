#include "ui/keyboard.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace parcelo {

void pressOnEnter(std::initializer_list<QLineEdit*> boxes, QAbstractButton* command)
{
    for (QLineEdit* box : boxes)
        QObject::connect(box, &QLineEdit::returnPressed, command, [command] {
            if (command->isEnabled())
                command->click();
        });
}

void addWindowShortcut(QWidget& window, const QKeySequence& keys, std::function<void()> run)
{
    auto* action = new QAction(&window);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &window, [run = std::move(run)] { run(); });
    window.addAction(action);
}

QString accessibleNameFromLabel(const QString& label)
{
    QString name = label;
    name.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

void nameAfterBuddies(QWidget& root)
{
    for (QLabel* label : root.findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(accessibleNameFromLabel(label->text()));
    }
}

} // namespace parcelo
