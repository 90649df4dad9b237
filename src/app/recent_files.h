#pragma once

#include "app/log_file.h"
#include "app/registry.h"
#include "platform/recent_files.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace parcelo {

class Host;

// The three lists of recently used files.
enum class RecentKind { Split, Joined, Verified };

// "Split" and "Joined" select their lists; any other kind the verified list.
RecentKind recentKindFrom(const std::string& kind);

inline constexpr std::size_t kMaxRecentFiles = 4;

// The three "Recent ... Files" submenus of the main window; entries count from 1.
class RecentFilesMenu {
public:
    virtual ~RecentFilesMenu() = default;
    virtual void showEntry(RecentKind kind, int position, const std::string& caption,
                           const std::string& path) = 0;
    virtual void hideEntry(RecentKind kind, int position) = 0;
    // Hides the "--Recent ... Files--" entry for good.
    virtual void hidePlaceholder(RecentKind kind) = 0;
};

// The recent split, joined and verified files: most recent first, four at most, no two
// alike without regard to letter case. They persist in the store under
// Software\Norvane\Parcelo\Recent Files as "SpFileName 1" to "VfFileName 4". Every
// routine catches its own failures and logs them; none shows a message.
class RecentFiles : public RecentFilesSink {
public:
    RecentFiles(RegistryRoot root, LogWriter log, RecentFilesMenu* menu = nullptr);

    // Puts the file first in its list (dropping an earlier spelling and a fifth entry),
    // stores the list and reads it back.
    void AddRecentFile(const std::string& fileName, const std::string& kind) override;
    // Reads one list from the store and shows it.
    void LoadRecentFiles(const std::string& kind);
    // Shows one list in its menu.
    void ShowRecentFiles(const std::string& kind);
    // A menu entry was chosen and its path put into the pane: tells the user when the
    // file is gone.
    void RecentEntryChosen(Host& host, RecentKind kind, const std::string& path);

    const std::vector<std::string>& list(RecentKind kind) const;

private:
    std::vector<std::string>& listOf(RecentKind kind);

    RegistryRoot root_;
    LogWriter log_;
    RecentFilesMenu* menu_;
    std::array<std::vector<std::string>, 3> lists_;
};

} // namespace parcelo
