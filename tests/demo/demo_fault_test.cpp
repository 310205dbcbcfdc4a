// Faults during a demo run, each in a real run of scripts/demo: the name server ending fails
// the run at once with that reason; the viewer ending is one warning and the run goes on; any
// other program ending fails the running step with the program named; a drive that cannot go on
// is given up with the reason after the time-out the user gives.
#include <signal.h>
#include <sys/types.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <regex>
#include <thread>

#include "demo_run.h"

namespace demo_test {
namespace {

using test_support::Seconds;

const Seconds kStepStartTimeout{120};
const Seconds kFailureTimeout{90};
const Seconds kDriveTimeout{400};
const Seconds kShutdownTimeout{60};

// The process id rtctl launch reports for `what` ("PlanViewer", "the name server omniNames").
std::optional<pid_t> launchedPid(const DemoRun& run, const std::string& what) {
  const std::string log = test_support::readFile(run.outDir() + "/logs/rtctl-launch.log");
  std::smatch found;
  if (!std::regex_search(log, found, std::regex("started " + what + R"( \(pid ([0-9]+)\))"))) {
    return std::nullopt;
  }
  return static_cast<pid_t>(std::stol(found[1].str()));
}

// Starts the scenario and sends `signal` to `what` once the first drive has begun.
std::unique_ptr<DemoRun> runAndKillDuringTheFirstDrive(
    const std::string& what, int signal = SIGKILL, const std::vector<std::string>& options = {}) {
  auto run = std::make_unique<DemoRun>(options);
  EXPECT_TRUE(
      run->process().waitForOutput("drive to the work station: ROBOT_START ...", kStepStartTimeout))
      << run->process().output();
  const auto pid = launchedPid(*run, what);
  EXPECT_TRUE(pid) << test_support::readFile(run->outDir() + "/logs/rtctl-launch.log");
  if (pid) {
    EXPECT_EQ(kill(*pid, signal), 0);
  }
  return run;
}

void expectEverythingEnded(DemoRun& run) {
  const auto left = run.processesLeft();
  EXPECT_TRUE(left.empty()) << "left running: " << left.front();
}

TEST(DemoFaults, theNameServerEndingFailsTheRunAtOnceWithThatReason) {
  auto run = runAndKillDuringTheFirstDrive("the name server omniNames");
  const auto status = run->process().waitForExit(kFailureTimeout);
  ASSERT_TRUE(status) << run->process().output();
  EXPECT_TRUE(status->exitedWith(1)) << status->describe() << "\n" << run->process().output();
  const std::string output = run->process().output();
  EXPECT_EQ(linesWith(output, "drive to the work station: the name server ended").size(), 1u)
      << output;
  EXPECT_NE(output.find("demo FAILED"), std::string::npos) << output;
  EXPECT_TRUE(linesWith(output, "object 1 of").empty()) << output;
  expectEverythingEnded(*run);
}

TEST(DemoFaults, aProgramEndingFailsTheRunningStepWithTheProgramNamed) {
  auto run = runAndKillDuringTheFirstDrive("TorvaneComp");
  const auto status = run->process().waitForExit(kFailureTimeout);
  ASSERT_TRUE(status) << run->process().output();
  EXPECT_TRUE(status->exitedWith(1)) << status->describe() << "\n" << run->process().output();
  const std::string output = run->process().output();
  EXPECT_EQ(
      linesWith(output, "drive to the work station: TorvaneComp ended, expected ROBOT_ARRIVED")
          .size(),
      1u)
      << output;
  const std::string steps = test_support::readFile(run->outDir() + "/steps.tsv");
  EXPECT_NE(steps.find("ROBOT_START\tENDED:TorvaneComp\tROBOT_ARRIVED"), std::string::npos)
      << steps;
  expectEverythingEnded(*run);
}

TEST(DemoFaults, aDriveWhosePlannerFallsSilentIsGivenUpWithTheReasonAfterTheUsersTimeOut) {
  auto run = runAndKillDuringTheFirstDrive("TorvaneComp", SIGSTOP, {"--fault-timeout", "2"});
  const auto status = run->process().waitForExit(kFailureTimeout);
  ASSERT_TRUE(status) << run->process().output();
  EXPECT_TRUE(status->exitedWith(1)) << status->describe() << "\n" << run->process().output();
  const std::string output = run->process().output();
  EXPECT_EQ(linesWith(output,
                      "drive to the work station: given up: planner silent for 2.0 s: "
                      "Torvane0 does not answer")
                .size(),
            1u)
      << output;
  EXPECT_TRUE(linesWith(output, "object 1 of").empty()) << output;
  expectEverythingEnded(*run);
}

TEST(DemoFaults, theViewerEndingIsOneWarningAndTheRunGoesOn) {
  auto run = runAndKillDuringTheFirstDrive("PlanViewer");
  ASSERT_TRUE(
      run->process().waitForOutput("drive to the work station: ROBOT_ARRIVED", kDriveTimeout))
      << run->process().output();
  ASSERT_TRUE(
      run->process().waitForOutput("object 1 of 2: HIRO_OBJ_MANIP_START ...", kStepStartTimeout))
      << run->process().output();
  const std::string output = run->process().output();
  const auto warnings = linesWith(output, "warning:");
  ASSERT_EQ(warnings.size(), 1u) << output;
  EXPECT_NE(warnings[0].find("PlanViewer"), std::string::npos) << warnings[0];

  run->process().sendSignal(SIGINT);
  const auto status = run->process().waitForExit(kShutdownTimeout);
  ASSERT_TRUE(status) << "the demo did not end after Ctrl-C";
  EXPECT_TRUE(status->exitedWith(130)) << status->describe();
  expectEverythingEnded(*run);
}

}  // namespace
}  // namespace demo_test
