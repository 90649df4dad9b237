#include "platform/stop_token.h"

namespace parcelo {

namespace {
constinit StopToken g_jobStop; // constant-initialised: safe to reach from a signal handler
} // namespace

StopToken& jobStop() noexcept
{
    return g_jobStop;
}

} // namespace parcelo
