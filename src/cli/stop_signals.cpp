#include "cli/stop_signals.h"

#include "cli/cli_commands.h"
#include "platform/safe_output.h"
#include "platform/stop_token.h"

#include <csignal>
#include <unistd.h>

namespace parcelo::cli {

namespace {

void onStopSignal(int)
{
    if (jobStop().requested()) {
        exitRemovingSafeOutputs(kExitStopped);
        return; // the temporary being created is removed when listed, and the process ends
    }
    jobStop().request();
}

} // namespace

void installStopSignals()
{
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a question waiting for a line is answered "no"
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

} // namespace parcelo::cli
