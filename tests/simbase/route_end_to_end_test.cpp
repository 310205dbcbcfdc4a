// The whole mobile-base system on this machine: the planner, the simulated base, the route
// supervisor and the planning-image viewer as separate processes on a private name server,
// connected with rtctl, driving the default building's route from start to finish.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "planner/motion_set.h"
#include "tests/support/test_support.h"

using namespace test_support;

namespace {

const Seconds kStartTimeout(20);
const Seconds kCommandTimeout(20);
// The route takes about 100 s of simulated driving; a loaded machine may stretch the cycles.
const Seconds kRouteTimeout(400);

void expectRtctl(const NameServer& names, const std::vector<std::string>& arguments) {
  const RunResult result = runRtctl(names, arguments, kCommandTimeout);
  std::string command;
  for (const auto& word : arguments) command += word + " ";
  EXPECT_FALSE(result.timedOut) << command;
  EXPECT_TRUE(result.status.exitedWith(0)) << command << result.status.describe() << "\n"
                                           << result.out << result.err;
}

}  // namespace

TEST(RouteEndToEnd, defaultBuildingFromStartToFinishWithoutCollision) {
  TempDir dir("simbase-e2e-");
  NameServer names;
  RtcConfOptions conf;
  conf.nameServer = names.address();
  conf.rate_hz = 100.0;
  writeRtcConf(dir.path(), conf);
  // The planner reads its motion set from its working folder at activation.
  ASSERT_TRUE(planner::writeMotionFile(dir.file("MotionSet.mtn"),
                                       {{0.0f, 300.0f}, {3000.0f, 300.0f}, {-3000.0f, 300.0f}}));
  ChildOptions inDir;
  inDir.workingDirectory = dir.path();
  const std::vector<std::string> confArgs = {"-f", dir.file("rtc.conf")};

  ChildProcess base(binPath("BaseSimComp"), confArgs, inDir);
  ChildProcess planner(binPath("TorvaneComp"), confArgs, inDir);
  ChildProcess viewer(
      binPath("PlanViewer"),
      {"--dir", dir.file("frames"), "--video", dir.file("run.avi"), "-f", dir.file("rtc.conf")},
      inDir);
  ChildProcess supervisor(binPath("RouteSupervisor"),
                          {"--arrival-timeout", "200", "--finish-timeout", "200", "--at-station",
                           "echo arm task done", "-f", dir.file("rtc.conf")},
                          inDir);
  for (const char* name :
       {"BaseSim0.rtc", "Torvane0.rtc", "PlanViewer0.rtc", "RouteSupervisor0.rtc"}) {
    ASSERT_TRUE(names.waitForBinding(name, kStartTimeout)) << name;
  }

  expectRtctl(names, {"connect", "Torvane0:robot_control", "BaseSim0:robot_control"});
  expectRtctl(names, {"connect", "BaseSim0:robot_pose", "Torvane0:robot_pose"});
  expectRtctl(names, {"connect", "BaseSim0:robot_velocity", "Torvane0:robot_velocity"});
  expectRtctl(names, {"connect", "Torvane0:RelativeMapService", "BaseSim0:RelativeMapService"});
  expectRtctl(names, {"connect", "Torvane0:planning_img", "PlanViewer0:planning_img"});
  expectRtctl(names, {"connect", "RouteSupervisor0:route_command", "Torvane0:in_message"});
  expectRtctl(names, {"connect", "Torvane0:message", "RouteSupervisor0:route_report"});
  // The supervisor watches the base's progress; the route must never look stuck to it.
  expectRtctl(names,
              {"connect", "RouteSupervisor0:BaseStatusService", "BaseSim0:BaseStatusService"});
  ASSERT_FALSE(::testing::Test::HasFailure());

  expectRtctl(names, {"activate", "BaseSim0", "PlanViewer0", "Torvane0"});
  ASSERT_TRUE(planner.waitForOutput("waiting completed.", kStartTimeout)) << planner.output();
  expectRtctl(names, {"activate", "RouteSupervisor0"});

  const auto finished = supervisor.waitForExit(kRouteTimeout);
  ASSERT_TRUE(finished) << supervisor.output();
  EXPECT_TRUE(finished->exitedWith(0)) << finished->describe() << "\n" << supervisor.output();
  const std::string words = supervisor.standardOutput();
  const auto arrived = words.find("received ROBOT_ARRIVED");
  const auto station = words.find("arm task done");
  const auto goBack = words.find("sent ROBOT_GO_BACK");
  const auto finish = words.find("received ROBOT_FINISH");
  ASSERT_NE(arrived, std::string::npos) << words;
  EXPECT_NE(words.find("sent ROBOT_START"), std::string::npos);
  EXPECT_LT(arrived, station);
  EXPECT_LT(station, goBack);
  EXPECT_LT(goBack, finish);
  EXPECT_NE(finish, std::string::npos);

  // No wall was touched, and the base says so in its summary at exit.
  EXPECT_EQ(base.countInOutput("collision #"), 0) << base.output();
  expectRtctl(names, {"deactivate", "Torvane0", "PlanViewer0"});
  expectRtctl(names, {"exit", "BaseSim0", "PlanViewer0", "Torvane0"});
  ASSERT_TRUE(base.waitForExit(kCommandTimeout)) << base.output();
  EXPECT_NE(base.standardOutput().find("BaseSim: collisions 0,"), std::string::npos)
      << base.output();
  ASSERT_TRUE(viewer.waitForExit(kCommandTimeout)) << viewer.output();

  // The viewer kept the planning images of the run.
  EXPECT_TRUE(std::filesystem::exists(dir.file("frames/latest.png")));
  EXPECT_TRUE(std::filesystem::exists(dir.file("frames/frame_000050.png")));
  EXPECT_GT(std::filesystem::file_size(dir.file("run.avi")), 10000u);
  EXPECT_EQ(viewer.countInOutput("refused:"), 0) << viewer.output();
  EXPECT_NE(viewer.standardOutput().find(" 0 refused"), std::string::npos) << viewer.output();
}
