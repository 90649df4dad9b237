#pragma once

#include "platform/safe_output.h"

#include <memory>
#include <string>
#include <vector>

namespace parcelo {

class Host;
class modJoinFile;

// What the repair before a join did.
struct JoinRepair {
    bool ok = true;      // false: the rebuild failed or stopped; the user has been told why
    std::string rebuilt; // the names of the rebuilt files, joined by ", "
    std::string notice;  // recovery pieces that were not used, a set that cannot be repaired
    // Stands in for a pieces' folder that cannot be written, for the length of the join.
    std::unique_ptr<TemporaryFolder> folder;
};

// Rebuilds the lost pieces of the engine's set from its recovery pieces before it is
// joined: in the pieces' folder when it can be written, else in a temporary folder beside
// the joined file that links the set's other files and becomes the engine's source for
// this join. Only the pieces are rebuilt, never the recovery pieces. A set that is
// complete or cannot be repaired is left to the join to report.
JoinRepair repairBeforeJoin(modJoinFile& engine, Host& host);

// The sentences the join's outcome message gains from the repair: its notice and what was
// rebuilt, one each (none when there is neither); repairReport: each after a line break.
std::vector<std::string> repairNotices(const JoinRepair& repair);
std::string repairReport(const JoinRepair& repair);

} // namespace parcelo
