#include "ui/application.h"

#include "platform/file_system.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace parcelo {

void setUpApplication(const QString& name)
{
    QApplication::setApplicationName(name);
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    ignoreFileSizeSignal();
    if (QIcon::fallbackThemeName().isEmpty()
        || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

std::string applicationFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
}

} // namespace parcelo
