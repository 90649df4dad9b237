#pragma once

#include <string>

namespace parcelo {

// Where the main program keeps its registry values.
inline constexpr const char* kRegistryKeyPath = "Software\\Norvane\\Parcelo";
inline constexpr const char* kRecentFilesKeyName = "Recent Files";

// The name of the marker file that `cmake --install` (and so the package) puts beside the
// installed programs. Its presence alone tells an installed program from a build.
inline constexpr const char* kInstalledMarker = "parcelo.installed";

// The files and folders the programs use, all fixed at start-up. Run from a build folder,
// everything lives beside the program; installed (the marker beside it), the user's own
// folders take over, whoever runs it, root too.
struct AppPaths {
    std::string appFolder;      // the executable's folder, without a final separator
    std::string configFilePath; // appFolder/config.xml, or the user's copy of it
    std::string logFilePath;    // appFolder/Parcelo.log, or in the user's data folder
    std::string tempFolder;     // compressed files before a diskette split
    std::string splitFolder;    // the default folder for pieces
    std::string joinFolder;     // the default folder for joined files
    bool installed = false;     // true when the user's folders are in use
};

// Everything beside the program in appFolder.
AppPaths appPathsFor(const std::string& appFolder);

// The user's configuration, data, temporary and home folders; the shipped files stay in
// appFolder.
AppPaths userAppPathsFor(const std::string& appFolder);

// userAppPathsFor when the installed marker lies beside the program, else appPathsFor.
AppPaths resolveAppPaths(const std::string& appFolder);

// Why the user's configuration folder of an installed program cannot be used ("The
// configuration folder FOLDER cannot be used: REASON."), trying to make it when it is
// missing; "" when it can, or when the program keeps its options beside itself.
std::string configFolderProblem(const AppPaths& paths);

// The folder that holds the log file: the application folder the log messages name.
std::string logFolderOf(const AppPaths& paths);

// The shipped config.xml beside the program.
std::string shippedConfigPath(const std::string& appFolder);

// Makes the folders the paths name, and for an installed program copies the shipped
// config.xml to the user's configuration folder when the user has none yet. A folder
// that cannot be made is left for the command that needs it to report.
void prepareAppFolders(const AppPaths& paths);

} // namespace parcelo
