#include "verify/set_repair.h"

#include "platform/host.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "recovery/recovery.h"
#include "verify/verify_common.h"

namespace parcelo {

namespace {

std::string files(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " file" : " files");
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

} // namespace

SetVerdict setVerdict(bool verified, const SetCondition& condition)
{
    if (verified)
        return SetVerdict::Intact;
    if (condition.hasRecovery && condition.repairable && !condition.complete())
        return SetVerdict::CanBeRepaired;
    return SetVerdict::CannotBeRepaired;
}

std::string setVerdictText(SetVerdict verdict, const SetCondition& condition)
{
    switch (verdict) {
    case SetVerdict::Intact:
        break;
    case SetVerdict::CanBeRepaired:
        return "The set can be repaired: "
               + files(condition.lostPieces.size() + condition.lostRecovery.size())
               + " damaged or missing. Repair rebuilds them in place.";
    case SetVerdict::CannotBeRepaired:
        if (!condition.hasRecovery)
            return "The set cannot be repaired: no recovery pieces that fit it were found.";
        return "The set " + repairVerdict(condition) + ".";
    }
    return "The set is intact.";
}

CommandOutcome cmdRepair_Click(VerifyPaneValues& pane, VerifyServices& services,
                               std::vector<std::string>& rebuilt)
{
    Host& host = services.host;
    rebuilt.clear();
    if (auto refused = verify_detail::refusePickedPath(pane, host, "\\"))
        return *refused;
    const std::string base = RemoveFileExtension(pane.Text8);
    RepairDisplay display(services.pane, GetFileNameFromPath(base));
    host.setBusy(true);
    try {
        RecoveryOptions options;
        options.afterStripe = [&host] { host.processEvents(); };
        const SetCondition condition = examineSet(base, options);
        const SetVerdict verdict =
            setVerdict(condition.hasRecovery && condition.complete(), condition);
        if (verdict != SetVerdict::CanBeRepaired) {
            host.setBusy(false);
            const std::string text = setVerdictText(verdict, condition);
            display.end(text);
            host.message(Question::Notice, text, Buttons::Ok,
                         verdict == SetVerdict::Intact ? Icon::Information : Icon::Critical);
            return {verdict == SetVerdict::Intact, {}, {}};
        }
        rebuilt = repairSet(base, condition, options);
    } catch (const RunError& error) {
        host.setBusy(false);
        display.end({});
        reportFailure(host, "The set could not be repaired: " + error.description());
        return {};
    }
    host.setBusy(false);
    display.end("Rebuilt " + files(rebuilt.size()) + ": the set is intact.");
    std::string names;
    for (const std::string& path : rebuilt)
        names += (names.empty() ? "" : ", ") + GetFileNameFromPath(path);
    host.showOutcome("Rebuilt from the recovery pieces: " + names + "." + CR + "The set is intact.",
                     GetFolderFromPath(pane.Text8));
    return {true, {}, {}};
}

} // namespace parcelo
