#include "app/app_paths.h"

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/safe_output.h"

#include <QDir>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace parcelo {

namespace {

std::string userFolder(QStandardPaths::StandardLocation location, const char* below)
{
    const QString base = QStandardPaths::writableLocation(location);
    return QDir::cleanPath(base + QLatin1Char('/') + QLatin1String(below)).toStdString();
}

void makeFolders(const std::string& folder)
{
    std::error_code ignored; // a folder that cannot be made is reported where it is used
    std::filesystem::create_directories(toNativePath(folder), ignored);
}

void copyShippedConfig(const AppPaths& paths)
{
    const std::string shipped = shippedConfigPath(paths.appFolder);
    if (fileExists(paths.configFilePath) || !fileExists(shipped))
        return;
    try {
        const std::string text = readWholeFile(shipped);
        SafeOutput out(paths.configFilePath);
        out.file().write(text);
        out.commitWithoutReplacing();
    } catch (const RunError&) {
        // no copy: loading the configuration reports the missing file
    }
}

} // namespace

std::string logFolderOf(const AppPaths& paths)
{
    return fromNativePath(toNativePath(paths.logFilePath).parent_path());
}

std::string shippedConfigPath(const std::string& appFolder)
{
    return appFolder + kSeparator + "config.xml";
}

AppPaths appPathsFor(const std::string& appFolder)
{
    const std::string beside = appFolder + kSeparator;
    return {appFolder,
            shippedConfigPath(appFolder),
            beside + "Parcelo.log",
            beside + "Temp",
            beside + "PcxBr",
            beside + "PcxJn",
            false};
}

AppPaths userAppPathsFor(const std::string& appFolder)
{
    const std::string config = userFolder(QStandardPaths::GenericConfigLocation, "Parcelo");
    const std::string data = userFolder(QStandardPaths::GenericDataLocation, "Parcelo");
    const std::string home = QDir::homePath().toStdString() + "/Parcelo/";
    return {appFolder,
            config + "/config.xml",
            data + "/Parcelo.log",
            QDir::tempPath().toStdString(),
            home + "Pieces",
            home + "Joined",
            true};
}

AppPaths resolveAppPaths(const std::string& appFolder)
{
    if (fileExists(appFolder + kSeparator + kInstalledMarker))
        return userAppPathsFor(appFolder);
    return appPathsFor(appFolder);
}

void prepareAppFolders(const AppPaths& paths)
{
    for (const std::string* folder : {&paths.tempFolder, &paths.splitFolder, &paths.joinFolder})
        makeFolders(*folder);
    if (!paths.installed)
        return;
    makeFolders(logFolderOf(paths));
    makeFolders(std::filesystem::path(toNativePath(paths.configFilePath)).parent_path().string());
    copyShippedConfig(paths);
}

} // namespace parcelo
