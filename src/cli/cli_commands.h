#pragma once

#include "cli/arguments.h"

namespace parcelo::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs a parsed command with a console host; returns the exit status.
int runCommand(const Arguments& arguments);

} // namespace parcelo::cli
