#pragma once

#include <QString>

#include <string>

namespace parcelo {

// Names the running application (for its settings and dialogs), picks an icon theme
// that has the icons the windows use when the desktop names none, and lets a write past a
// file size limit fail as an error instead of ending the program.
void setUpApplication(const QString& name);

// The folder of the running program, with native separators: its files lie there.
std::string applicationFolder();

} // namespace parcelo
