#pragma once

#include <array>
#include <string>

namespace parcelo {

// The Explore menu's folder entries 1 to 4: 1 and 2 hold the default split and join
// output folders, 3 and 4 the other output folders used since start-up.
struct ExploreEntry {
    std::string caption;
    std::string tag; // the folder the entry opens
    bool visible = false;
};

struct ExploreMenu {
    std::array<ExploreEntry, 5> entries; // index 0 unused, so entries[i] is entry i

    ExploreEntry& entry(int i) { return entries.at(static_cast<std::size_t>(i)); }
    const ExploreEntry& entry(int i) const { return entries.at(static_cast<std::size_t>(i)); }
};

// The destination folder of a split offered to the menu: it takes entry 3, moving an
// earlier entry 3 to entry 4 while entry 4 is still hidden.
void offerSplitFolder(ExploreMenu& menu, const std::string& destination);

// The destination folder of a join offered to the menu: entry 3 while it is hidden,
// entry 4 otherwise.
void offerJoinFolder(ExploreMenu& menu, const std::string& destination);

} // namespace parcelo
