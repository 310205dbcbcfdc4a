#pragma once
// A child process for cross-process tests: started in its own process group with its
// standard output and standard error captured to files, waited for with time-outs, and killed
// (the whole group, SIGKILL) when the object goes away, also when the test fails. If the test
// process itself dies, the kernel kills the child too (parent-death signal).
//
//   test_support::ChildProcess talker(test_support::binPath("rt_talker"), {"-f", conf});
//   ASSERT_TRUE(talker.waitForOutput("ready", std::chrono::seconds(10))) << talker.output();
//   talker.sendSignal(SIGTERM);
//   auto status = talker.waitForExit(std::chrono::seconds(10));
//   ASSERT_TRUE(status && status->exitedWith(0));
//
// When a GoogleTest assertion has failed in the current test, the destructor prints what the
// child wrote, so failures explain themselves in ctest --output-on-failure.
#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "temp_dir.h"

namespace test_support {

using Seconds = std::chrono::duration<double>;

// How a child ended.
struct ExitStatus {
  bool exited = false;  // ended through exit(); code holds the status
  int code = 0;
  int signal = 0;  // the signal that ended it when !exited

  bool exitedWith(int expected) const { return exited && code == expected; }
  bool killedBy(int expected) const { return !exited && signal == expected; }
  // "exit code 3" or "signal 6".
  std::string describe() const;
};

struct ChildOptions {
  // Added to (or replacing in) the test's own environment.
  std::vector<std::pair<std::string, std::string>> environment;
  // Working directory; empty: a fresh temporary directory owned by the child object (it also
  // holds the captured output files).
  std::string workingDirectory;
  // Name shown in diagnostics; empty: the program's file name.
  std::string label;
};

class ChildProcess {
 public:
  // Starts program (a path, or a bare name looked up in PATH) with the arguments. Returns once
  // the program is executing. Throws std::runtime_error when it cannot be started.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const ChildOptions& options = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  const std::string& label() const { return label_; }
  const std::string& workingDirectory() const { return workingDirectory_; }

  // Captured text so far.
  std::string standardOutput() const;
  std::string standardError() const;
  // Standard output followed by standard error.
  std::string output() const;

  // Waits until text has appeared at least count times in standard output or standard error
  // (each stream counted on its own, the larger count wins). False on time-out, or as soon as
  // the child has ended without having written it.
  bool waitForOutput(const std::string& text, Seconds timeout, int count = 1);
  // Occurrences of text in standard output plus standard error.
  int countInOutput(const std::string& text) const;

  // Sends a signal to the child (not its group). False when it has already been reaped.
  bool sendSignal(int signal);
  // Waits for the child to end. Empty on time-out (the child is left running).
  std::optional<ExitStatus> waitForExit(Seconds timeout);
  // True while the child has not ended.
  bool isRunning();
  // SIGKILL to the whole process group, then reaps the child. Idempotent.
  void kill();

 private:
  bool reap(bool block);

  std::string label_;
  std::unique_ptr<TempDir> ownDirectory_;
  std::string workingDirectory_;
  std::string stdoutPath_;
  std::string stderrPath_;
  pid_t pid_ = -1;
  std::optional<ExitStatus> status_;
  bool groupKilled_ = false;
};

// Result of running a program to its end.
struct RunResult {
  bool timedOut = false;  // killed after the time-out
  ExitStatus status;
  std::string out;
  std::string err;
};

// Runs a program to its end with a time-out (then kills it and sets timedOut).
RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     Seconds timeout, const ChildOptions& options = {});

}  // namespace test_support
