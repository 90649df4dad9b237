#pragma once

#include "integrity/checksum_witness.h"
#include "platform/command_outcome.h"
#include "recovery/recovery.h"
#include "verify/verify.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace parcelo {

// What a whole-set check concludes: intact when it verified, else what the set's recovery
// pieces say (repairVerdict), or that they find nothing to rebuild in a set the other
// checks find damaged.
RepairOutlook repairOutlook(bool verified, const SetCondition& condition);

// The verdict as the Verify pane shows it: "The set " + the verdict parcelo-cli prints + ".".
std::string verdictLine(const RepairOutlook& outlook);

// A set as its recovery pieces describe it, with its checksum file as their judge, and
// its repair in place: the one way the Verify pane, its Repair command and parcelo-cli
// repair examine and rebuild a set.
class SetRepair {
public:
    // Examines the set at basePath (a piece's path without its number); afterStripe keeps
    // a window alive, bytesDone counts the bytes each stripe read and wrote. Throws
    // RunError when the set cannot be read.
    explicit SetRepair(const std::string& basePath, std::function<void()> afterStripe = {},
                       std::function<void(std::uint64_t)> bytesDone = {});
    SetRepair(const SetRepair&) = delete;
    SetRepair& operator=(const SetRepair&) = delete;

    const SetCondition& condition() const { return condition_; }
    // What a repair can do: intact when nothing is lost, repairable when the recovery
    // pieces rebuild everything lost, not repairable else (or without recovery pieces).
    RepairOutlook outlook() const;
    // Rebuilds every lost file of a repairable set and returns the paths written; throws
    // RunError as repairSet does.
    std::vector<std::string> rebuild();

private:
    std::string base_;
    ChecksumWitness witness_;
    RecoveryOptions options_;
    SetCondition condition_;
};

// "Repair": rebuilds the lost pieces and recovery pieces of the typed piece's set in place
// from its recovery pieces, showing its work on the pane's bar and status label. A set
// that is complete or cannot be repaired is said to be so and left alone. `rebuilt`
// receives the paths written; the outcome succeeds when the set is whole.
CommandOutcome repairCommand(VerifyRequest& request, VerifyServices& services,
                             std::vector<std::string>& rebuilt);

} // namespace parcelo
