#include "shell_fixture.h"

#include <sstream>

namespace parcelo::test {

std::string FakeDialogs::pick(const std::string& start)
{
    starts.push_back(start);
    if (picks.empty())
        return {};
    std::string answer = picks.front();
    picks.pop_front();
    return answer;
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

std::unique_ptr<frmMain> Shell::start(const std::string& programFolder)
{
    auto window =
        Main(programFolder.empty() ? appFolder : programFolder, {host, desktop, dialogs, registry});
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

void WindowTest::SetUp()
{
    shell.installConfig();
    window = shell.start();
    ASSERT_NE(window, nullptr);
}

void typeAndClick(const Typing& boxes, QAbstractButton* button)
{
    for (const auto& [box, text] : boxes) {
        box->clear();
        QTest::keyClicks(box, QString::fromStdString(text));
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace parcelo::test
