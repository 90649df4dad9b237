#include "cli/cli_repair.h"

#include "cli/cli_commands.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "recovery/recovery.h"

#include <cstdio>

namespace parcelo::cli {

int repair(const Arguments& a)
{
    const std::string base = RemoveFileExtension(a.source);
    try {
        const SetCondition condition = examineSet(base);
        if (!condition.hasRecovery) {
            std::fprintf(stderr, "parcelo-cli: no recovery pieces of this set: %s\n", base.c_str());
            return kExitFailure;
        }
        if (condition.complete()) {
            std::printf("parcelo-cli: the set is complete: %s\n", base.c_str());
            return kExitSuccess;
        }
        if (!condition.repairable) {
            std::fprintf(stderr, "parcelo-cli: the set %s\n", repairVerdict(condition).c_str());
            return kExitFailure;
        }
        for (const std::string& path : repairSet(base, condition))
            std::printf("parcelo-cli: rebuilt %s\n", path.c_str());
        return kExitSuccess;
    } catch (const RunError& error) {
        std::fprintf(stderr, "parcelo-cli: %s\n", error.what());
        return kExitFailure;
    }
}

} // namespace parcelo::cli
