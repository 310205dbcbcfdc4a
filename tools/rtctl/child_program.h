#pragma once
// The processes rtctl launch starts: each in a session of its own (a Ctrl-C at the terminal
// reaches rtctl only, which then stops everything in order), in its working folder, its
// output appended to its log file, and sent SIGTERM by the kernel should rtctl itself die, so
// that no program runs on unwatched. POSIX only; no CORBA.
#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rtctl {

// Starts argv[0] (a path) with argv and rtctl's environment changed by `environment`, in
// workingFolder (created when missing), standard input
// from /dev/null, standard output and error appended to logPath (its folder created when
// missing), after a header line naming the command and the time. Returns the pid, or throws
// Failure with what went wrong (the program cannot be executed, a folder cannot be made).
// Safe to call while other threads run: the child only makes system calls until exec.
pid_t startChildProgram(const std::vector<std::string>& argv,
                        const std::vector<std::pair<std::string, std::string>>& environment,
                        const std::string& workingFolder, const std::string& logPath);

// Sends signal to the child's whole process group; false when there is none any more.
bool signalChildGroup(pid_t pid, int signal);

// The wait status of a child that has ended, reaping it; nothing while it runs.
std::optional<int> reapChild(pid_t pid);

// "exit code 3", "exited normally" (0), "killed by SIGKILL".
std::string exitText(int waitStatus);

// For starting programs (here and in the tests' own helper): this process's environment with
// changes added or replacing variables of the same name, as "NAME=VALUE" strings.
std::vector<std::string> changedEnvironment(
    const std::vector<std::pair<std::string, std::string>>& changes);
// The null-terminated pointer array that exec takes, into words (which must outlive it).
std::vector<char*> execPointers(std::vector<std::string>& words);
// In a forked child whose exec failed: writes errno to the parent's pipe and ends the child.
[[noreturn]] void failForkedChild(int errorPipe);
// In the parent: waits until the child has executed its program (the pipe, opened with
// O_CLOEXEC, closes) or failed to; closes the pipe and returns the child's errno, or 0.
int awaitExec(int errorPipe);

}  // namespace rtctl
