// Parcelo Assembler: joins a set of split files from the folder it is run in.
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
    parcelo::ExecModalRunner modal;
    auto window = parcelo::assembler::Main(parcelo::applicationFolder(), {host, desktop, modal});
    host.setParentWidget(window.get());
    window->setOnEnded([] { QCoreApplication::quit(); });
    return QApplication::exec();
}
