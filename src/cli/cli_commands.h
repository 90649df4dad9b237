#pragma once

#include "cli/arguments.h"

namespace parcelo::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitRepairable = 3;    // verify --set: lost pieces the set can rebuild
inline constexpr int kExitNotRepairable = 4; // verify --set, repair: lost beyond rebuilding
inline constexpr int kExitStopped = 130;     // stopped by SIGINT or SIGTERM

// Runs a parsed command with a console host; returns the exit status (exitStatusAfter).
int runCommand(const Arguments& arguments);

// The exit status of a command that ended with status: kExitStopped when it did not
// succeed and a stop was requested; a command that finished keeps its status (the stop
// came after the work was done).
int exitStatusAfter(int status, bool stopRequested);

} // namespace parcelo::cli
