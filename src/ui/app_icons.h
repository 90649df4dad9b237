#pragma once

#include <QIcon>
#include <QStyle>

namespace parcelo {

// The programs' own icon: a page cut into three pieces.
QIcon programIcon();

// An icon of the desktop theme, or the style's standard icon when the theme lacks it.
QIcon themedIcon(const char* themeName, QStyle::StandardPixmap fallback);

} // namespace parcelo
