#include "ui/start_up.h"

#include "app/log_file.h"
#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "ui/split_pane.h"
#include "ui/web_links.h"

#include <QLineEdit>

#include <exception>
#include <new>

namespace parcelo {

namespace {

// Classic numbers for failures that carry none of their own.
constexpr int kOutOfMemory = 7;
constexpr int kInternalError = 51;

void reportStartUpFailure(Host& host, int number, const std::string& description)
{
    host.message(Question::Notice,
                 std::string("Could not start application properly.") + CR + std::to_string(number)
                     + ": " + description + "." + CR + "If the problem persists, please contact "
                     + kSupportEmail + ".",
                 Buttons::Ok, Icon::Critical);
}

std::unique_ptr<frmMain> startUp(const std::string& appFolder, const ShellServices& services)
{
    const AppPaths paths = resolveAppPaths(appFolder);
    prepareAppFolders(paths);
    if (!fileExists(paths.logFilePath))
        WriteLogEntry(paths.logFilePath, kCreatingLogEntry);

    ParceloOptions options;
    ExploreMenu explore;
    const ConfigStatus loaded =
        LoadConfiguration(paths, options, explore, services.host, logWriterFor(paths.logFilePath));
    if (loaded.number == kConfigMissing)
        return nullptr;
    if (!loaded.ok())
        throw RunError(loaded.number, loaded.description);

    auto window = std::make_unique<frmMain>(paths, services);
    window->applyOptions(options, explore);
    window->show();
    window->activateWindow();
    window->splitPane->Text1->setFocus();
    return window;
}

} // namespace

std::unique_ptr<frmMain> Main(const std::string& appFolder, const ShellServices& services)
{
    try {
        return startUp(appFolder, services);
    } catch (const RunError& error) {
        reportStartUpFailure(services.host, error.number(), error.description());
    } catch (const std::bad_alloc&) {
        reportStartUpFailure(services.host, kOutOfMemory, "Out of memory");
    } catch (const std::exception& error) {
        reportStartUpFailure(services.host, kInternalError, error.what());
    }
    return nullptr;
}

} // namespace parcelo
