#pragma once

#include <string>

namespace parcelo {

// Where the main program keeps its registry values.
inline constexpr const char* kRegistryKeyPath = "Software\\Norvane\\Parcelo";
inline constexpr const char* kRecentFilesKeyName = "Recent Files";

// The files beside the main program, all fixed from its folder at start-up.
struct AppPaths {
    std::string appFolder;      // the executable's folder, without a final separator
    std::string configFilePath; // appFolder/config.xml
    std::string logFilePath;    // appFolder/Parcelo.log
};

AppPaths appPathsFor(const std::string& appFolder);

} // namespace parcelo
