// A route that cannot go on is given up with its reason: the planner, the simulated base and
// the route supervisor as separate processes on a private name server, connected with rtctl,
// and one of them failing while the base drives.
#include <gtest/gtest.h>

#include <signal.h>

#include <memory>

#include "planner/motion_set.h"
#include "tests/support/test_support.h"

using namespace test_support;

namespace {

const Seconds kStartTimeout(30);
const Seconds kCommandTimeout(20);
// The supervisor's own time-outs are a few seconds; this only bounds a test that goes wrong.
const Seconds kGiveUpTimeout(90);

// Base, planner and supervisor, connected and driving the default building's route.
class DrivingRoute {
 public:
  explicit DrivingRoute(const std::string& progressTimeout_s) : dir_("simbase-faults-") {
    RtcConfOptions conf;
    conf.nameServer = names_.address();
    writeRtcConf(dir_.path(), conf);
    planner::writeMotionFile(dir_.file("MotionSet.mtn"), {{0.0f, 300.0f}, {3000.0f, 300.0f}});
    ChildOptions inDir;
    inDir.workingDirectory = dir_.path();
    const std::vector<std::string> confArgs = {"-f", dir_.file("rtc.conf")};
    base = std::make_unique<ChildProcess>(binPath("BaseSimComp"), confArgs, inDir);
    planner = std::make_unique<ChildProcess>(binPath("TorvaneComp"), confArgs, inDir);
    supervisor = std::make_unique<ChildProcess>(
        binPath("RouteSupervisor"),
        std::vector<std::string>{"--fault-timeout", "2", "--progress-timeout", progressTimeout_s,
                                 "-f", dir_.file("rtc.conf")},
        inDir);
  }

  // Connects everything and activates the base and the planner; returns once the planner's
  // cycles run.
  void bringUp() {
    for (const char* name : {"BaseSim0.rtc", "Torvane0.rtc", "RouteSupervisor0.rtc"})
      ASSERT_TRUE(names_.waitForBinding(name, kStartTimeout)) << name;
    for (const auto& [from, to] : std::vector<std::pair<const char*, const char*>>{
             {"Torvane0:robot_control", "BaseSim0:robot_control"},
             {"BaseSim0:robot_pose", "Torvane0:robot_pose"},
             {"BaseSim0:robot_velocity", "Torvane0:robot_velocity"},
             {"Torvane0:RelativeMapService", "BaseSim0:RelativeMapService"},
             {"RouteSupervisor0:route_command", "Torvane0:in_message"},
             {"Torvane0:message", "RouteSupervisor0:route_report"},
             {"RouteSupervisor0:BaseStatusService", "BaseSim0:BaseStatusService"}})
      rtctl({"connect", from, to});
    rtctl({"activate", "BaseSim0", "Torvane0"});
    ASSERT_TRUE(planner->waitForOutput("waiting completed.", kStartTimeout)) << planner->output();
  }

  // Brings the system up, starts the route and returns once the planner drives the base.
  void startDriving() {
    bringUp();
    if (::testing::Test::HasFatalFailure()) return;
    rtctl({"activate", "RouteSupervisor0"});
    ASSERT_TRUE(supervisor->waitForOutput("sent ROBOT_START", kStartTimeout))
        << supervisor->output();
    // The route's first leg: straight ahead at the route speed.
    ASSERT_TRUE(planner->waitForOutput("m_robot_control::Velocity:0.300000", kStartTimeout))
        << planner->output();
  }

  void rtctl(const std::vector<std::string>& arguments) {
    const RunResult result = runRtctl(names_, arguments, kCommandTimeout);
    ASSERT_TRUE(result.status.exitedWith(0)) << arguments[0] << " " << arguments[1] << "\n"
                                             << result.out << result.err;
  }

  // The supervisor gives up: exit status 1 and the reason on standard error.
  void expectGivenUpWith(const std::string& reason) {
    const auto ended = supervisor->waitForExit(kGiveUpTimeout);
    ASSERT_TRUE(ended) << supervisor->output();
    EXPECT_TRUE(ended->exitedWith(1)) << ended->describe();
    EXPECT_NE(supervisor->standardError().find("RouteSupervisor: " + reason), std::string::npos)
        << supervisor->output();
    EXPECT_NE(supervisor->standardOutput().find("route failed: " + reason), std::string::npos)
        << supervisor->output();
  }

  std::unique_ptr<ChildProcess> base;
  std::unique_ptr<ChildProcess> planner;
  std::unique_ptr<ChildProcess> supervisor;

 private:
  TempDir dir_;
  NameServer names_;
};

}  // namespace

TEST(RouteFaults, aBaseKilledWhileDrivingIsAMissingMapService) {
  DrivingRoute route("60");
  route.startDriving();
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  route.base->sendSignal(SIGKILL);
  route.expectGivenUpWith(
      "map service missing for 2.0 s: BaseSim0.RelativeMapService, the provider of "
      "Torvane0.RelativeMapService, does not answer");
  // The planner stays up. Its cycle either finds the map service missing or waits for the
  // odometry of the map it was served last, which no longer comes: either way a deactivation
  // still gives way.
  EXPECT_TRUE(route.planner->isRunning());
  route.rtctl({"deactivate", "Torvane0"});
  EXPECT_TRUE(route.planner->waitForOutput("onDeactivate Complete", kStartTimeout))
      << route.planner->output();
}

TEST(RouteFaults, aPlannerKilledWhileDrivingIsASilentPlanner) {
  DrivingRoute route("60");
  route.startDriving();
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  route.planner->sendSignal(SIGKILL);
  route.expectGivenUpWith("planner silent for 2.0 s: Torvane0 does not answer");
  // Without commands the base's watchdog has brought it to rest.
  EXPECT_TRUE(route.base->waitForOutput("the watchdog brought the base to rest", kStartTimeout))
      << route.base->output();
}

// The supervisor's first word goes to a planner that does not take it: the put waits out its
// call time-out and the out-port drops the connection. The supervisor still watches that planner.
TEST(RouteFaults, aPlannerStoppedBeforeTheRouteStartsIsASilentPlanner) {
  DrivingRoute route("60");
  route.bringUp();
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  route.planner->sendSignal(SIGSTOP);
  route.rtctl({"activate", "RouteSupervisor0"});
  route.expectGivenUpWith("planner silent for 2.0 s: the planner does not answer");
  route.planner->sendSignal(SIGCONT);
}

TEST(RouteFaults, aBaseThatStopsMovingIsNoProgress) {
  DrivingRoute route("4");
  route.startDriving();
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  // The base stops taking commands and sending odometry, but its services still answer: the
  // planner waits for odometry, and the base stands still.
  route.rtctl({"deactivate", "BaseSim0"});
  route.expectGivenUpWith("no progress: the base moved less than 0.10 m in 4.0 s");
}
