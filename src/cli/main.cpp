#include "cli/arguments.h"
#include "cli/cli_commands.h"
#include "cli/standard_streams.h"
#include "cli/stop_signals.h"
#include "platform/file_system.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace parcelo::cli;
    guardStandardStreams();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = parseArguments(args);
    if (!parsed.arguments) {
        std::fprintf(stderr, "parcelo-cli: %s\nTry 'parcelo-cli --help' for more information.\n",
                     parsed.error.c_str());
        return kExitUsage;
    }
    if (parsed.arguments->verb == Verb::Help) {
        std::fputs(helpText(parsed.arguments->helpTopic).c_str(), stdout);
        return finishStandardOutput(kExitSuccess);
    }
    if (parsed.arguments->verb == Verb::Version) {
        std::fputs(versionText().c_str(), stdout);
        return finishStandardOutput(kExitSuccess);
    }
    installStopSignals();
    parcelo::ignoreFileSizeSignal();
    return finishStandardOutput(runCommand(*parsed.arguments));
}
