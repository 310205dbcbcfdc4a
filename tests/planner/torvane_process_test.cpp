// TorvaneComp as a process: against a fake map service and odometry feeder, connected with
// rtctl, started with "ROBOT_START", it commands the base and publishes planning images.
#include <csignal>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace {

using test_support::ChildOptions;
using test_support::ChildProcess;
using test_support::NameServer;
using test_support::Seconds;
using test_support::TempDir;

constexpr Seconds kStartTimeout{20};
constexpr Seconds kCycleTimeout{30};

void expectRtctl(const NameServer& names, const std::vector<std::string>& arguments) {
  const test_support::RunResult result = test_support::runRtctl(names, arguments);
  EXPECT_TRUE(!result.timedOut && result.status.exitedWith(0))
      << "rtctl " << arguments.front() << ": " << result.out << result.err;
}

std::string copyOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class TorvaneProcess : public ::testing::Test {
 protected:
  NameServer names;
  TempDir plannerDir;
  TempDir worldDir;

  void SetUp() override {
    test_support::RtcConfOptions options;
    options.nameServer = names.address();
    options.rate_hz = 50.0;
    options.extra = {{"exec_cxt.periodic.rate", "50"}};
    test_support::writeRtcConf(plannerDir.path(), options);
    test_support::writeRtcConf(worldDir.path(), options);
    std::ofstream(plannerDir.path() + "/MotionSet.mtn", std::ios::binary)
        << copyOf(test_support::binPath("MotionSet.mtn"));
  }

  // Starts both programs, each in its own directory, and waits for their names.
  void startBoth() {
    ChildOptions plannerOptions;
    plannerOptions.workingDirectory = plannerDir.path();
    planner =
        std::make_unique<ChildProcess>(test_support::binPath("TorvaneComp"),
                                       std::vector<std::string>{"-f", "rtc.conf"}, plannerOptions);
    ChildOptions worldOptions;
    worldOptions.workingDirectory = worldDir.path();
    world =
        std::make_unique<ChildProcess>(test_support::binPath("planner_fake_world"),
                                       std::vector<std::string>{"-f", "rtc.conf"}, worldOptions);
    ASSERT_TRUE(names.waitForBinding("Torvane0.rtc", kStartTimeout)) << planner->output();
    ASSERT_TRUE(names.waitForBinding("PlannerWorld0.rtc", kStartTimeout)) << world->output();
  }

  void startWaitingForOdometry();

  std::unique_ptr<ChildProcess> planner;
  std::unique_ptr<ChildProcess> world;
};

TEST_F(TorvaneProcess, startedRouteCommandsTheBaseAndPublishesImages) {
  ASSERT_NO_FATAL_FAILURE(startBoth());
  ASSERT_TRUE(planner->waitForOutput("Run Frequency", kStartTimeout)) << planner->output();

  expectRtctl(names, {"connect", "PlannerWorld0:robot_pose", "Torvane0:robot_pose"});
  expectRtctl(names, {"connect", "PlannerWorld0:robot_velocity", "Torvane0:robot_velocity"});
  expectRtctl(names, {"connect", "Torvane0:robot_control", "PlannerWorld0:robot_control"});
  expectRtctl(names, {"connect", "Torvane0:planning_img", "PlannerWorld0:planning_img"});
  expectRtctl(names,
              {"connect", "Torvane0:RelativeMapService", "PlannerWorld0:RelativeMapService"});
  expectRtctl(names, {"activate", "PlannerWorld0", "Torvane0"});

  ASSERT_TRUE(planner->waitForOutput("Number of motion set = 33", kStartTimeout))
      << planner->output();
  ASSERT_TRUE(world->waitForOutput("command vx=0.000 va=0.000", kCycleTimeout)) << world->output();
  EXPECT_EQ(world->countInOutput("image "), 0) << "no image before the route starts";

  expectRtctl(names, {"inject", "Torvane0:in_message", "ROBOT_START"});
  // The wall is 1.5 m ahead: the approach drives at ROBOT_MAX_SPEED until CHECKPOINT_1.
  EXPECT_TRUE(planner->waitForOutput("distance 1500.00", kCycleTimeout)) << planner->output();
  EXPECT_TRUE(world->waitForOutput("command vx=0.300 va=0.000", kCycleTimeout)) << world->output();
  EXPECT_TRUE(
      world->waitForOutput("image 400x400 channels=3 bytes=480000 step=1200", kCycleTimeout))
      << world->output();

  expectRtctl(names, {"deactivate", "Torvane0"});
  EXPECT_TRUE(planner->waitForOutput("onDeactivate Complete", kCycleTimeout)) << planner->output();
  EXPECT_TRUE(planner->waitForOutput("Total computation time", kCycleTimeout));

  expectRtctl(names, {"exit", "Torvane0"});
  const auto status = planner->waitForExit(kCycleTimeout);
  EXPECT_TRUE(status.has_value()) << planner->output();
  const std::string log = copyOf(plannerDir.path() + "/data_log.txt");
  EXPECT_NE(log.find("step0001 : "), std::string::npos) << log;
}

// Map service only: every cycle waits for a pose that never comes.
void TorvaneProcess::startWaitingForOdometry() {
  ASSERT_NO_FATAL_FAILURE(startBoth());
  expectRtctl(names,
              {"connect", "Torvane0:RelativeMapService", "PlannerWorld0:RelativeMapService"});
  expectRtctl(names, {"activate", "PlannerWorld0", "Torvane0"});
  ASSERT_TRUE(planner->waitForOutput("onExecute start", kStartTimeout)) << planner->output();
}

TEST_F(TorvaneProcess, missingOdometryDoesNotBlockTheEnd) {
  ASSERT_NO_FATAL_FAILURE(startWaitingForOdometry());

  expectRtctl(names, {"exit", "Torvane0"});
  EXPECT_TRUE(planner->waitForOutput("onDeactivate Complete", kCycleTimeout)) << planner->output();
  const auto status = planner->waitForExit(kCycleTimeout);
  ASSERT_TRUE(status.has_value()) << planner->output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  EXPECT_EQ(planner->countInOutput("Robot position acquisition time"), 0);
}

TEST_F(TorvaneProcess, missingOdometryDoesNotBlockADeactivation) {
  ASSERT_NO_FATAL_FAILURE(startWaitingForOdometry());

  expectRtctl(names, {"deactivate", "Torvane0"});
  EXPECT_TRUE(planner->waitForOutput("onDeactivate Complete", kCycleTimeout)) << planner->output();
  EXPECT_EQ(planner->countInOutput("Robot position acquisition time"), 0);
}

TEST_F(TorvaneProcess, missingOdometryDoesNotBlockATermination) {
  ASSERT_NO_FATAL_FAILURE(startWaitingForOdometry());

  planner->sendSignal(SIGTERM);
  const auto status = planner->waitForExit(kCycleTimeout);
  ASSERT_TRUE(status.has_value()) << planner->output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  EXPECT_TRUE(names.waitForUnbinding("Torvane0.rtc", kCycleTimeout));
}

}  // namespace
