#include "shell_fixture.h"

#include "ui/start_up.h"

#include <QDialog>

#include <sstream>

namespace parcelo::test {

bool FakeDesktop::openWebPage(const std::string& address)
{
    webPages.push_back(address);
    return succeed;
}

bool FakeDesktop::openFolder(const std::string& folder)
{
    folders.push_back(folder);
    return succeed;
}

bool FakeDesktop::openInEditor(const std::string& file)
{
    edited.push_back(file);
    return succeed;
}

bool FakeDesktop::startProgram(const std::string& program)
{
    started.push_back(program);
    return succeed;
}

namespace {

std::string next(std::deque<std::string>& answers)
{
    if (answers.empty())
        return {};
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

std::string FakeDialogs::openFile(QWidget*, const std::string& initialFolder)
{
    fileDialogStarts.push_back(initialFolder);
    return next(filesToPick);
}

std::string FakeDialogs::chooseFolder(QWidget*, const std::string& initialFolder)
{
    folderChooserStarts.push_back(initialFolder);
    return next(foldersToPick);
}

void FakeDialogs::runModal(QDialog& dialog)
{
    modalsShown.push_back(dialog.objectName().toStdString());
    dialog.show();
    if (onModal)
        onModal(dialog);
    dialog.close();
}

Shell::Shell()
    : appFolder(app.path().string()), paths(appPathsFor(appFolder)),
      registry(RegistryRoot::inFile(app.file("registry.ini")))
{
}

void Shell::installConfig()
{
    installConfig(readFile(PARCELO_SHIPPED_CONFIG));
}

void Shell::installConfig(const std::string& text)
{
    writeFile(paths.configFilePath, text);
}

std::unique_ptr<frmMain> Shell::start()
{
    auto window = Main(appFolder, {host, desktop, dialogs, registry});
    if (window)
        window->setSaveOptionsPause({});
    return window;
}

std::vector<std::string> Shell::logLines() const
{
    std::vector<std::string> lines;
    std::istringstream log(readFile(paths.logFilePath));
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

} // namespace parcelo::test
