#include "app/app_paths.h"

#include "platform/paths.h"

namespace parcelo {

AppPaths appPathsFor(const std::string& appFolder)
{
    return {appFolder, appFolder + kSeparator + "config.xml",
            appFolder + kSeparator + "Parcelo.log"};
}

} // namespace parcelo
