#pragma once

#include <cstdio>

namespace parcelo::cli {

// Run first: a standard stream the program was started without (closed) is taken by a
// descriptor that reads nothing and fails every write, so that no file the program opens
// takes its number (a result line must never land in a piece); and a pipe whose reader is
// gone fails the write (EPIPE) instead of ending the program unseen (SIGPIPE is ignored).
void guardStandardStreams();

// Flushes a stream that results or questions go to, noting why standard output failed.
void flushStream(std::FILE* stream);

// True when standard output is a pipe whose reader is gone: a job that failed writing into
// it ends quietly, as a pipe's writer does.
bool standardOutputClosed();

// The exit status once standard output is flushed: when a result could not be written, a
// success becomes a failure and standard error says so, as coreutils do ("parcelo-cli:
// write error: REASON").
int finishStandardOutput(int status);

} // namespace parcelo::cli
