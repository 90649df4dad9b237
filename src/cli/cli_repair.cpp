#include "cli/cli_repair.h"

#include "cli/cli_commands.h"
#include "cli/session.h"
#include "format/set_pieces.h"
#include "platform/job_progress.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "verify/set_repair.h"

#include <memory>

namespace parcelo::cli {

namespace {

// The progress of a step over the set: the bytes read and written so far.
class StepProgress {
public:
    StepProgress(Host& host, const std::string& setName) : host_(host), setName_(setName) {}
    void start(const char* verb)
    {
        done_ = 0;
        meter_ = std::make_unique<JobProgress>(host_, nullptr, verb, setName_, 0);
    }
    void advance(std::uint64_t bytes) { meter_->advanceTo(done_ += bytes); }

private:
    Host& host_;
    std::string setName_;
    std::uint64_t done_ = 0;
    std::unique_ptr<JobProgress> meter_;
};

std::string rebuiltNames(const std::vector<std::string>& paths)
{
    std::string names;
    for (const std::string& path : paths)
        names += (names.empty() ? "" : ", ") + GetFileNameFromPath(path);
    return names;
}

int repairSet(Session& s, const std::string& base)
{
    StepProgress progress(s.host, GetFileNameFromPath(base));
    progress.start("Checking");
    SetRepair set(base, {}, [&progress](std::uint64_t bytes) { progress.advance(bytes); });
    const SetCondition& condition = set.condition();
    if (!condition.notice.empty())
        s.host.notice(condition.notice);
    if (!condition.hasRecovery) {
        s.host.error("no recovery pieces of this set: " + base);
        return kExitFailure;
    }
    const RepairOutlook outlook = set.outlook();
    if (outlook.state == SetOutlook::NotRepairable) {
        s.host.error("the set " + outlook.verdict);
        return kExitNotRepairable;
    }
    if (condition.complete()) {
        s.host.result("the set " + outlook.verdict + ": nothing to rebuild");
        return kExitSuccess;
    }
    progress.start("Repairing");
    const std::vector<std::string> rebuilt = set.rebuild();
    s.host.result("repaired the set " + base + ": rebuilt " + rebuiltNames(rebuilt));
    return kExitSuccess;
}

} // namespace

int repair(const Arguments& a)
{
    Session s(a);
    try {
        return repairSet(s, RemoveFileExtension(a.source));
    } catch (const RunError& error) {
        s.host.error(error.what());
        return kExitFailure;
    } catch (const JobStopped&) {
        s.host.error(kCancelledByUser);
        return kExitFailure;
    }
}

} // namespace parcelo::cli
