#pragma once

#include "ui/frm_main.h"

#include <memory>
#include <string>

namespace parcelo {

// The main program's start: the log and the working folders (beside the program, or the
// user's own when the program is installed: see resolveAppPaths), the options from
// config.xml, and the main window shown with the focus in the source file box. Returns no window
// when the program must end: config.xml missing (the fatal message and its log entry) or any other
// failure (the start-up failure message).
std::unique_ptr<frmMain> Main(const std::string& appFolder, const ShellServices& services);

} // namespace parcelo
