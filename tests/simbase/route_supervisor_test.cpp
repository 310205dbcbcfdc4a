#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "route_protocol.h"
#include "route_watch.h"
#include "station_command.h"
#include "supervisor_options.h"
#include "tool_command_line.h"
#include "word_log.h"
#include "word_sender.h"

using namespace routesupervisor;

namespace {

using Words = std::vector<std::string>;

struct ParsedLine : simbase_test::ParsedCommandLine {
  SupervisorSettings settings;
};

ParsedLine parseLine(const Words& words) {
  ParsedLine parsed;
  static_cast<simbase_test::ParsedCommandLine&>(parsed) = simbase_test::parseCommandLine(
      words, [&](CLI::App& app) { addSupervisorOptions(app, parsed.settings); });
  return parsed;
}

PlannerFinding silent(const std::string& detail) { return {PlannerCondition::Silent, detail}; }
PlannerFinding mapMissing(const std::string& detail) {
  return {PlannerCondition::MapMissing, detail};
}
const PlannerFinding kRunning{PlannerCondition::Running, ""};

}  // namespace

TEST(RouteProtocol, wholeRouteInOrder) {
  RouteProtocol route({60.0, 10.0, 20.0});
  EXPECT_EQ(route.start(0.0), "ROBOT_START");
  EXPECT_EQ(route.phase(), RoutePhase::WaitingForArrival);
  EXPECT_FALSE(route.received("ROBOT_FINISH"));  // out of order: ignored
  EXPECT_FALSE(route.received("hello"));
  EXPECT_FALSE(route.checkTimeout(9.9));
  EXPECT_TRUE(route.received("ROBOT_ARRIVED"));
  EXPECT_EQ(route.phase(), RoutePhase::AtStation);
  // Time at the station does not count against either wait.
  EXPECT_FALSE(route.checkTimeout(100.0));
  EXPECT_EQ(route.stationWorkDone(true, "", 100.0), "ROBOT_GO_BACK");
  EXPECT_FALSE(route.received("ROBOT_ARRIVED"));
  EXPECT_FALSE(route.checkTimeout(119.9));
  EXPECT_TRUE(route.received("ROBOT_FINISH"));
  EXPECT_EQ(route.phase(), RoutePhase::Finished);
  EXPECT_EQ(route.failure(), "");
  EXPECT_EQ(route.start(200.0), "");
}

TEST(RouteProtocol, eachWaitHasItsOwnTimeout) {
  RouteProtocol late({60.0, 10.0, 20.0});
  late.start(5.0);
  EXPECT_TRUE(late.checkTimeout(15.0));
  EXPECT_EQ(late.phase(), RoutePhase::Failed);
  EXPECT_EQ(late.failure(), "no ROBOT_ARRIVED within 10.0 s");
  EXPECT_FALSE(late.received("ROBOT_ARRIVED"));

  RouteProtocol lateBack({60.0, 10.0, 20.0});
  lateBack.start(0.0);
  lateBack.received("ROBOT_ARRIVED");
  lateBack.stationWorkDone(true, "", 50.0);
  EXPECT_FALSE(lateBack.checkTimeout(69.0));
  EXPECT_TRUE(lateBack.checkTimeout(70.0));
  EXPECT_EQ(lateBack.failure(), "no ROBOT_FINISH within 20.0 s");
}

TEST(RouteProtocol, failedStationWorkSendsNoGoBack) {
  RouteProtocol route({60.0, 10.0, 20.0});
  route.start(0.0);
  route.received("ROBOT_ARRIVED");
  EXPECT_EQ(route.stationWorkDone(false, "station command: exit code 3", 1.0), "");
  EXPECT_EQ(route.phase(), RoutePhase::Failed);
  EXPECT_EQ(route.failure(), "station command: exit code 3");
}

TEST(StationCommand, reportsSuccessFailureAndTimeout) {
  const auto ok = runStationCommand("true", 10.0);
  EXPECT_TRUE(ok.succeeded);
  EXPECT_EQ(ok.description, "exit code 0");
  const auto failed = runStationCommand("exit 3", 10.0);
  EXPECT_FALSE(failed.succeeded);
  EXPECT_EQ(failed.description, "exit code 3");
  // The sleeping grandchild is killed with the shell, so this returns promptly.
  const auto hung = runStationCommand("sleep 30; true", 0.3);
  EXPECT_FALSE(hung.succeeded);
  EXPECT_EQ(hung.description, "timed out after 0.3 s");
}

TEST(SupervisorCommandLine, ownOptionsAreTakenTheRestGoesToTheMiddleware) {
  const ParsedLine line =
      parseLine({"RouteSupervisor", "--arrival-timeout", "120", "-f", "rtc.conf", "--at-station",
                 "arm_task --fast", "--finish-timeout", "90.5", "--station-timeout", "30",
                 "--connect-timeout", "7", "--fault-timeout", "2", "--progress-timeout", "45"});
  ASSERT_FALSE(line.status) << line.error;
  EXPECT_DOUBLE_EQ(line.settings.timeouts.arrival_s, 120.0);
  EXPECT_DOUBLE_EQ(line.settings.timeouts.finish_s, 90.5);
  EXPECT_DOUBLE_EQ(line.settings.stationTimeout_s, 30.0);
  EXPECT_DOUBLE_EQ(line.settings.timeouts.connect_s, 7.0);
  EXPECT_DOUBLE_EQ(line.settings.watch.fault_s, 2.0);
  EXPECT_DOUBLE_EQ(line.settings.watch.progress_s, 45.0);
  EXPECT_EQ(line.settings.stationCommand, "arm_task --fast");
  EXPECT_EQ(line.middleware, (Words{"RouteSupervisor", "-f", "rtc.conf"}));

  const ParsedLine defaults = parseLine({"RouteSupervisor"});
  ASSERT_FALSE(defaults.status);
  EXPECT_EQ(defaults.settings.stationCommand, "");
  EXPECT_DOUBLE_EQ(defaults.settings.timeouts.arrival_s, 300.0);
  EXPECT_DOUBLE_EQ(defaults.settings.watch.fault_s, 5.0);
  EXPECT_DOUBLE_EQ(defaults.settings.watch.progress_s, 30.0);
}

TEST(SupervisorCommandLine, everyTimeOutRefusesValuesOutOfItsRangeWithTheUsage) {
  for (const char* option : {"--connect-timeout", "--arrival-timeout", "--finish-timeout",
                             "--fault-timeout", "--progress-timeout", "--station-timeout"}) {
    for (const char* value : {"-3", "0", "0.05", "nan", "inf", "1e9", "x", "5s"}) {
      const ParsedLine line = parseLine({"RouteSupervisor", option, value});
      EXPECT_EQ(line.status, 2) << option << " " << value;
      EXPECT_NE(line.error.find(option), std::string::npos) << line.error;
      EXPECT_NE(line.error.find("Usage"), std::string::npos) << line.error;
    }
  }
  EXPECT_EQ(parseLine({"RouteSupervisor", "--at-station"}).status, 2);
  EXPECT_EQ(parseLine({"RouteSupervisor", "--bogus"}).status, 2);
  EXPECT_EQ(parseLine({"RouteSupervisor", "--help"}).status, 0);
  EXPECT_EQ(parseLine({"RouteSupervisor", "--version"}).status, 0);
}

TEST(RouteWatch, aFaultThatLastsItsTimeOutGivesTheRouteUpWithTheReason) {
  RouteWatch watch({5.0, 30.0});
  watch.restart(100.0);
  watch.planner(kRunning, 101.0);
  watch.planner(mapMissing("BaseSim0.RelativeMapService does not answer"), 102.0);
  watch.planner(mapMissing("BaseSim0.RelativeMapService does not answer"), 103.0);
  EXPECT_EQ(watch.giveUpReason(106.9), "");
  EXPECT_EQ(watch.giveUpReason(107.0),
            "map service missing for 5.0 s: BaseSim0.RelativeMapService does not answer");

  RouteWatch planner({2.0, 30.0});
  planner.restart(0.0);
  planner.planner(silent("Torvane0 does not answer"), 1.0);
  EXPECT_EQ(planner.giveUpReason(3.0), "planner silent for 2.0 s: Torvane0 does not answer");
}

TEST(RouteWatch, aFaultThatClearsOrChangesStartsAgain) {
  RouteWatch watch({5.0, 30.0});
  watch.restart(0.0);
  watch.planner(silent("Torvane0 is INACTIVE"), 1.0);
  watch.planner(kRunning, 4.0);  // reactivated, or respawned
  watch.planner(silent("Torvane0 does not answer"), 5.0);
  EXPECT_EQ(watch.giveUpReason(9.9), "");
  // Another kind of fault counts from when it was first seen.
  watch.planner(mapMissing("Torvane0.RelativeMapService is not connected"), 8.0);
  EXPECT_EQ(watch.giveUpReason(12.9), "");
  EXPECT_NE(watch.giveUpReason(13.0), "");
  // Nothing to judge is no fault.
  watch.planner(PlannerFinding{}, 14.0);
  EXPECT_EQ(watch.giveUpReason(100.0), "");
}

TEST(RouteWatch, aBaseThatStaysInOnePlaceIsNoProgress) {
  RouteWatch watch({5.0, 30.0});
  watch.restart(0.0);
  watch.basePosition(2.0, 1.0, 1.0);
  watch.basePosition(2.05, 1.05, 20.0);  // 0.07 m: not yet progress
  EXPECT_EQ(watch.giveUpReason(29.9), "");
  EXPECT_EQ(watch.giveUpReason(30.0), "no progress: the base moved less than 0.10 m in 30.0 s");
  watch.basePosition(2.08, 1.07, 29.0);  // 0.1 m from the mark
  EXPECT_EQ(watch.giveUpReason(58.9), "");
  EXPECT_NE(watch.giveUpReason(59.0), "");
}

TEST(RouteWatch, withoutPositionsProgressIsNotJudged) {
  RouteWatch watch({5.0, 30.0});
  watch.restart(0.0);
  watch.planner(kRunning, 1.0);
  EXPECT_EQ(watch.giveUpReason(1000.0), "");
}

TEST(RouteWatch, aNewWaitForgetsWhatWasSeenBefore) {
  RouteWatch watch({5.0, 30.0});
  watch.restart(0.0);
  watch.basePosition(0.0, 0.0, 1.0);
  watch.planner(silent("Torvane0 does not answer"), 2.0);
  watch.restart(50.0);
  EXPECT_EQ(watch.giveUpReason(60.0), "");
  // A round that ended before the restart belongs to the old wait.
  watch.planner(silent("Torvane0 does not answer"), 49.5);
  watch.basePosition(0.0, 0.0, 49.5);
  EXPECT_EQ(watch.giveUpReason(100.0), "");
  // A fault seen during the new wait still counts.
  watch.planner(silent("Torvane0 does not answer"), 100.0);
  EXPECT_NE(watch.giveUpReason(105.0), "");
}

TEST(RouteProtocol, aRouteThatCannotGoOnIsGivenUpWithItsReason) {
  RouteProtocol route({60.0, 300.0, 300.0});
  EXPECT_FALSE(route.awaitingPlanner());
  EXPECT_FALSE(route.giveUp("too early"));
  route.start(0.0);
  EXPECT_TRUE(route.awaitingPlanner());
  EXPECT_TRUE(route.giveUp("planner silent for 5.0 s: Torvane0 does not answer"));
  EXPECT_EQ(route.phase(), RoutePhase::Failed);
  EXPECT_EQ(route.failure(), "planner silent for 5.0 s: Torvane0 does not answer");
  EXPECT_FALSE(route.awaitingPlanner());
  EXPECT_FALSE(route.received("ROBOT_ARRIVED"));

  RouteProtocol atStation({60.0, 300.0, 300.0});
  atStation.start(0.0);
  atStation.received("ROBOT_ARRIVED");
  EXPECT_FALSE(atStation.awaitingPlanner());
  EXPECT_FALSE(atStation.giveUp("the base is not moving"));
  EXPECT_EQ(atStation.phase(), RoutePhase::AtStation);
}

TEST(WordLine, utcStampWithMilliseconds) {
  const auto when =
      std::chrono::system_clock::time_point(std::chrono::milliseconds(1796707812345LL));
  EXPECT_EQ(wordLine(when, "sent ROBOT_START"), "2026-12-08T05:30:12.345Z sent ROBOT_START");
  const auto whole = std::chrono::system_clock::time_point(std::chrono::seconds(0));
  EXPECT_EQ(wordLine(whole, "x"), "1970-01-01T00:00:00.000Z x");
}

TEST(RouteProtocol, startWaitsForThePortsWithinTheirTimeout) {
  RouteTimeouts timeouts;
  timeouts.connect_s = 5.0;
  RouteProtocol connected(timeouts);
  connected.awaitPorts(0.0);
  EXPECT_EQ(connected.phase(), RoutePhase::WaitingForPorts);
  EXPECT_FALSE(connected.checkTimeout(4.9));
  EXPECT_EQ(connected.start(4.9), "ROBOT_START");
  // The arrival wait runs from the start, not from the activation.
  EXPECT_FALSE(connected.checkTimeout(4.9 + 299.0));

  RouteProtocol never(timeouts);
  never.awaitPorts(0.0);
  EXPECT_TRUE(never.checkTimeout(5.0));
  EXPECT_EQ(never.failure(), "ports not connected within 5.0 s");
  EXPECT_EQ(never.start(6.0), "");
}

// A write that does not return (a planner that does not take its word) must not hold up the
// caller: the execution context goes on watching the route meanwhile.
TEST(WordSender, wordsAreWrittenInOrderWhileTheCallerGoesOn) {
  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  Words written;
  std::thread::id writer;
  WordSender sender([&](const std::string& word) {
    std::unique_lock<std::mutex> lock(mutex);
    writer = std::this_thread::get_id();
    changed.wait(lock, [&] { return released; });
    written.push_back(word);
    changed.notify_all();
  });
  sender.send("ROBOT_START");
  sender.send("ROBOT_GO_BACK");
  std::unique_lock<std::mutex> lock(mutex);
  EXPECT_TRUE(written.empty());
  released = true;
  changed.notify_all();
  ASSERT_TRUE(
      changed.wait_for(lock, std::chrono::seconds(30), [&] { return written.size() == 2; }));
  EXPECT_EQ(written, (Words{"ROBOT_START", "ROBOT_GO_BACK"}));
  EXPECT_NE(writer, std::this_thread::get_id());
}

TEST(WordSender, nothingIsWrittenAfterStop) {
  std::atomic<int> writes{0};
  WordSender sender([&](const std::string&) { ++writes; });
  sender.stop();
  sender.send("ROBOT_START");
  sender.stop();
  EXPECT_EQ(writes.load(), 0);
}
