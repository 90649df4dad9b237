// Parcelo, the windowed program: starts in Main and runs on the main window's events.
#include "platform/paths.h"
#include "ui/desktop.h"
#include "ui/file_opening.h"
#include "ui/main_dialogs.h"
#include "ui/qt_host.h"
#include "ui/start_up.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parcelo"));
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    if (QIcon::fallbackThemeName().isEmpty()
        || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));

    parcelo::QtHost host;
    parcelo::SystemDesktop desktop;
    parcelo::QtMainDialogs dialogs(host);
    const std::string appFolder =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    auto window = parcelo::Main(appFolder, {host, desktop, dialogs});
    if (!window)
        return 1;
    host.setParentWidget(window.get());
    window->openFiles(parcelo::commandLineFiles(QCoreApplication::arguments()));
    window->setOnEnded([] { QCoreApplication::quit(); });
    return QApplication::exec();
}
