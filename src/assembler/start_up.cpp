#include "assembler/start_up.h"

#include "assembler/find_file.h"
#include "platform/paths.h"

#include <QLineEdit>

namespace parcelo::assembler {

std::unique_ptr<frmMain> Main(const std::string& appFolder, const AssemblerServices& services)
{
    const std::string folder = withTrailingSeparator(appFolder);
    AssemblerValues values = assemblerValues();
    const bool found = FindFileInFolder(folder, kFirstPiecePattern, values.FirstPieceName);

    auto window = std::make_unique<frmMain>(values, services);
    if (found) {
        window->Text5->setText(QString::fromStdString(folder + values.FirstPieceName));
        window->Text6->setText(QString::fromStdString(window->joinedFileFolder(folder)));
    }
    window->show();
    window->activateWindow();
    return window;
}

} // namespace parcelo::assembler
