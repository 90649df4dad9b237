// Parcelo, the windowed program: starts in Main and runs on the main window's events.
#include "platform/paths.h"
#include "ui/application.h"
#include "ui/desktop.h"
#include "ui/file_opening.h"
#include "ui/main_dialogs.h"
#include "ui/qt_host.h"
#include "ui/start_up.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    parcelo::setUpApplication(QStringLiteral("Parcelo"));

    parcelo::QtHost host;
    parcelo::SystemDesktop desktop;
    host.setDesktop(&desktop);
    parcelo::QtMainDialogs dialogs(host);
    auto window = parcelo::Main(parcelo::applicationFolder(), {host, desktop, dialogs});
    if (!window)
        return 1;
    host.setParentWidget(window.get());
    const QStringList arguments = QCoreApplication::arguments();
    window->openFiles(parcelo::commandLineFiles(arguments), parcelo::commandLinePane(arguments));
    window->setOnEnded([] { QCoreApplication::quit(); });
    return QApplication::exec();
}
