#include "cli/cli_repair.h"

#include "cli/cli_commands.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "verify/set_repair.h"

#include <cstdio>

namespace parcelo::cli {

int repair(const Arguments& a)
{
    const std::string base = RemoveFileExtension(a.source);
    try {
        SetRepair set(base);
        const SetCondition& condition = set.condition();
        if (!condition.notice.empty() && !a.quiet)
            std::fprintf(stderr, "parcelo-cli: %s\n", condition.notice.c_str());
        if (!condition.hasRecovery) {
            std::fprintf(stderr, "parcelo-cli: no recovery pieces of this set: %s\n", base.c_str());
            return kExitFailure;
        }
        const RepairOutlook outlook = set.outlook();
        const std::string verdict = "parcelo-cli: the set " + outlook.verdict + "\n";
        if (outlook.state == SetOutlook::NotRepairable) {
            std::fputs(verdict.c_str(), stderr);
            return kExitNotRepairable;
        }
        std::fputs(verdict.c_str(), stdout);
        for (const std::string& path : set.rebuild())
            std::printf("parcelo-cli: rebuilt %s\n", path.c_str());
        return kExitSuccess;
    } catch (const RunError& error) {
        std::fprintf(stderr, "parcelo-cli: %s\n", error.what());
        return kExitFailure;
    }
}

} // namespace parcelo::cli
