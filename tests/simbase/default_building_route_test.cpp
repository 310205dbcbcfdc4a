// The planner's own control cycle drives the simulated base through the default building, in
// simulated time: the fixed route must run from start to finish without touching a wall.
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <deque>

#include "base_world.h"
#include "odometry_schedule.h"
#include "planner/motion_set.h"
#include "planner/planner_cycle.h"

using namespace basesim;

namespace {

constexpr double kOdometryRate_hz = 2.0;  // BaseSimComp's default
constexpr std::size_t kInPortBuffer = 8;  // samples an in-port keeps before dropping the oldest
constexpr double kGiveUp_s = 600.0;

// One clock for both sides: the planner's 1 ms sleeps move the simulated time.
class SharedClock : public planner::MillisecondClock {
 public:
  explicit SharedClock(ManualClock& time) : time_(time) {}
  std::uint32_t now_ms() override {
    return static_cast<std::uint32_t>(std::llround(time_.now_s() * 1000.0));
  }
  void sleepOneMillisecond() override { time_.advance(0.001); }

 private:
  ManualClock& time_;
};

// The planner's ports and map service, wired straight to the simulated base, with a
// supervisor that starts the route and sends the base back as soon as it has arrived.
class SimulatedPorts : public planner::PlannerIo {
 public:
  SimulatedPorts(BaseWorld& world, ManualClock& time) : world_(world), time_(time) {
    supervisorWords_.push_back("ROBOT_START");
  }

  bool takeMessage(std::string& text) override {
    if (supervisorWords_.empty()) return false;
    text = supervisorWords_.front();
    supervisorWords_.pop_front();
    return true;
  }
  void sendMessage(const std::string& text) override {
    reports.push_back({text, time_.now_s(), world_.status().pose});
    if (text == "ROBOT_ARRIVED") supervisorWords_.push_back("ROBOT_GO_BACK");
  }
  void sendVelocity(double vx_mps, double va_radps) override { world_.command({vx_mps, va_radps}); }
  planner::MapServiceState mapServiceState() override { return planner::MapServiceState::Present; }
  planner::MapFetch fetchMap() override {
    schedule_.mapRequested(time_.now_s());
    lastMap_ = world_.senseMap();
    planner::MapFetch fetch;
    fetch.map.width = kMapCells;
    fetch.map.height = kMapCells;
    fetch.map.cells = lastMap_.data();
    fetch.map.cellCount = lastMap_.size();
    return fetch;
  }
  bool poseIsNew() override {
    publishDueOdometry();
    return !poses_.empty();
  }
  planner::OdometryPose readPose() override {
    const WorldPose pose = poses_.front();

    poses_.pop_front();
    return {pose.x_m, pose.y_m, pose.heading_rad};
  }
  bool velocityIsNew() override {
    publishDueOdometry();
    return !velocities_.empty();
  }
  planner::OdometryVelocity readVelocity() override {
    const BaseVelocity velocity = velocities_.front();
    velocities_.pop_front();
    return {velocity.vx_mps, velocity.va_radps};
  }
  bool keepWaiting() override { return time_.now_s() < kGiveUp_s; }
  void publishImage(const cv::Mat&) override { ++imagesPublished; }
  std::string consoleText(const std::string& utf8) override { return utf8; }

  struct Report {
    std::string word;
    double time_s;
    WorldPose pose;
  };
  std::vector<Report> reports;
  int imagesPublished = 0;

 private:
  // As BaseSimComp does: one sample per map request, the rate while nobody asks.
  void publishDueOdometry() {
    if (!schedule_.due(time_.now_s())) return;
    const Odometry odometry = world_.odometry();
    push(poses_, odometry.pose);
    push(velocities_, odometry.velocity);
  }
  template <class T>
  static void push(std::deque<T>& buffer, const T& sample) {
    if (buffer.size() == kInPortBuffer) buffer.pop_front();
    buffer.push_back(sample);
  }

  BaseWorld& world_;
  ManualClock& time_;
  std::deque<std::string> supervisorWords_;
  std::vector<float> lastMap_;
  std::deque<WorldPose> poses_;
  std::deque<BaseVelocity> velocities_;
  OdometrySchedule schedule_{kOdometryRate_hz};
};

// The profile defaults the planner runs with when started without its own configuration.
planner::PlannerSettings profileDefaults() {
  planner::PlannerSettings settings;
  settings.loopTime_s = 0.5;
  settings.robotMaxSpeed_mps = 0.3;
  settings.route.setpoint1_mm = 300;
  settings.route.setpoint2_mm = 800;
  settings.route.checkpoint1_mm = 500;
  settings.route.checkpoint2_mm = 800;
  settings.route.checkpoint3_mm = 1000;
  settings.route.checkpoint4_mm = 1000;
  return settings;
}

}  // namespace

TEST(DefaultBuilding, plannerRouteRunsToTheFinishWithoutCollision) {
  const FloorPlanResult building = loadFloorPlan(DEFAULT_BUILDING_FILE);
  ASSERT_TRUE(building.ok) << building.error;
  ManualClock time(0.0);
  const DriveBaseParams baseParams;  // BaseSimComp's defaults
  ASSERT_EQ(checkWorldSetup(building.plan, baseParams), "");
  BaseWorld world(building.plan, baseParams, RangeSensorParams{}, time);
  SimulatedPorts ports(world, time);
  SharedClock clock(time);

  const test_support::TempDir folder("simbase_route_");
  planner::PlannerFiles files;
  files.motionSet = folder.path() + "/MotionSet.mtn";
  files.stepLog = folder.path() + "/data_log.txt";
  ASSERT_TRUE(planner::writeMotionFile(files.motionSet, {{0.0f, 300.0f}, {3000.0f, 300.0f}}));
  const planner::PlannerSettings settings = profileDefaults();
  planner::PlannerCycle cycle(settings, ports, clock, files);
  ASSERT_TRUE(cycle.openStepLog());

  // The planner prints every step; keep its console out of the test's output.
  std::fflush(stdout);
  const int savedStdout = dup(1);
  ASSERT_TRUE(std::freopen((folder.path() + "/console.txt").c_str(), "w", stdout));
  cycle.initialize();
  const auto refusal = cycle.activate();
  bool finished = false;
  int cycles = 0;
  while (!refusal && !finished && time.now_s() < kGiveUp_s) {
    cycle.execute();
    ++cycles;
    // The execution context's own period between calls.
    time.advance(0.01);
    finished = !ports.reports.empty() && ports.reports.back().word == "ROBOT_FINISH";
  }
  std::fflush(stdout);
  dup2(savedStdout, 1);
  close(savedStdout);
  ASSERT_FALSE(refusal) << *refusal;

  const BaseStatus status = world.status();
  ASSERT_EQ(ports.reports.size(), 2u) << "after " << time.now_s() << " s, " << cycles
                                      << " cycles, route state " << cycle.routeState();
  EXPECT_EQ(ports.reports[0].word, "ROBOT_ARRIVED");
  EXPECT_EQ(ports.reports[1].word, "ROBOT_FINISH");
  EXPECT_EQ(status.collisions, 0);
  EXPECT_GT(ports.imagesPublished, 50);
  // The work station: the south end of the east corridor, by its east wall.
  const WorldPose arrived = ports.reports[0].pose;
  EXPECT_NEAR(arrived.x_m, 4.7, 0.25);
  EXPECT_NEAR(arrived.y_m, -3.4, 0.3);
  EXPECT_NEAR(std::remainder(arrived.heading_rad + M_PI / 2, 2 * M_PI), 0.0, 0.3);
  // The finish: back near the start, facing the way it started.
  const WorldPose finish = ports.reports[1].pose;
  EXPECT_NEAR(finish.x_m, 0.0, 0.4);
  EXPECT_NEAR(finish.y_m, 0.0, 0.3);
  EXPECT_NEAR(std::remainder(finish.heading_rad, 2 * M_PI), 0.0, 0.15);
  EXPECT_GT(status.travelled_m, 15.0);
}
