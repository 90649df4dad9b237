// Saves a picture of Parcelo Assembler's window (and its instructions) as PNG files into
// the folder given, for the README. Run it under Xvfb:
//   xvfb-run -s "-screen 0 1280x800x24" build/bin/assembler_screenshot docs
#include "assembler/frm_instructions.h"
#include "assembler/frm_main.h"

#include "assembler_fixture.h"

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

using namespace parcelo;

namespace {

bool save(QWidget& widget, const QString& file)
{
    test::settle();
    return widget.grab().save(file, "PNG");
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: assembler_screenshot FOLDER\n");
        return 2;
    }
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
    test::AssemblerRun run;
    test::writeFile(run.folder.file("holiday.avi.001"), "piece");
    auto window = run.start();
    // the boxes as a recipient would see them, not the temporary folder
    window->Text5->setText(QStringLiteral("/home/ann/Downloads/holiday.avi.001"));
    window->Text6->setText(QStringLiteral("/home/ann/Downloads/"));
    bool saved = save(*window, folder + "assembler.png");
    assembler::frmInstructions instructions(window->values().MakerWebPage, window.get());
    instructions.show();
    saved = save(instructions, folder + "assembler-instructions.png") && saved;
    return saved ? 0 : 1;
}
