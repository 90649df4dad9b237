#include "ui/web_links.h"

#include "platform/host.h"
#include "platform/paths.h"
#include "ui/desktop.h"

namespace parcelo {

std::string makerSiteAddress(const std::string& makerWebPage, const std::string& path)
{
    std::string site = makerWebPage;
    while (!site.empty() && site.back() == '/')
        site.pop_back();
    return site + path;
}

void OpenWebPage(Host& host, Desktop& desktop, const std::string& address)
{
    if (desktop.openWebPage(address))
        return;
    host.message(Question::Notice,
                 "A Internet browser could not be started or " + address + " could not be accessed."
                     + CR + "Please open a browser and open " + address + ".",
                 Buttons::Ok, Icon::Critical);
}

void ExploreFolder(Host& host, Desktop& desktop, const std::string& folder)
{
    if (folderExists(folder) && desktop.openFolder(folder))
        return;
    host.message(Question::Notice, "There was an error in opening the specified folder.",
                 Buttons::Ok, Icon::Critical);
}

void StartSysInfo(Host& host, Desktop& desktop)
{
    const std::string tool = desktop.systemInfoTool();
    if (tool.empty() || !desktop.startProgram(tool))
        host.message(Question::Notice, "System Information Is Unavailable At This Time",
                     Buttons::Ok, Icon::None);
}

} // namespace parcelo
