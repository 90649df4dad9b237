#include "app/recent_files.h"

#include "app/app_paths.h"
#include "app/text_case.h"
#include "platform/captions.h"
#include "platform/host.h"
#include "platform/paths.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace parcelo {

namespace {

const char* kindName(RecentKind kind)
{
    switch (kind) {
    case RecentKind::Split:
        return "Split";
    case RecentKind::Joined:
        return "Joined";
    case RecentKind::Verified:
        break;
    }
    return "Verified";
}

// The stored value names are the prefix and the position 1 to 4.
std::string valueName(RecentKind kind, std::size_t position)
{
    const char* prefix = kind == RecentKind::Split    ? "SpFileName "
                         : kind == RecentKind::Joined ? "JnFileName "
                                                      : "VfFileName ";
    return prefix + std::to_string(position);
}

const char* chosenEntryFailure(RecentKind kind)
{
    switch (kind) {
    case RecentKind::Split:
        return "There was an error in loading the recent split file.";
    case RecentKind::Joined:
        return "There was an error in loading the recent joined file.";
    case RecentKind::Verified:
        break;
    }
    return "There was an error in loading the recent verified file.";
}

std::string recentFilesKey()
{
    return std::string(kRegistryKeyPath) + "\\" + kRecentFilesKeyName;
}

} // namespace

RecentKind recentKindFrom(const std::string& kind)
{
    if (kind == "Split")
        return RecentKind::Split;
    if (kind == "Joined")
        return RecentKind::Joined;
    return RecentKind::Verified;
}

RecentFiles::RecentFiles(RegistryRoot root, LogWriter log, RecentFilesMenu* menu)
    : root_(std::move(root)), log_(std::move(log)), menu_(menu)
{
}

std::vector<std::string>& RecentFiles::listOf(RecentKind kind)
{
    return lists_[static_cast<std::size_t>(kind)];
}

const std::vector<std::string>& RecentFiles::list(RecentKind kind) const
{
    return lists_[static_cast<std::size_t>(kind)];
}

void RecentFiles::AddRecentFile(const std::string& fileName, const std::string& kind)
{
    try {
        const RecentKind selected = recentKindFrom(kind);
        auto& files = listOf(selected);
        // the name moves to the front, in place of the same name in any case
        const std::string lowered = lowerCase(fileName);
        auto same = std::find_if(files.begin(), files.end(), [&](const std::string& listed) {
            return lowerCase(listed) == lowered;
        });
        if (same == files.end())
            same = files.insert(files.end(), fileName);
        *same = fileName;
        std::rotate(files.begin(), same, same + 1);
        if (files.size() > kMaxRecentFiles)
            files.resize(kMaxRecentFiles);
        const std::string key = recentFilesKey();
        CreateRegistryKey(root_, key);
        for (std::size_t position = 1; position <= kMaxRecentFiles; ++position) {
            const std::size_t index = position - 1;
            SetRegistryString(root_, key, valueName(selected, position),
                              index < files.size() ? files[index] : std::string());
        }
        LoadRecentFiles(kindName(selected));
    } catch (const std::exception&) {
        log_("File could not be saved in the recent files list.");
    }
}

void RecentFiles::LoadRecentFiles(const std::string& kind)
{
    try {
        const RecentKind selected = recentKindFrom(kind);
        auto& files = listOf(selected);
        files.clear();
        for (std::size_t position = 1; position <= kMaxRecentFiles; ++position) {
            std::string path =
                GetRegistryString(root_, recentFilesKey(), valueName(selected, position), {});
            if (characterCount(path) > 2) // "C:" and the like are no entries
                files.push_back(std::move(path));
        }
        ShowRecentFiles(kindName(selected));
    } catch (const std::exception&) {
        log_("List of recent files could not be loaded.");
    }
}

void RecentFiles::ShowRecentFiles(const std::string& kind)
{
    if (!menu_)
        return;
    try {
        const RecentKind selected = recentKindFrom(kind);
        const auto& files = listOf(selected);
        const int count = static_cast<int>(files.size());
        for (int position = 1; position <= count; ++position) {
            const std::string& path = files[static_cast<std::size_t>(position - 1)];
            menu_->showEntry(selected, position, std::to_string(position) + ". " + path, path);
        }
        for (int position = count + 1; position <= static_cast<int>(kMaxRecentFiles); ++position)
            menu_->hideEntry(selected, position);
        if (count > 0)
            menu_->hidePlaceholder(selected);
    } catch (const std::exception&) {
        log_("List of recent files could not be loaded in the menu.");
    }
}

void RecentFiles::RecentEntryChosen(Host& host, RecentKind kind, const std::string& path)
{
    try {
        if (!fileExists(path))
            host.message(Question::Notice, "The file " + path + " could not be located.",
                         Buttons::Ok, Icon::None);
    } catch (const std::exception&) {
        log_(chosenEntryFailure(kind));
    }
}

} // namespace parcelo
