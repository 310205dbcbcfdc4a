#pragma once
// The simulated system brought up by rtctl launch from a shipped system file, on this machine or
// through a command prefix (a network namespace), for tests that run it whole: its output
// folder, the launch process, the programs it started, and the scenario of scripts/demo driven
// with rtctl wait --send, step by step, into the steps file demo_summary reads.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_support.h"

namespace hosts_test {

struct LaunchOptions {
  std::string systemFile;  // a path
  std::string nameServer;  // given to rtctl with -n; "" leaves it to the file
  // Put before rtctl and demo_summary: where they run ("ip netns exec NS").
  std::vector<std::string> prefix;
  std::vector<std::pair<std::string, std::string>> variables;  // besides BIN, OUT, SCENE...
  double timeScale = 1;
};

// One step's outcome as scripts/demo records it.
struct StepOutcome {
  std::string answer;  // the word, or "<none>" when none came in time
  bool succeeded = false;
};

class LaunchedSystem {
 public:
  explicit LaunchedSystem(const LaunchOptions& options);
  ~LaunchedSystem();

  test_support::ChildProcess& launch() { return *launch_; }
  const std::string& outDir() const { return outDir_; }
  std::string logOf(const std::string& label) const;
  // The pids of the programs launch reports to have started.
  std::vector<int> programPids() const;

  // Waits for "system up"; false when launch ended first or did not get there in time.
  bool waitUntilUp();
  // Ctrl-C, as a user would; the exit status, or nothing when launch did not end in time.
  std::optional<test_support::ExitStatus> stop();

  // rtctl with the name server, where launch runs.
  test_support::RunResult rtctl(const std::vector<std::string>& arguments,
                                test_support::Seconds timeout) const;
  // Sends word into inEndpoint and waits on outEndpoint for a word the pattern matches; the
  // step is appended to the steps file.
  StepOutcome step(const std::string& label, const std::string& outEndpoint,
                   const std::string& pattern, const std::string& inEndpoint,
                   const std::string& word, const std::string& expected,
                   test_support::Seconds timeout);
  // The demo's scenario: to the work station, each object, the tray, back. Stops at the first
  // step that fails; true when every step succeeded.
  bool runScenario();
  // demo_summary's report of the steps run so far.
  std::string summary() const;

 private:
  std::vector<std::string> prefixed(const std::string& program,
                                    const std::vector<std::string>& arguments) const;

  LaunchOptions options_;
  test_support::TempDir parent_;
  std::string outDir_;
  std::string stepsFile_;
  std::unique_ptr<test_support::ChildProcess> launch_;
};

// The project's source tree, and a file of its scripts/system.
std::string projectRoot();
std::string shippedSystemFile(const std::string& name);

}  // namespace hosts_test
