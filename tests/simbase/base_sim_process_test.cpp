// BaseSimComp as a process: its map and status services and its command port answer real
// CORBA calls, a wall contact is reported and counted, the watchdog brings the base to rest,
// the summary comes at exit; its parameters refuse values out of their ranges and its clock
// follows clock.time_scale.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "base_sim_client.h"
#include "tests/support/test_support.h"

using namespace test_support;
using simbase_test::BaseSimClient;
using simbase_test::encodeVelocityCommand;

namespace {

const Seconds kStartTimeout(20);
const Seconds kEventTimeout(20);
constexpr int kMapCells = 200;

float mapValue(const Zemla::TimedFloatRelativeOGMapData& map, int row, int column) {
  return map.cells[static_cast<CORBA::ULong>(row * kMapCells + column)];
}

void runRtctlOk(const NameServer& names, const std::vector<std::string>& arguments) {
  const RunResult result = runRtctl(names, arguments, Seconds(20));
  ASSERT_TRUE(result.status.exitedWith(0)) << result.out << result.err;
}

// A BaseSimComp with its own name server, working folder and floor plan, and this test's
// references to its services and command port once it is up.
class RunningBase {
 public:
  explicit RunningBase(const std::string& planText,
                       const std::vector<std::pair<std::string, std::string>>& conf = {})
      : dir_("simbase-process-") {
    writeFile(dir_.file("test.plan"), planText);
    RtcConfOptions options;
    options.nameServer = names_.address();
    options.extra = conf;
    writeRtcConf(dir_.path(), options);
    ChildOptions inDir;
    inDir.workingDirectory = dir_.path();
    base_ = std::make_unique<ChildProcess>(
        binPath("BaseSimComp"), std::vector<std::string>{"-f", dir_.file("rtc.conf")}, inDir);
  }

  // Waits for the name, sets the plan, and finds the services; false (with a test failure)
  // when any of that does not work.
  bool start() {
    if (!names_.waitForBinding("BaseSim0.rtc", kStartTimeout)) {
      ADD_FAILURE() << base_->output();
      return false;
    }
    runRtctlOk(names_, {"conf", "BaseSim0", "set", "floor_plan", dir_.file("test.plan")});
    client_ = std::make_unique<BaseSimClient>(names_);
    return client_->ok();
  }

  SimBase::BaseStatusService_ptr status() { return client_->status.in(); }
  Zemla::RelativeMapService_ptr map() { return client_->map.in(); }
  OpenRTM::InPortCdr_ptr command() { return client_->command.in(); }

  void activate() {
    runRtctlOk(names_, {"activate", "BaseSim0"});
    ASSERT_TRUE(base_->waitForOutput("test.plan: ", kStartTimeout)) << base_->output();
  }

  ChildProcess& process() { return *base_; }
  const NameServer& names() const { return names_; }
  RunResult rtctl(const std::vector<std::string>& arguments) {
    return runRtctl(names_, arguments, Seconds(20));
  }

 private:
  TempDir dir_;
  NameServer names_;
  std::unique_ptr<ChildProcess> base_;
  std::unique_ptr<BaseSimClient> client_;
};

}  // namespace

TEST(BaseSimProcess, servicesAnswerAndAWallContactIsCountedAndSummarised) {
  // A wall across the way, 1 m ahead of the start; the route's points named.
  RunningBase base("start 0 0 0\nwall 1.0 -2.0 1.0 2.0\narrival 0.5 0.2\n");
  ASSERT_TRUE(base.start());

  // Before the first activation the building is not loaded yet.
  SimBase::FloorPlan_var plan = base.status()->getFloorPlan();
  EXPECT_FALSE(plan->loaded);
  EXPECT_EQ(plan->walls.length(), 0u);
  base.activate();
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  EXPECT_TRUE(base.process().waitForOutput("test.plan: 1 walls, start x=0.000", kStartTimeout));

  // The building as loaded, for a tool that draws it.
  plan = base.status()->getFloorPlan();
  ASSERT_TRUE(plan->loaded);
  ASSERT_EQ(plan->walls.length(), 1u);
  EXPECT_DOUBLE_EQ(plan->walls[0].from.x_m, 1.0);
  EXPECT_DOUBLE_EQ(plan->walls[0].from.y_m, -2.0);
  EXPECT_DOUBLE_EQ(plan->walls[0].to.y_m, 2.0);
  EXPECT_DOUBLE_EQ(plan->start.x_m, 0.0);
  ASSERT_EQ(plan->arrival.length(), 1u);
  EXPECT_DOUBLE_EQ(plan->arrival[0].x_m, 0.5);
  EXPECT_DOUBLE_EQ(plan->arrival[0].y_m, 0.2);
  EXPECT_EQ(plan->finish.length(), 0u);
  EXPECT_DOUBLE_EQ(plan->footprint_radius_m, 0.15);

  // The map: 200 x 200, the wall 1 m ahead in the base's row (row 99), free before it,
  // unknown behind it.
  Zemla::TimedFloatRelativeOGMapData_var map = base.map()->getFloatRelativeOGMap();
  ASSERT_EQ(map->mapconfig.width, 200u);
  ASSERT_EQ(map->mapconfig.height, 200u);
  ASSERT_EQ(map->cells.length(), 40000u);
  EXPECT_DOUBLE_EQ(map->mapconfig.xScale, 0.05);
  EXPECT_EQ(mapValue(map, 99, 99 + 20), 1.0f);  // 1000 mm ahead
  EXPECT_EQ(mapValue(map, 99, 99 + 10), 0.0f);
  EXPECT_EQ(mapValue(map, 99, 99 + 30), 0.5f);
  EXPECT_EQ(mapValue(map, 99, 99 - 30), 0.0f);  // behind the base: open

  // Drive into the wall, commanding as a planner does, until the contact.
  bool touched = false;
  for (int i = 0; i < 100 && !touched; ++i) {
    EXPECT_EQ(base.command()->put(encodeVelocityCommand(0.4, 0.0)), OpenRTM::PORT_OK);
    touched = base.process().waitForOutput("BaseSim: collision #1 at x=0.8", Seconds(0.2));
  }
  ASSERT_TRUE(touched) << base.process().output();
  SimBase::BaseStatus status = base.status()->getStatus();
  EXPECT_EQ(status.collisions, 1);
  EXPECT_NEAR(status.x_m, 0.85, 0.01);
  EXPECT_LE(status.x_m, 0.85);
  EXPECT_NEAR(status.travelled_m, 0.85, 0.01);
  EXPECT_DOUBLE_EQ(status.vx_mps, 0.0);
  EXPECT_GT(status.time_s, 0.0);
  // Close to the wall the map sees it nearer: 150 mm ahead.
  map = base.map()->getFloatRelativeOGMap();
  EXPECT_EQ(mapValue(map, 99, 99 + 3), 1.0f);

  // One turn command, then silence: the watchdog brings the base to rest and says so.
  EXPECT_EQ(base.command()->put(encodeVelocityCommand(0.0, 0.5)), OpenRTM::PORT_OK);
  ASSERT_TRUE(base.process().waitForOutput("the watchdog brought the base to rest", kEventTimeout))
      << base.process().output();
  status = base.status()->getStatus();
  EXPECT_DOUBLE_EQ(status.va_radps, 0.0);
  EXPECT_GT(status.heading_rad, 0.0);
  EXPECT_DOUBLE_EQ(base.status()->getStatus().heading_rad, status.heading_rad);
  EXPECT_EQ(base.process().countInOutput("collision #"), 1);

  runRtctlOk(base.names(), {"exit", "BaseSim0"});
  const auto ended = base.process().waitForExit(kEventTimeout);
  ASSERT_TRUE(ended) << base.process().output();
  EXPECT_TRUE(ended->exitedWith(0)) << ended->describe();
  EXPECT_NE(base.process().standardOutput().find("BaseSim: collisions 1, travelled 0.8"),
            std::string::npos)
      << base.process().output();
}

TEST(BaseSimProcess, unreadableFloorPlanIsOneLineAndNoMotion) {
  RunningBase base("start 0 0 0\nwall 0 0 1\n");
  ASSERT_TRUE(base.start());
  base.rtctl({"activate", "BaseSim0"});
  ASSERT_TRUE(
      base.process().waitForOutput("test.plan:2: 'wall' needs x1_m y1_m x2_m y2_m", kEventTimeout))
      << base.process().output();
  EXPECT_EQ(base.process().countInOutput("'wall' needs"), 1);
  EXPECT_TRUE(base.process().isRunning());
  const SimBase::FloorPlan_var plan = base.status()->getFloorPlan();
  EXPECT_FALSE(plan->loaded);
}

TEST(BaseSimProcess, everyParameterRefusesValuesOutOfItsRange) {
  RunningBase base("start 0 0 0\n");
  ASSERT_TRUE(base.start());
  const std::pair<const char*, const char*> refused[] = {
      {"floor_plan", ""},
      {"footprint_radius_m", "0"},
      {"footprint_radius_m", "-0.1"},
      {"watchdog_s", "0"},
      {"watchdog_s", "1e308"},
      {"watchdog_s", "nan"},
      {"odometry_rate_hz", "0"},
      {"odometry_noise", "-0.01"},
      {"odometry_noise", "2"},
      {"noise_seed", "-1"},
      {"noise_seed", "99999999999"},
      {"max_accel_mps2", "0"},
      {"max_angular_accel_radps2", "inf"},
      {"sensor_range_m", "-4"},
  };
  for (const auto& [key, value] : refused) {
    const RunResult result = base.rtctl({"conf", "BaseSim0", "set", key, value});
    EXPECT_FALSE(result.status.exitedWith(0)) << key << " " << value << "\n" << result.out;
    EXPECT_NE(result.err.find(key), std::string::npos) << result.err;
  }
  // The values in force are the defaults, and a value in range is taken.
  runRtctlOk(base.names(), {"conf", "BaseSim0", "set", "watchdog_s", "0.8"});
  const RunResult shown = base.rtctl({"conf", "BaseSim0"});
  EXPECT_NE(shown.out.find("watchdog_s"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("0.8"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("footprint_radius_m"), std::string::npos);
  EXPECT_EQ(shown.out.find("1e308"), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find("-0.1"), std::string::npos) << shown.out;
}

TEST(BaseSimProcess, simulatedTimeFollowsTheConfiguredTimeScale) {
  constexpr double kScale = 8.0;
  RunningBase base("start 0 0 0\n", {{"clock.time_scale", "8"}});
  ASSERT_TRUE(base.start());
  base.activate();
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  EXPECT_TRUE(base.process().waitForOutput("simulated time runs at 8 times", kStartTimeout));
  // The world's clock moves while the base executes, never faster than the scale, and by at
  // most its longest step (0.1 s) beyond that when its process had to wait: whatever the
  // load, the simulated seconds between two readings stay below the scaled span bracketing
  // them, and the clock does move on.
  constexpr double kLongestWorldStep_s = 0.1;
  constexpr double kSimulatedSpan_s = 2.4;
  using Clock = std::chrono::steady_clock;
  const auto beforeFirst = Clock::now();
  const double first_s = base.status()->getStatus().time_s;
  double second_s = first_s;
  const auto deadline = beforeFirst + kStartTimeout;
  while (second_s - first_s < kSimulatedSpan_s && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    second_s = base.status()->getStatus().time_s;
  }
  const double outer_s = std::chrono::duration<double>(Clock::now() - beforeFirst).count();
  EXPECT_GE(second_s - first_s, kSimulatedSpan_s);
  EXPECT_LE(second_s - first_s, kScale * outer_s + kLongestWorldStep_s + 1e-6);
}
