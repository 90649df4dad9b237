#include "platform/explore_menu.h"

#include <algorithm>
#include <cctype>

namespace parcelo {

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool sameFolder(const std::string& a, const std::string& b)
{
    return lowered(a) == lowered(b);
}

std::string withoutTrailingSeparator(const std::string& folder)
{
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder.substr(0, folder.size() - 1);
    return folder;
}

bool startsWithA(const std::string& folder)
{
    return !folder.empty() && std::tolower(static_cast<unsigned char>(folder[0])) == 'a';
}

void show(ExploreEntry& entry, const std::string& folder)
{
    entry.caption = folder;
    entry.tag = folder;
    entry.visible = true;
}

} // namespace

void offerSplitFolder(ExploreMenu& menu, const std::string& destination)
{
    const std::string folder = withoutTrailingSeparator(destination);
    if (sameFolder(folder, menu.entry(1).tag) || sameFolder(folder, menu.entry(2).tag)
        || startsWithA(folder))
        return;
    ExploreEntry& third = menu.entry(3);
    if (third.visible && third.tag != folder && !menu.entry(4).visible)
        show(menu.entry(4), third.tag);
    show(third, folder);
}

void offerJoinFolder(ExploreMenu& menu, const std::string& destination)
{
    const std::string folder = withoutTrailingSeparator(destination);
    const int target = menu.entry(3).visible ? 4 : 3;
    if (sameFolder(folder, menu.entry(2).tag) || sameFolder(folder, menu.entry(1).tag)
        || startsWithA(folder) || folder == menu.entry(3).tag)
        return;
    show(menu.entry(target), folder);
}

} // namespace parcelo
