#pragma once

namespace parcelo::cli {

// Makes SIGINT and SIGTERM stop the running job: the first requests a stop (the job ends
// as a cancel and removes what it made); a second, while the job still winds down, removes
// the temporary files at once and ends the process with kExitStopped.
void installStopSignals();

} // namespace parcelo::cli
