#pragma once

#include <QString>

#include <string>

namespace parcelo {

// Names the running application (for its settings and dialogs) and picks an icon theme
// that has the icons the windows use when the desktop names none.
void setUpApplication(const QString& name);

// The folder of the running program, with native separators: its files lie there.
std::string applicationFolder();

} // namespace parcelo
