#include "cli/cli_repair.h"

#include "cli/cli_commands.h"
#include "format/set_pieces.h"
#include "integrity/checksum_witness.h"
#include "platform/paths.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"
#include "recovery/recovery.h"

#include <cstdio>

namespace parcelo::cli {

int repair(const Arguments& a)
{
    const std::string base = RemoveFileExtension(a.source);
    try {
        ChecksumWitness checksums(base);
        RecoveryOptions options;
        options.witness = &checksums;
        const SetCondition condition = examineSet(base, options);
        if (!condition.notice.empty() && !a.quiet)
            std::fprintf(stderr, "parcelo-cli: %s\n", condition.notice.c_str());
        if (!condition.hasRecovery) {
            std::fprintf(stderr, "parcelo-cli: no recovery pieces of this set: %s\n", base.c_str());
            return kExitFailure;
        }
        const std::string verdict = "parcelo-cli: the set " + repairVerdict(condition) + "\n";
        if (!condition.repairable) {
            std::fputs(verdict.c_str(), stderr);
            return kExitNotRepairable;
        }
        std::fputs(verdict.c_str(), stdout);
        for (const std::string& path : repairSet(base, condition, options))
            std::printf("parcelo-cli: rebuilt %s\n", path.c_str());
        return kExitSuccess;
    } catch (const RunError& error) {
        std::fprintf(stderr, "parcelo-cli: %s\n", error.what());
        return kExitFailure;
    } catch (const JobStopped&) {
        std::fprintf(stderr, "parcelo-cli: %s\n", kCancelledByUser);
        return kExitFailure;
    }
}

} // namespace parcelo::cli
