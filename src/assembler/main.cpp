// Parcelo Assembler: joins a set of split files from the folder it is run in.
#include "app/app_paths.h"
#include "assembler/start_up.h"
#include "ui/application.h"
#include "ui/desktop.h"
#include "ui/qt_host.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    parcelo::setUpApplication(QStringLiteral("Parcelo Assembler"));

    parcelo::QtHost host;
    parcelo::SystemDesktop desktop;
    host.setDesktop(&desktop);
    parcelo::ExecModalRunner modal;
    const std::string appFolder = parcelo::applicationFolder();
    auto window = parcelo::assembler::Main(
        appFolder, {host, desktop, modal, parcelo::userAppPathsFor(appFolder).joinFolder});
    host.setParentWidget(window.get());
    window->setOnEnded([] { QCoreApplication::quit(); });
    return QApplication::exec();
}
