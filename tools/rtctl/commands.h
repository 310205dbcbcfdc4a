#pragma once
// The rtctl commands. Each writes its results to standard output and returns the exit status;
// failures are thrown as rtctl::Failure.
#include <atomic>

#include "command_line.h"

namespace rtctl {

// Set by the signal handler: print stops and disconnects.
extern std::atomic<bool> stopRequested;

int runInvocation(const Invocation& invocation);

}  // namespace rtctl
