#include <planner/route.h>

#include <cmath>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <planner/cell_bits.h>

#include "fake_planner_ports.h"
#include "profile_settings.h"

namespace planner {
namespace {

constexpr double kRadPerDegree = 3.14159265358979 / 180.0;

class RouteWalk : public ::testing::Test {
 protected:
  RouteThresholds thresholds = fakes::profileSettings().route;
  fakes::FakePlannerPorts ports;
  Route route{thresholds};
  LocalGrid grid;
  PathBook path;
  // What the cycle keeps of the route's outcomes.
  bool directCommand = false;
  int holds = 0;

  void SetUp() override {
    path.reset(PlannerPose{});
    route.reset(300.0f);
  }
  void walls(float front_mm, float left_mm = 5050, float right_mm = 5000) {
    grid.clear();
    if (front_mm < 5050) grid.at(100, 100 - static_cast<int>(front_mm) / 50) = kCellOccupied;
    if (left_mm < 5050) grid.at(100 - static_cast<int>(left_mm) / 50, 90) = kCellOccupied;
    if (right_mm < 5000) grid.at(100 + static_cast<int>(right_mm) / 50, 90) = kCellOccupied;
  }
  void heading(double degrees) {
    path.current().pose.theta_rad = static_cast<float>(degrees * kRadPerDegree);
  }
  // One route step with its outcome carried out as the cycle does; true when the cycle ends.
  bool step() {
    const RouteOutcome outcome = route.step(grid, path, ports);
    if (outcome.report) ports.sent.push_back(*outcome.report);
    if (outcome.direct) {
      ports.velocities.emplace_back(outcome.direct->vx_mps, outcome.direct->va_radps);
      directCommand = true;
    }
    if (outcome.resumePlanned) directCommand = false;
    if (outcome.then == AfterRouteStep::HoldPosition) {
      ++holds;
      path.freezeLookAhead(0.0f, 0.0f);
      path.advance();
    }
    return outcome.then != AfterRouteStep::Continue;
  }
  std::int32_t state() const { return numberOf(route.state()); }
  void expectPlanned(float v, float r) {
    EXPECT_FLOAT_EQ(path.planned().v_mmps, v);
    EXPECT_FLOAT_EQ(path.planned().r_mm, r);
  }
  void expectLastVelocity(double vx, double va) {
    ASSERT_FALSE(ports.velocities.empty());
    EXPECT_DOUBLE_EQ(ports.velocities.back().first, vx);
    EXPECT_NEAR(ports.velocities.back().second, va, 1e-6);
  }
  // Runs one step that only plans and does not end the cycle.
  void planStep(std::int32_t expectedNext) {
    EXPECT_FALSE(step());
    EXPECT_EQ(state(), expectedNext);
  }
  // A heading turn that completes at once.
  void turnDone(double targetDeg, std::int32_t expectedNext) {
    heading(targetDeg + 1.0);
    const int holdsBefore = holds;
    planStep(expectedNext);
    EXPECT_EQ(holds, holdsBefore);
    EXPECT_FALSE(directCommand);
    expectPlanned(0, 0);
  }
};

TEST_F(RouteWalk, waitsForTheStartWordWithZeroCommands) {
  walls(5050);
  EXPECT_TRUE(step());
  expectLastVelocity(0, 0);
  EXPECT_TRUE(directCommand);
  ports.inbox.push_back("ROBOT_GO_BACK");
  EXPECT_FALSE(step()) << "a word is consumed and the cycle goes on";
  EXPECT_EQ(state(), 0);
  EXPECT_TRUE(ports.inbox.empty());
  ports.inbox.push_back("ROBOT_START");
  planStep(1);
  EXPECT_FALSE(directCommand);
}

TEST_F(RouteWalk, takesTheWaitingWordsInOrderUpToTheAwaitedOne) {
  walls(5050);
  ports.inbox = {"HELLO", "ROBOT_GO_BACK", "ROBOT_START", "ROBOT_GO_BACK", "BYE"};
  planStep(1);
  EXPECT_FALSE(directCommand);
  EXPECT_EQ(ports.inbox, (std::deque<std::string>{"ROBOT_GO_BACK", "BYE"}))
      << "the words after the start word wait";
}

TEST_F(RouteWalk, ignoredWordsAreAllConsumedAndTheCycleGoesOn) {
  walls(5050);
  ports.inbox = {"HELLO", "ROBOT_GO_BACK", "BYE"};
  planStep(0);
  EXPECT_TRUE(ports.inbox.empty());
  EXPECT_TRUE(ports.velocities.empty()) << "no zero command: a word came";
}

TEST_F(RouteWalk, wholeRouteWithItsCommands) {
  ports.inbox.push_back("ROBOT_START");
  walls(5050);
  planStep(1);

  walls(550);  // approach: drive on until the wall is at CHECKPOINT_1
  planStep(1);
  expectPlanned(300, 0);
  walls(500);
  planStep(2);
  expectPlanned(0, 0);
  planStep(3);

  // Turn to +90 degrees: 0.6 rad off turns at full rate, 0.2 rad at half the error.
  heading(90.0 - 0.6 / kRadPerDegree);
  EXPECT_TRUE(step());
  expectLastVelocity(0, -0.523);
  EXPECT_EQ(holds, 1);
  EXPECT_EQ(state(), 3);
  EXPECT_TRUE(directCommand);
  heading(90.0 - 0.2 / kRadPerDegree);
  EXPECT_TRUE(step());
  expectLastVelocity(0, -0.1);
  heading(90.0 + 0.6 / kRadPerDegree);
  EXPECT_TRUE(step());
  expectLastVelocity(0, 0.523);
  heading(90.0 - 0.05 / kRadPerDegree);
  planStep(4);
  EXPECT_FALSE(directCommand);
  expectPlanned(0, 0);

  walls(1500);  // rotate until the front is clear
  EXPECT_TRUE(step());
  expectLastVelocity(0, -0.2617993833333333);
  walls(1550);
  planStep(5);
  EXPECT_FALSE(directCommand);
  planStep(6);
  expectPlanned(0, 0);

  // First corridor leg: keep the left wall at SETPOINT_1 = 300 mm.
  walls(5050, 400);
  planStep(6);
  expectPlanned(300, -3000);
  walls(5050, 200);
  planStep(6);
  expectPlanned(300, 3000);
  walls(5050, 350);
  planStep(6);
  expectPlanned(300, 0);
  walls(800, 350);
  planStep(7);
  expectPlanned(0, 0);

  planStep(8);
  EXPECT_EQ(ports.sent, std::vector<std::string>{"ROBOT_ARRIVED"});

  EXPECT_TRUE(step());
  expectLastVelocity(0, 0);
  ports.inbox.push_back("ROBOT_START");
  planStep(8);
  ports.inbox.push_back("ROBOT_GO_BACK");
  planStep(9);
  EXPECT_FALSE(directCommand);

  planStep(10);  // quarter-speed spin, the cycle goes on
  expectLastVelocity(0, 0.5235987666666666);
  EXPECT_TRUE(directCommand);

  walls(950);  // back out until 1 m is free in front
  planStep(10);
  EXPECT_FALSE(directCommand);
  expectPlanned(-300, 0);
  walls(1000);
  planStep(110);
  expectPlanned(0, 0);

  turnDone(0.0, 120);
  walls(450);
  planStep(120);
  expectPlanned(-300, 0);
  walls(500);
  planStep(12);

  walls(1500);
  EXPECT_TRUE(step());
  expectLastVelocity(0, 0.2617993833333333);
  walls(5050);
  planStep(13);

  // Third leg: keep the right wall at CHECKPOINT_3 = 1000 mm.
  walls(5050, 5050, 1100);
  planStep(13);
  expectPlanned(300, 3000);
  walls(5050, 5050, 900);
  planStep(13);
  expectPlanned(300, -3000);
  walls(5050, 5050, 1050);
  planStep(13);
  expectPlanned(300, 0);
  walls(500, 5050, 1050);
  planStep(14);
  expectPlanned(0, 0);

  turnDone(-180.0, 15);
  walls(1500);
  EXPECT_TRUE(step());
  expectLastVelocity(0, 0.2617993833333333);
  walls(1550);
  planStep(16);

  // Last leg: keep the right wall at SETPOINT_2 = 800 mm.
  walls(5050, 5050, 900);
  planStep(16);
  expectPlanned(300, 3000);
  walls(5050, 5050, 700);
  planStep(16);
  expectPlanned(300, -3000);
  walls(1000, 5050, 800);
  planStep(17);
  expectPlanned(0, 0);

  turnDone(-90.0, 18);
  // 350 degrees off is taken as -10 degrees: a slow turn the short way round.
  heading(-350.0);
  EXPECT_TRUE(step());
  expectLastVelocity(0, 10.0 * 0.017453293 / 2);
  EXPECT_EQ(state(), 18);
  turnDone(0.0, 19);

  planStep(20);
  EXPECT_EQ(ports.sent, (std::vector<std::string>{"ROBOT_ARRIVED", "ROBOT_FINISH"}));
  walls(1500);
  EXPECT_TRUE(step());
  expectLastVelocity(0, -0.2617993833333333);
  walls(1550);
  planStep(21);
  planStep(0);
  expectPlanned(0, 0);
}

}  // namespace
}  // namespace planner
