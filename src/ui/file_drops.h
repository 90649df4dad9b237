#pragma once

#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QMimeData;
class QWidget;

namespace parcelo {

// What a drop of local files and folders does: an empty action refuses the drop, so the
// pointer shows that it cannot be dropped there.
using DropAction = std::function<void()>;
using DropRule = std::function<DropAction(const std::vector<std::string>& paths)>;

// The local paths a drag carries (none for text or remote addresses).
std::vector<std::string> localPaths(const QMimeData& data);

// The widget takes drops of local paths by the rule, before its own handling (a text box
// would otherwise insert the address as text).
void acceptPathDrops(QWidget& widget, DropRule rule);

// One folder dropped fills the box, ending in a separator.
DropRule folderInto(QLineEdit& box);
// The first local file dropped fills the box.
DropRule fileInto(QLineEdit& box);
// The first rule that takes the drop.
DropRule firstOf(DropRule first, DropRule second);

} // namespace parcelo
