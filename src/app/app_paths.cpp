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

// The user's folder of a kind, with `below` under it. A relative path in the variable that
// names it is no such folder (the XDG rules): the default under home is used instead.
std::string userFolder(QStandardPaths::StandardLocation location, const char* variable,
                       const char* defaultBelowHome, const char* below)
{
    QString base = QStandardPaths::writableLocation(location);
    if (const QString named = qEnvironmentVariable(variable);
        !named.isEmpty() && QDir::isRelativePath(named))
        base = QDir::homePath() + QLatin1Char('/') + QLatin1String(defaultBelowHome);
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
        SafeOutput out(paths.configFilePath, Durability::Always);
        out.file().write(text);
        out.commitWithoutReplacing();
    } catch (const RunError&) {
        // no copy: loading the configuration reports the missing file
    }
}

} // namespace

std::string configFolderProblem(const AppPaths& paths)
{
    if (!paths.installed)
        return {};
    const std::filesystem::path folder =
        std::filesystem::path(toNativePath(paths.configFilePath)).parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string reason;
    if (error)
        reason = error.message();
    else if (!folderExists(fromNativePath(folder)))
        reason = "it is not a folder";
    else if (!isWritable(fromNativePath(folder)))
        reason = "it cannot be written";
    return reason.empty() ? reason
                          : "The configuration folder " + fromNativePath(folder)
                                + " cannot be used: " + reason + ".";
}

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
    const std::string config =
        userFolder(QStandardPaths::GenericConfigLocation, "XDG_CONFIG_HOME", ".config", "Parcelo");
    const std::string data =
        userFolder(QStandardPaths::GenericDataLocation, "XDG_DATA_HOME", ".local/share", "Parcelo");
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
