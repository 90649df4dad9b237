#include "verify/set_repair.h"

#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "recovery/recovery.h"
#include "verify/verify_common.h"

namespace parcelo {

namespace {

constexpr const char* kIsIntact = "is intact";

std::string files(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

// The notice of recovery pieces that were not used, on a line of its own; "" when none.
std::string noticeLine(const std::string& notice)
{
    return notice.empty() ? std::string() : CR + notice;
}

// While the set is rebuilt the pane's bar runs as a busy bar and its label names the job;
// at the end the bar goes and the label says how it ended.
class RepairDisplay {
public:
    RepairDisplay(const PaneBindings& pane, const std::string& setName)
        : bar_(asProgressBar(pane.progressBar)), label_(asLabel(pane.statusLabel))
    {
        say("Repairing " + setName + "...");
        if (bar_) {
            maximum_ = bar_->maximum();
            bar_->setMaximum(0);
            bar_->setVisible(true);
        }
    }
    RepairDisplay(const RepairDisplay&) = delete;
    RepairDisplay& operator=(const RepairDisplay&) = delete;
    ~RepairDisplay()
    {
        if (bar_)
            end({});
    }

    void end(const std::string& caption)
    {
        if (bar_) {
            bar_->setVisible(false);
            bar_->setMaximum(maximum_);
            bar_ = nullptr;
        }
        say(caption);
    }

private:
    void say(const std::string& caption)
    {
        if (label_)
            label_->setCaption(caption);
    }

    ProgressBarBinding* bar_;
    LabelBinding* label_;
    int maximum_ = 100;
};

// Says why a set is left alone, that it is intact or cannot be repaired; true when intact.
bool sayLeftAlone(Host& host, RepairDisplay& display, const RepairOutlook& outlook,
                  const std::string& notice)
{
    host.setBusy(false);
    const std::string text = verdictLine(outlook);
    display.end(text);
    const bool intact = outlook.state == SetOutlook::Intact;
    host.message(Question::Notice, text + noticeLine(notice), Buttons::Ok,
                 intact ? Icon::Information : Icon::Critical);
    return intact;
}

std::string rebuiltText(const std::vector<std::string>& rebuilt, const std::string& notice)
{
    std::string names;
    for (const std::string& path : rebuilt)
        names += (names.empty() ? "" : ", ") + GetFileNameFromPath(path);
    return "Rebuilt from the recovery pieces: " + names + "." + CR
           + verdictLine({SetOutlook::Intact, kIsIntact}) + noticeLine(notice);
}

} // namespace

std::string verdictLine(const RepairOutlook& outlook)
{
    return "The set " + outlook.verdict + ".";
}

RepairOutlook repairOutlook(bool verified, const SetCondition& condition)
{
    if (verified)
        return {SetOutlook::Intact, kIsIntact};
    if (!condition.hasRecovery || !condition.repairable)
        return {SetOutlook::NotRepairable, repairVerdict(condition)};
    if (!condition.complete())
        return {SetOutlook::Repairable, repairVerdict(condition)};
    // the recovery pieces find whole what the other checks find damaged
    return {SetOutlook::NotRepairable,
            "cannot be repaired: its recovery pieces find nothing to rebuild"};
}

SetRepair::SetRepair(const std::string& basePath, std::function<void()> afterStripe,
                     std::function<void(std::uint64_t)> bytesDone)
    : base_(basePath), witness_(basePath)
{
    options_.afterStripe = std::move(afterStripe);
    options_.bytesDone = std::move(bytesDone);
    options_.witness = &witness_;
    condition_ = examineSet(base_, options_);
}

RepairOutlook SetRepair::outlook() const
{
    return repairOutlook(condition_.hasRecovery && condition_.complete(), condition_);
}

std::vector<std::string> SetRepair::rebuild()
{
    return repairSet(base_, condition_, options_);
}

CommandOutcome repairCommand(VerifyRequest& request, VerifyServices& services,
                             std::vector<std::string>& rebuilt)
{
    Host& host = services.host;
    rebuilt.clear();
    if (auto refused = verify_detail::refusePickedPath(request, host, "\\"))
        return *refused;
    const std::string base = RemoveFileExtension(request.piecePath);
    RepairDisplay display(services.pane, GetFileNameFromPath(base));
    host.setBusy(true);
    std::string notice;
    try {
        SetRepair repair(base, [&host] { host.processEvents(); });
        notice = repair.condition().notice;
        if (const RepairOutlook outlook = repair.outlook(); outlook.state != SetOutlook::Repairable)
            return {sayLeftAlone(host, display, outlook, notice), {}, {}};
        rebuilt = repair.rebuild();
    } catch (const RunError& error) {
        host.setBusy(false);
        display.end({});
        reportFailure(host, "The set could not be repaired: " + error.description());
        return {};
    }
    host.setBusy(false);
    display.end("Rebuilt " + files(rebuilt.size()) + ": the set is intact.");
    host.showOutcome(rebuiltText(rebuilt, notice), GetFolderFromPath(request.piecePath));
    return {true, {}, {}};
}

} // namespace parcelo
