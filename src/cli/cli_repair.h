#pragma once

#include "cli/arguments.h"

namespace parcelo::cli {

// parcelo-cli repair PIECE: rebuilds the set's missing and damaged pieces and recovery
// pieces in place from its recovery pieces, with the progress and messages of the other
// commands; returns the exit status.
int repair(const Arguments& arguments);

} // namespace parcelo::cli
