// TorvaneComp as a process: against a fake map service and odometry feeder, connected with
// rtctl, started with "ROBOT_START", it commands the base and publishes planning images.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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

// Count of `text` in `haystack`.
int occurrences(const std::string& haystack, const std::string& text) {
  int count = 0;
  for (size_t at = haystack.find(text); at != std::string::npos; at = haystack.find(text, at + 1))
    ++count;
  return count;
}

// Lines of `text` that hold both `a` and `b`.
int linesWithBoth(const std::string& text, const std::string& a, const std::string& b) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);)
    count += line.find(a) != std::string::npos && line.find(b) != std::string::npos;
  return count;
}

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

  // Adds "key: value" lines to the planner's rtc.conf.
  void configurePlanner(const std::vector<std::pair<std::string, std::string>>& lines) {
    test_support::RtcConfOptions options;
    options.nameServer = names.address();
    options.rate_hz = 50.0;
    options.extra = {{"exec_cxt.periodic.rate", "50"}};
    options.extra.insert(options.extra.end(), lines.begin(), lines.end());
    test_support::writeRtcConf(plannerDir.path(), options);
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
  void connectTheWorld();

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

// A cycle stuck waiting for odometry is a late cycle: its command reaches the base again
// between cycles, so that the base's watchdog does not brake it, but only for two periods, so
// that the watchdog still stops a base whose planner hangs.
TEST_F(TorvaneProcess, aLateCycleRepeatsItsCommandForTwoPeriodsOnly) {
  ASSERT_NO_FATAL_FAILURE(startBoth());
  expectRtctl(names, {"connect", "Torvane0:robot_control", "PlannerWorld0:robot_control"});
  expectRtctl(names,
              {"connect", "Torvane0:RelativeMapService", "PlannerWorld0:RelativeMapService"});
  expectRtctl(names, {"activate", "PlannerWorld0", "Torvane0"});
  ASSERT_TRUE(planner->waitForOutput("onExecute start", kStartTimeout)) << planner->output();

  // The cycle's own command and at least one repeat, though no cycle follows.
  EXPECT_TRUE(world->waitForOutput("command vx=0.000 va=0.000", kCycleTimeout, 2))
      << world->output();
  EXPECT_EQ(planner->countInOutput("onExecute Start"), 0) << "a second cycle ran";
  // Then silence: the count no longer grows once the hold (2 x LOOP_TIME, 1 s) is over.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  const int afterHold = world->countInOutput("command ");
  std::this_thread::sleep_for(std::chrono::seconds(2));
  EXPECT_EQ(world->countInOutput("command "), afterHold) << world->output();
}

// Odometry that queued in the in-ports before the first cycle (the base was active first):
// the cycle steers on where the base is now, the newest sample, not on the oldest.
TEST_F(TorvaneProcess, odometryQueuedBeforeTheFirstCycleIsReadUpToTheNewest) {
  ASSERT_NO_FATAL_FAILURE(startBoth());
  expectRtctl(names,
              {"connect", "Torvane0:RelativeMapService", "PlannerWorld0:RelativeMapService"});
  const std::string poses = worldDir.file("poses.txt");
  std::ofstream(poses) << "data: {position: {x: 0.5, y: 0}, heading: 0}\n"
                          "data: {position: {x: 1.25, y: 0}, heading: 0}\n"
                          "data: {position: {x: 2, y: 0}, heading: 0}\n";
  const std::string velocities = worldDir.file("velocities.txt");
  std::ofstream(velocities) << "data: {vx: 0.3, va: 0}\ndata: {vx: 0, va: 0}\n";
  expectRtctl(names, {"inject", "Torvane0:robot_pose", "--file", poses});
  expectRtctl(names, {"inject", "Torvane0:robot_velocity", "--file", velocities});
  expectRtctl(names, {"activate", "PlannerWorld0", "Torvane0"});

  ASSERT_TRUE(planner->waitForOutput("Robot is here", kCycleTimeout)) << planner->output();
  const std::string output = planner->output();
  const std::string firstPose = output.substr(output.find("Robot is here"), 40);
  EXPECT_NE(firstPose.find("x=2000.00 , y=0.00"), std::string::npos) << firstPose;
}

void TorvaneProcess::connectTheWorld() {
  expectRtctl(names, {"connect", "PlannerWorld0:robot_pose", "Torvane0:robot_pose"});
  expectRtctl(names, {"connect", "PlannerWorld0:robot_velocity", "Torvane0:robot_velocity"});
  expectRtctl(names, {"connect", "Torvane0:robot_control", "PlannerWorld0:robot_control"});
  expectRtctl(names,
              {"connect", "Torvane0:RelativeMapService", "PlannerWorld0:RelativeMapService"});
}

TEST_F(TorvaneProcess, refusedParameterValuesLeaveTheValueInForce) {
  ASSERT_NO_FATAL_FAILURE(startBoth());
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"LOOP_TIME", "1e308"},      {"LOOP_TIME", "0"},         {"LOOP_TIME", "nan"},
      {"ROBOT_MAX_SPEED", "-0.3"}, {"ROBOT_MAX_SPEED", "inf"}, {"ROBOT_MAX_SPEED", "1e30"},
      {"ROBOT_ACCELERATION", "0"}, {"GOAL_AREA", "-0.2"},      {"SETPOINT_1", "-300"},
      {"SETPOINT_2", "abc"},       {"CHECKPOINT_1", "-1"},     {"CHECKPOINT_2", "nan"},
      {"CHECKPOINT_3", "-0.5"},    {"CHECKPOINT_4", "-1000"}};
  for (const auto& [key, value] : refused) {
    const auto result = test_support::runRtctl(names, {"conf", "Torvane0", "set", key, value});
    EXPECT_TRUE(!result.timedOut && result.status.exited && result.status.code != 0)
        << key << " = " << value << " was taken: " << result.out << result.err;
    EXPECT_NE(result.err.find(key), std::string::npos) << result.err;
  }
  const auto shown = test_support::runRtctl(names, {"conf", "Torvane0"});
  ASSERT_TRUE(shown.status.exitedWith(0)) << shown.err;
  for (const char* inForce : {"LOOP_TIME", "0.50", "ROBOT_MAX_SPEED", "0.300", "SETPOINT_1", "300",
                              "CHECKPOINT_4", "1000"})
    EXPECT_NE(shown.out.find(inForce), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find("1e308"), std::string::npos) << shown.out;

  // The ends of the ranges are usable values.
  expectRtctl(names, {"conf", "Torvane0", "set", "LOOP_TIME", "10"});
  expectRtctl(names, {"conf", "Torvane0", "set", "SETPOINT_1", "0"});
  expectRtctl(names, {"conf", "Torvane0", "set", "ROBOT_MAX_SPEED", "2"});
}

// The longest period there is: the pacing of a started route still gives way at once.
TEST_F(TorvaneProcess, aLongLoopTimeHoldsUpNeitherADeactivationNorATermination) {
  ASSERT_NO_FATAL_FAILURE(startBoth());
  ASSERT_NO_FATAL_FAILURE(connectTheWorld());
  expectRtctl(names, {"conf", "Torvane0", "set", "LOOP_TIME", "10"});
  for (int round = 0; round < 2; ++round) {
    expectRtctl(names, {"activate", "PlannerWorld0", "Torvane0"});
    ASSERT_TRUE(planner->waitForOutput("onExecute start", kStartTimeout, round + 1))
        << planner->output();
    expectRtctl(names, {"inject", "Torvane0:in_message", "ROBOT_START"});
    // The start word's cycle completes; the next one paces for 10 s.
    ASSERT_TRUE(
        planner->waitForOutput("calculation period for this step", kCycleTimeout, round + 1))
        << planner->output();
    if (round == 0) {
      expectRtctl(names, {"deactivate", "Torvane0"});
      EXPECT_TRUE(planner->waitForOutput("onDeactivate Complete", kCycleTimeout));
      expectRtctl(names, {"deactivate", "PlannerWorld0"});
    }
  }
  planner->sendSignal(SIGTERM);
  const auto status = planner->waitForExit(kCycleTimeout);
  ASSERT_TRUE(status.has_value()) << planner->output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
}

// 10,000 words on in_message through CORBA, one "ROBOT_START" in the middle: the planner takes
// them all, starts the route, and a writer it cannot take more from is told so. Killed at the
// end, it leaves a step log of whole records.
TEST_F(TorvaneProcess, aStartWordAmongTenThousandOthersStartsTheRoute) {
  configurePlanner({{"Category.Torvane.conf.default.LOOP_TIME", "0.05"}});
  ASSERT_NO_FATAL_FAILURE(startBoth());
  ChildOptions writerOptions;
  writerOptions.workingDirectory = worldDir.path();
  ChildProcess writer(test_support::binPath("planner_word_writer"),
                      {"-f", "rtc.conf", "--before", "5000", "--after", "4999"}, writerOptions);
  ASSERT_TRUE(names.waitForBinding("WordWriter0.rtc", kStartTimeout)) << writer.output();
  ASSERT_NO_FATAL_FAILURE(connectTheWorld());
  expectRtctl(names, {"connect", "WordWriter0:words", "Torvane0:in_message"});
  expectRtctl(names, {"activate", "PlannerWorld0", "Torvane0"});
  ASSERT_TRUE(planner->waitForOutput("onExecute start", kStartTimeout)) << planner->output();
  expectRtctl(names, {"activate", "WordWriter0"});

  ASSERT_TRUE(writer.waitForOutput("burst done", Seconds(120))) << writer.output();
  EXPECT_TRUE(writer.waitForOutput("before: 5000 of 5000 accepted", Seconds(1))) << writer.output();
  EXPECT_TRUE(writer.waitForOutput("word ROBOT_START: PORT_OK", Seconds(1))) << writer.output();
  // The route drives and does not listen: the words after the start word wait for the station
  // until the in-port is full, and then the writer is refused, never silently dropped.
  EXPECT_TRUE(writer.waitForOutput("accepted then BUFFER_TIMEOUT", Seconds(1))) << writer.output();
  EXPECT_TRUE(planner->waitForOutput("distance 1500.00", kCycleTimeout)) << planner->output();
  EXPECT_EQ(linesWithBoth(planner->output(), "in_message", "dropped"), 0);
  EXPECT_GT(linesWithBoth(planner->output(), "in_message", "refused"), 0) << "logged as well";

  planner->sendSignal(SIGKILL);
  ASSERT_TRUE(planner->waitForExit(kCycleTimeout).has_value());
  const std::string log = copyOf(plannerDir.path() + "/data_log.txt");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.substr(log.size() - 2), "\n\n") << "the last record is whole";
  // A block: "stepNNNN : value" and three "path[step+k]::: ..." lines.
  EXPECT_EQ(3 * occurrences(log, " : "), occurrences(log, ":::")) << log;
}

// With "clock.time_scale: 100" the planner paces and measures in simulated time: four cycles
// of the longest LOOP_TIME, 40 s of real time, pass well within the deadline, each reported as
// a 10 s period.
TEST_F(TorvaneProcess, aTimeScaleRunsThePlannersClockThatMuchFaster) {
  configurePlanner(
      {{"clock.time_scale", "100"}, {"Category.Torvane.conf.default.LOOP_TIME", "10"}});
  ASSERT_NO_FATAL_FAILURE(startBoth());
  ASSERT_NO_FATAL_FAILURE(connectTheWorld());
  expectRtctl(names, {"activate", "PlannerWorld0", "Torvane0"});
  ASSERT_TRUE(planner->waitForOutput("onExecute start", kStartTimeout)) << planner->output();
  expectRtctl(names, {"inject", "Torvane0:in_message", "ROBOT_START"});
  EXPECT_TRUE(planner->waitForOutput("call period t :10.0", kCycleTimeout, 4)) << planner->output();
}

}  // namespace
