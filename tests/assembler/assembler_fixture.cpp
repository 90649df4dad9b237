#include "assembler_fixture.h"

#include "assembler/start_up.h"

#include <QCoreApplication>
#include <QDialog>

namespace parcelo::test {

bool RecordingDesktop::openWebPage(const std::string& address)
{
    webPages.push_back(address);
    return true;
}

bool RecordingDesktop::openFolder(const std::string& folder)
{
    opened.push_back(folder);
    return true;
}

bool RecordingDesktop::openInEditor(const std::string& file)
{
    opened.push_back(file);
    return true;
}

bool RecordingDesktop::startProgram(const std::string& program)
{
    opened.push_back(program);
    return true;
}

void InspectingModalRunner::runModal(QDialog& dialog)
{
    shown.push_back(dialog.objectName().toStdString());
    dialog.show();
    if (onModal)
        onModal(dialog);
    dialog.close();
}

std::unique_ptr<assembler::frmMain> AssemblerRun::start()
{
    return assembler::Main(appFolder(), {host, desktop, modal});
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace parcelo::test
