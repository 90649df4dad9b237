#pragma once

#include <string>

namespace parcelo {

class Desktop;
class Host;

// The address users write to when the programs fail them.
inline constexpr const char* kSupportEmail = "support@norvane.example";

// An address on the maker's site: its home page without a final "/" and the path.
std::string makerSiteAddress(const std::string& makerWebPage, const std::string& path);

// Opens a web page in the browser; says so when it cannot be opened.
void OpenWebPage(Host& host, Desktop& desktop, const std::string& address);

// Opens a folder in the file manager; says so when it cannot be opened.
void ExploreFolder(Host& host, Desktop& desktop, const std::string& folder);

// Starts the system information tool; says so when there is none.
void StartSysInfo(Host& host, Desktop& desktop);

} // namespace parcelo
