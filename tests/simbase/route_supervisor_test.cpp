#include <gtest/gtest.h>

#include "route_protocol.h"
#include "station_command.h"
#include "supervisor_options.h"
#include "word_log.h"

using namespace routesupervisor;

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
  const auto line =
      parseSupervisorCommandLine({"RouteSupervisor", "--arrival-timeout", "120", "-f", "rtc.conf",
                                  "--at-station", "arm_task --fast", "--finish-timeout", "90.5",
                                  "--station-timeout", "30", "--connect-timeout", "7"});
  EXPECT_EQ(line.error, "");
  EXPECT_DOUBLE_EQ(line.settings.timeouts.arrival_s, 120.0);
  EXPECT_DOUBLE_EQ(line.settings.timeouts.finish_s, 90.5);
  EXPECT_DOUBLE_EQ(line.settings.stationTimeout_s, 30.0);
  EXPECT_DOUBLE_EQ(line.settings.timeouts.connect_s, 7.0);
  EXPECT_EQ(line.settings.stationCommand, "arm_task --fast");
  EXPECT_EQ(line.middlewareArguments,
            (std::vector<std::string>{"RouteSupervisor", "-f", "rtc.conf"}));
  EXPECT_EQ(parseSupervisorCommandLine({"RouteSupervisor", "--finish-timeout", "-3"}).error,
            "--finish-timeout needs a positive number of seconds, not '-3'");
  EXPECT_EQ(parseSupervisorCommandLine({"RouteSupervisor", "--at-station"}).error,
            "--at-station needs a value");
  const auto defaults = parseSupervisorCommandLine({"RouteSupervisor"});
  EXPECT_EQ(defaults.settings.stationCommand, "");
  EXPECT_DOUBLE_EQ(defaults.settings.timeouts.arrival_s, 300.0);
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
