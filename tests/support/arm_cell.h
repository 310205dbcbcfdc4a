#pragma once
// The arm cell on one machine, wired as the demo wires it: HiroSimComp (the robot controller,
// HIROController, HiroNX and the object pose estimation), the gateway and the coordinator,
// connected and activated with rtctl against a test's name server.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace test_support {

class NameServer;

class ArmCell {
 public:
  explicit ArmCell(NameServer& names) : names_(names) {}

  // Starts the three programs with one rtc.conf in `directory` (log at WARN on standard output),
  // the simulated cell `timeScale` times faster than the clock, waits for their names, connects
  // and activates the gateway and the coordinator. A failure says which step failed.
  ::testing::AssertionResult start(const std::string& directory, const std::string& timeScale);

  ChildProcess& simulator() { return *simulator_; }
  ChildProcess& gateway() { return *gateway_; }
  ChildProcess& coordinator() { return *coordinator_; }

 private:
  NameServer& names_;
  std::unique_ptr<ChildProcess> simulator_;
  std::unique_ptr<ChildProcess> gateway_;
  std::unique_ptr<ChildProcess> coordinator_;
};

}  // namespace test_support
