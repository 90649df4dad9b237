#pragma once

#include "platform/command_outcome.h"
#include "verify/verify.h"

#include <string>
#include <vector>

namespace parcelo {

// What a whole-set check found the set to be, as the Verify pane says it and enables its
// Repair command: intact, can be repaired (from its recovery pieces), cannot be repaired.
enum class SetVerdict { Intact, CanBeRepaired, CannotBeRepaired };

// The verdict of a set check that verified the set (or not), given what its recovery
// pieces tell of it.
SetVerdict setVerdict(bool verified, const SetCondition& condition);

// The verdict as one line: "The set is intact.", "The set can be repaired: ..." or "The set
// cannot be repaired: ...".
std::string setVerdictText(SetVerdict verdict, const SetCondition& condition);

// "Repair": rebuilds the lost pieces and recovery pieces of the typed piece's set in place
// from its recovery pieces, showing its work on the pane's bar and status label. A set
// that is complete or cannot be repaired is said to be so and left alone. `rebuilt`
// receives the paths written; the outcome succeeds when the set is whole.
CommandOutcome cmdRepair_Click(VerifyPaneValues& pane, VerifyServices& services,
                               std::vector<std::string>& rebuilt);

} // namespace parcelo
