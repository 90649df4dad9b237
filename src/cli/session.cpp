#include "cli/session.h"

#include "app/app_paths.h"
#include "platform/job_progress.h"
#include "platform/paths.h"

#include <algorithm>
#include <filesystem>

namespace parcelo::cli {

namespace {

WorkPaneBindings bindingsFor(CollectedFiles& files)
{
    const PaneBindings pane{nullptr, nullptr, &files};
    return {pane, pane, pane};
}

} // namespace

std::string scratchFolder()
{
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return resolveAppPaths(ec ? std::string(".") : fromNativePath(self.parent_path())).tempFolder;
}

int CollectedFiles::addRow(const std::string& text, FileRowKind kind)
{
    if (kind != FileRowKind::Piece)
        return -1;
    rows.push_back({text, {}});
    return static_cast<int>(rows.size()) - 1;
}

void CollectedFiles::setRowSize(int row, const std::string& size)
{
    if (row >= 0)
        rows.at(static_cast<std::size_t>(row)).second = size;
}

Session::Session(const Arguments& a)
    : host(a.yes ? AnswerPolicy::AlwaysYes : AnswerPolicy::AskOnTerminal,
           a.source == "-" && a.verb == Verb::Split ? nullptr : stdin, a.quiet),
      engines(host, bindingsFor(files), scratchFolder())
{
    engines.compressor().SetLevelOption(
        a.level.value_or(CompressionLevelOption::HighestCompression));
}

void finish(ConsoleHost& host, bool succeeded, const std::string& result,
            const std::vector<std::string>& notices)
{
    std::vector<HeldMessage> held = host.takeMessages();
    if (!succeeded) {
        for (const HeldMessage& message : held)
            host.error(message.text);
        return;
    }
    const auto outcome =
        std::find_if(held.rbegin(), held.rend(), [](const HeldMessage& m) { return !m.failure; });
    std::string line = result;
    if (outcome != held.rend()) {
        if (line.empty())
            line = outcome->text;
        held.erase(std::next(outcome).base());
    }
    for (const HeldMessage& message : held) {
        if (message.failure)
            host.error(message.text);
        else
            host.notice(message.text);
    }
    for (const std::string& notice : notices)
        host.notice(notice);
    host.result(line);
}

std::string sizeText(const std::string& path)
{
    try {
        std::error_code ec;
        const auto size = std::filesystem::file_size(toNativePath(path), ec);
        return ec ? std::string() : byteSizeText(size);
    } catch (const std::exception&) {
        return {}; // no medium in the diskette drive
    }
}

} // namespace parcelo::cli
