#pragma once

#include "platform/safe_output.h"

#include <memory>
#include <string>

namespace parcelo {

class Host;
class modJoinFile;

// What the repair before a join did.
struct JoinRepair {
    bool ok = true;      // false: the rebuild failed and the user has been told why
    std::string rebuilt; // the names of the rebuilt files, joined by ", "
    // Stands in for a pieces' folder that cannot be written, for the length of the join.
    std::unique_ptr<TemporaryFolder> folder;
};

// Rebuilds the lost pieces of the engine's set from its recovery pieces before it is
// joined: in the pieces' folder when it can be written, else in a temporary folder beside
// the joined file that links the set's other files and becomes the engine's source for
// this join. A set that is complete or cannot be repaired is left to the join to report.
JoinRepair repairBeforeJoin(modJoinFile& engine, Host& host);

// The sentence the join's success message gains for a repair ("" when nothing was rebuilt).
std::string repairReport(const JoinRepair& repair);

} // namespace parcelo
