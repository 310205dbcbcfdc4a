// A whole route, driven by the planner's own cycle against a base in a walled room, with the
// faults a run meets on the way (map service missing, unusable maps, a predicted collision, a
// prediction off the grid, words out of turn), compared with a recording: every console byte,
// every command, route word and published image, and the step log.
//
// To record again after an intended change: PLANNER_RECORD=1 planner_core_tests
// --gtest_filter='RecordedRun.*' writes the files under tests/planner/recordings.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <planner/planner_cycle.h>

#include "manual_clock.h"
#include "profile_settings.h"
#include "room_world.h"

namespace planner {
namespace {

using fakes::ManualClock;
using fakes::Room;
using fakes::RoomWorld;
using fakes::RoomWorldPorts;

constexpr int kMaxCycles = 2000;
constexpr std::uint32_t kContextPeriod_ms = 100;
constexpr int kCyclesAfterFinish = 3;
// Cycles spent waiting for the order to go back before it comes, and when an ignored word
// comes in between.
constexpr int kWaitBeforeGoBack = 4;
constexpr int kIgnoredWordWhileWaiting = 2;

std::string fileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// "" when equal, else where the texts first differ.
std::string firstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream a(expected), b(actual);
  std::string lineA, lineB;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (!moreA && !moreB) return expected == actual ? "" : "line ends differ";
    if (moreA != moreB || lineA != lineB)
      return "line " + std::to_string(line) + ": expected \"" + (moreA ? lineA : "<end>") +
             "\", got \"" + (moreB ? lineB : "<end>") + "\"";
  }
}

struct Recording {
  std::string console;
  std::string events;
  std::string stepLog;
};

Recording runTheRoute() {
  const std::string dir = ::testing::TempDir();
  const PlannerFiles files{dir + "recorded_run.mtn", dir + "recorded_run_log.txt"};
  EXPECT_TRUE(writeMotionFile(files.motionSet, {{3000.0f, 300.0f}, {-1600.0f, 400.0f}}));
  const PlannerSettings settings = fakes::profileSettings();
  ManualClock clock;
  RoomWorld world{Room{}};
  RoomWorldPorts ports(world, clock);
  PlannerCycle planner(settings, ports, clock, files);

  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(planner.openStepLog());
  planner.initialize();
  EXPECT_FALSE(planner.activate());
  int arrivedAt = -1;
  int finishedAt = -1;
  for (int cycle = 1; cycle <= kMaxCycles; ++cycle) {
    ports.cycle = cycle;
    ports.serviceState = MapServiceState::Present;
    ports.callFailure.reset();
    switch (cycle) {
      case 3:
        ports.inbox.push_back("ROBOT_GO_BACK");  // out of turn: ignored
        break;
      case 5:
        ports.inbox.push_back("ROBOT_START");
        break;
      case 8:
        ports.serviceState = MapServiceState::NotConnected;
        break;
      case 9:
        ports.serviceState = MapServiceState::NotActive;
        break;
      case 10:
        ports.callFailure = "CORBA::TRANSIENT";
        break;
      case 11: {
        std::vector<float> notANumber = RoomWorld{Room{}}.relativeMap();
        notANumber[4321] = std::nanf("");
        ports.mapOverride = notANumber;
        break;
      }
      case 13:
        ports.mapOverride = std::vector<float>(200 * 200, 0.5f);  // all unknown: blocked
        break;
      case 15:
        ports.velocityOverride = OdometryVelocity{30.0, 0.0};  // predicts off the grid
        break;
      case 17:
        ports.posePollsBeforeArrival = 7;
        break;
    }
    if (arrivedAt > 0 && cycle == arrivedAt + kIgnoredWordWhileWaiting)
      ports.inbox.push_back("ROBOT_START");
    if (arrivedAt > 0 && cycle == arrivedAt + kWaitBeforeGoBack)
      ports.inbox.push_back("ROBOT_GO_BACK");

    planner.execute();
    clock.now += kContextPeriod_ms;

    if (arrivedAt < 0 && ports.sent.size() == 1) arrivedAt = cycle;
    if (finishedAt < 0 && ports.sent.size() == 2) finishedAt = cycle;
    if (finishedAt > 0 && cycle == finishedAt + kCyclesAfterFinish) break;
  }
  planner.deactivate();
  planner.finalize();
  planner.closeStepLog();
  Recording run;
  run.console = ::testing::internal::GetCapturedStdout();
  run.console += "--- standard error ---\n" + ::testing::internal::GetCapturedStderr();
  run.events = joined(ports.events);
  run.stepLog = fileText(files.stepLog);
  std::remove(files.motionSet.c_str());
  std::remove(files.stepLog.c_str());

  EXPECT_EQ(ports.sent, (std::vector<std::string>{"ROBOT_ARRIVED", "ROBOT_FINISH"}))
      << "route state " << planner.routeState() << " after " << kMaxCycles << " cycles";
  EXPECT_EQ(planner.routeState(), 0);
  return run;
}

TEST(RecordedRun, wholeRouteInARoomIsByteForByteTheRecordedOne) {
  const Recording run = runTheRoute();
  const std::string recorded = PLANNER_RECORDING_DIR;
  const struct {
    const char* name;
    const std::string& actual;
  } parts[] = {{"/room_route_console.txt", run.console},
               {"/room_route_events.txt", run.events},
               {"/room_route_step_log.txt", run.stepLog}};
  if (std::getenv("PLANNER_RECORD")) {
    for (const auto& part : parts) writeText(recorded + part.name, part.actual);
    GTEST_SKIP() << "recorded into " << recorded;
  }
  for (const auto& part : parts) {
    const std::string expected = fileText(recorded + part.name);
    ASSERT_FALSE(expected.empty()) << recorded + part.name << " is missing";
    const std::string difference = firstDifference(expected, part.actual);
    if (difference.empty()) continue;
    const std::string actualFile = ::testing::TempDir() + part.name;
    writeText(actualFile, part.actual);
    ADD_FAILURE() << part.name << " differs at " << difference << " (this run: " << actualFile
                  << ")";
  }
}

}  // namespace
}  // namespace planner
