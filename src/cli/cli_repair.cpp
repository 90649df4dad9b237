#include "cli/cli_repair.h"

#include "cli/cli_commands.h"
#include "cli/session.h"
#include "integrity/checksum_witness.h"
#include "platform/job_progress.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "recovery/recovery.h"

#include <memory>

namespace parcelo::cli {

namespace {

// The progress of a step over the set: the bytes read and written so far.
class StepProgress {
public:
    StepProgress(Host& host, RecoveryOptions& options, const std::string& setName)
        : host_(host), setName_(setName)
    {
        options.bytesDone = [this](std::uint64_t bytes) { meter_->advanceTo(done_ += bytes); };
    }
    void start(const char* verb)
    {
        done_ = 0;
        meter_ = std::make_unique<JobProgress>(host_, nullptr, verb, setName_, 0);
    }

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
    ChecksumWitness checksums(base);
    RecoveryOptions options;
    options.witness = &checksums;
    StepProgress progress(s.host, options, GetFileNameFromPath(base));
    progress.start("Checking");
    const SetCondition condition = examineSet(base, options);
    if (!condition.notice.empty())
        s.host.notice(condition.notice);
    if (!condition.hasRecovery) {
        s.host.error("no recovery pieces of this set: " + base);
        return kExitFailure;
    }
    if (!condition.repairable) {
        s.host.error("the set " + repairVerdict(condition));
        return kExitNotRepairable;
    }
    if (condition.complete()) {
        s.host.result("the set " + repairVerdict(condition) + ": nothing to rebuild");
        return kExitSuccess;
    }
    progress.start("Repairing");
    const std::vector<std::string> rebuilt = parcelo::repairSet(base, condition, options);
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
    }
}

} // namespace parcelo::cli
