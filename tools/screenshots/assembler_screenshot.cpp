// Saves a picture of Parcelo Assembler's window (and its instructions) as PNG files into
// the folder given, for the README. Run it under Xvfb:
//   xvfb-run -s "-screen 0 1280x800x24" build/bin/assembler_screenshot docs
#include "assembler/frm_instructions.h"
#include "assembler/frm_main.h"
#include "assembler/start_up.h"
#include "platform/host.h"
#include "ui/desktop.h"

#include "screenshot.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace parcelo;
using screenshot::save;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = screenshot::outputFolder(argc, argv, "assembler_screenshot");
    if (folder.isEmpty())
        return 2;
    // Started beside a first piece, so that it shows no warning.
    QTemporaryDir appDir;
    QFile piece(appDir.filePath(QStringLiteral("holiday.avi.001")));
    if (!piece.open(QIODevice::WriteOnly) || piece.write("piece") != 5)
        return 1;
    piece.close();
    SilentHost host;
    SystemDesktop desktop;
    ExecModalRunner modal;
    auto window = assembler::Main(appDir.path().toStdString(), {host, desktop, modal, {}});
    // the boxes as a recipient would see them, not the temporary folder
    window->Text5->setText(QStringLiteral("/home/ann/Downloads/holiday.avi.001"));
    window->Text6->setText(QStringLiteral("/home/ann/Downloads/"));
    bool saved = save(*window, folder + QStringLiteral("assembler.png"));
    assembler::frmInstructions instructions(window->values().MakerWebPage, window.get());
    instructions.show();
    saved = save(instructions, folder + QStringLiteral("assembler-instructions.png")) && saved;
    return saved ? 0 : 1;
}
