#pragma once
// scripts/demo run by a test: its output folder, its process, and the checks that nothing of
// it is left behind.
#include <memory>
#include <string>
#include <vector>

#include "demo_summary_check.h"
#include "tests/support/test_support.h"

namespace demo_test {

class DemoRun {
 public:
  // Starts scripts/demo --fast --no-build --out <temporary folder> with the extra arguments,
  // on the programs of this build.
  explicit DemoRun(const std::vector<std::string>& arguments);

  test_support::ChildProcess& process() { return *process_; }
  const std::string& outDir() const { return outDir_; }
  std::string logOf(const std::string& program) const;

  // Processes whose command line or working directory mention the output folder: what the run
  // started and did not end.
  std::vector<std::string> processesLeft() const;

 private:
  test_support::TempDir parent_;
  std::string outDir_;
  std::unique_ptr<test_support::ChildProcess> process_;
};

}  // namespace demo_test
