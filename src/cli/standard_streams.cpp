#include "cli/standard_streams.h"

#include "cli/cli_commands.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace parcelo::cli {

namespace {

int g_outputError = 0; // why a write to standard output failed first, or 0

} // namespace

void guardStandardStreams()
{
    // In order: each closed one is the lowest free number when it is opened.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF
            && ::open("/dev/null", O_RDONLY | O_CLOEXEC) != fd)
            ::_exit(kExitFailure); // cannot happen: the lower numbers are open
    std::signal(SIGPIPE, SIG_IGN);
}

void flushStream(std::FILE* stream)
{
    if (std::fflush(stream) != 0 && stream == stdout && g_outputError == 0)
        g_outputError = errno;
}

bool standardOutputClosed()
{
    pollfd out{STDOUT_FILENO, POLLOUT, 0};
    return ::poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
}

int finishStandardOutput(int status)
{
    flushStream(stdout);
    if (!std::ferror(stdout))
        return status;
    if (g_outputError != 0)
        std::fprintf(stderr, "parcelo-cli: write error: %s\n", std::strerror(g_outputError));
    else
        std::fputs("parcelo-cli: write error\n", stderr);
    return status == kExitSuccess ? kExitFailure : status;
}

} // namespace parcelo::cli
