// Parcelo Assembler: joins a set of split files from the folder it is run in.
#include "assembler/start_up.h"
#include "ui/desktop.h"
#include "ui/qt_host.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parcelo Assembler"));
    QApplication::setOrganizationName(QStringLiteral("Norvane"));
    if (QIcon::fallbackThemeName().isEmpty()
        || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));

    parcelo::QtHost host;
    parcelo::SystemDesktop desktop;
    parcelo::ExecModalRunner modal;
    const std::string appFolder =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    auto window = parcelo::assembler::Main(appFolder, {host, desktop, modal});
    host.setParentWidget(window.get());
    window->setOnEnded([] { QCoreApplication::quit(); });
    return QApplication::exec();
}
