#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "base_world.h"
#include "drive_base.h"
#include "odometry_schedule.h"

using namespace basesim;

namespace {

// Quick ramps so that the motion is dominated by the commanded speeds.
DriveBaseParams testParams() {
  DriveBaseParams params;
  params.maxLinearAccel_mps2 = 1000.0;
  params.maxAngularAccel_radps2 = 1000.0;
  params.watchdog_s = 100.0;
  return params;
}

// Advances in command-sized steps, re-sending the command as a planner would.
void drive(DriveBase& base, const BaseVelocity& velocity, double from_s, double to_s) {
  for (double t = from_s; t < to_s - 1e-9; t += 0.1) {
    base.command(velocity, t);
    base.advanceTo(t + 0.1);
  }
}

}  // namespace

TEST(DriveBase, straightCommandMovesAlongTheHeading) {
  DriveBase base(testParams(), {}, {1.0, 2.0, M_PI / 2}, 0.0);
  drive(base, {0.3, 0.0}, 0.0, 2.0);
  EXPECT_NEAR(base.pose().x_m, 1.0, 1e-6);
  EXPECT_NEAR(base.pose().y_m, 2.0 + 0.6, 1e-3);
  EXPECT_NEAR(base.pose().heading_rad, M_PI / 2, 1e-9);
  EXPECT_NEAR(base.travelled_m(), 0.6, 1e-3);
  EXPECT_NEAR(base.odometryPose().x_m, 0.6, 1e-3);
  EXPECT_NEAR(base.odometryPose().y_m, 0.0, 1e-6);
}

TEST(DriveBase, arcFollowsItsCircleCounterClockwise) {
  // 0.3 m/s at +0.1 rad/s: a 3 m radius to the left; a quarter turn takes 5*pi seconds.
  DriveBase base(testParams(), {}, {0.0, 0.0, 0.0}, 0.0);
  const double quarter_s = (M_PI / 2) / 0.1;
  base.command({0.3, 0.1}, 0.0);
  base.advanceTo(quarter_s);
  EXPECT_NEAR(base.pose().x_m, 3.0, 0.01);
  EXPECT_NEAR(base.pose().y_m, 3.0, 0.01);
  EXPECT_NEAR(base.pose().heading_rad, M_PI / 2, 0.01);
  EXPECT_NEAR(base.travelled_m(), 0.3 * quarter_s, 0.01);
}

TEST(DriveBase, negativeTurnRateTurnsClockwise) {
  DriveBase base(testParams(), {}, {0.0, 0.0, 0.0}, 0.0);
  base.command({0.3, -0.1}, 0.0);
  base.advanceTo((M_PI / 2) / 0.1);
  EXPECT_NEAR(base.pose().x_m, 3.0, 0.01);
  EXPECT_NEAR(base.pose().y_m, -3.0, 0.01);
  EXPECT_NEAR(base.pose().heading_rad, -M_PI / 2, 0.01);
}

TEST(DriveBase, turnInPlaceKeepsThePositionAndWrapsTheHeading) {
  DriveBase base(testParams(), {}, {0.5, 0.5, 0.0}, 0.0);
  base.command({0.0, 0.5}, 0.0);
  base.advanceTo(M_PI / 0.5 * 1.5);  // three quarters of a turn
  EXPECT_NEAR(base.pose().x_m, 0.5, 1e-9);
  EXPECT_NEAR(base.pose().y_m, 0.5, 1e-9);
  EXPECT_NEAR(base.pose().heading_rad, -M_PI / 2, 0.01);
  EXPECT_DOUBLE_EQ(base.travelled_m(), 0.0);
}

TEST(DriveBase, accelerationIsLimited) {
  DriveBaseParams params;
  params.maxLinearAccel_mps2 = 0.5;
  params.watchdog_s = 100.0;
  DriveBase base(params, {}, {}, 0.0);
  base.command({0.3, 0.0}, 0.0);
  base.advanceTo(0.2);
  EXPECT_NEAR(base.velocity().vx_mps, 0.1, 1e-6);
  EXPECT_NEAR(base.pose().x_m, 0.5 * 0.5 * 0.2 * 0.2, 1e-4);  // a t^2 / 2
  base.advanceTo(1.0);
  EXPECT_NEAR(base.velocity().vx_mps, 0.3, 1e-9);
}

TEST(DriveBase, watchdogBringsTheBaseToRestOnceAfterCommandsCease) {
  DriveBaseParams params;  // the real limits: 0.8 m/s^2, 0.5 s
  DriveBase base(params, {}, {}, 0.0);
  base.command({0.3, 0.0}, 0.0);
  EXPECT_TRUE(base.advanceTo(0.5).empty());
  EXPECT_NEAR(base.velocity().vx_mps, 0.3, 1e-9);
  // Tripped after 0.5 s, it brakes at its limit: at rest 0.3 / 0.8 s later, reported then.
  EXPECT_TRUE(base.advanceTo(0.8).empty());
  EXPECT_GT(base.velocity().vx_mps, 0.0);
  EXPECT_LT(base.velocity().vx_mps, 0.3);
  const auto events = base.advanceTo(1.5);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, BaseEvent::Kind::WatchdogStop);
  EXPECT_NEAR(events[0].time_s, 0.5 + 0.375, 0.011);
  EXPECT_NEAR(events[0].sinceCommand_s, 0.875, 0.011);
  EXPECT_DOUBLE_EQ(base.velocity().vx_mps, 0.0);
  const double stoppedAt_m = base.pose().x_m;
  EXPECT_DOUBLE_EQ(events[0].pose.x_m, stoppedAt_m);
  // Acceleration ramp + cruise + braking ramp.
  EXPECT_NEAR(stoppedAt_m, 0.5 * 0.3 * 0.375 + 0.3 * 0.125 + 0.5 * 0.3 * 0.375, 0.003);
  EXPECT_EQ(describeEvent(events[0]).rfind("no command for 0.8", 0), 0u)
      << describeEvent(events[0]);
  EXPECT_TRUE(base.advanceTo(5.0).empty());
  EXPECT_DOUBLE_EQ(base.pose().x_m, stoppedAt_m);
  // A fresh command moves it again.
  base.command({0.2, 0.0}, 5.0);
  base.advanceTo(5.5);
  EXPECT_GT(base.pose().x_m, stoppedAt_m + 0.05);
}

TEST(DriveBase, aWatchdogLapseThatTheNextCommandEndsIsNoEvent) {
  // A commander a little slower than the watchdog: the base eases off for a moment between
  // commands and goes on; nothing to report.
  DriveBaseParams params;
  DriveBase base(params, {}, {}, 0.0);
  double now_s = 0.0;
  for (int i = 0; i < 20; ++i) {
    base.command({0.3, 0.1}, now_s);
    now_s += 0.51;
    EXPECT_TRUE(base.advanceTo(now_s).empty()) << i;
    // At most 10 ms of braking at 0.8 m/s^2 before the next command.
    if (i > 0) {
      EXPECT_GE(base.velocity().vx_mps, 0.3 - 0.8 * 0.015) << i;
    }
  }
  EXPECT_GT(base.travelled_m(), 0.3 * 0.51 * 19);
}

TEST(DriveBase, aWallThatStopsABrakingBaseIsACollisionNotAWatchdogStop) {
  const std::vector<WallSegment> walls = {{{0.25, -1.0}, {0.25, 1.0}}};
  DriveBaseParams params;
  DriveBase base(params, walls, {}, 0.0);
  base.command({0.3, 0.0}, 0.0);
  const auto events = base.advanceTo(3.0);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, BaseEvent::Kind::Collision);
}

TEST(DriveBase, regularCommandsKeepTheWatchdogQuiet) {
  DriveBaseParams params = testParams();
  params.watchdog_s = 1.0;
  DriveBase base(params, {}, {}, 0.0);
  for (int i = 0; i < 10; ++i) {
    base.command({0.2, 0.0}, i * 0.5);
    EXPECT_TRUE(base.advanceTo(i * 0.5 + 0.5).empty());
  }
  EXPECT_NEAR(base.pose().x_m, 1.0, 1e-3);
}

TEST(DriveBase, nonFiniteCommandStops) {
  DriveBase base(testParams(), {}, {}, 0.0);
  base.command({0.3, 0.0}, 0.0);
  base.advanceTo(1.0);
  base.command({std::nan(""), 0.0}, 1.0);
  base.advanceTo(2.0);
  EXPECT_DOUBLE_EQ(base.velocity().vx_mps, 0.0);
  EXPECT_TRUE(std::isfinite(base.pose().x_m));
  EXPECT_NEAR(base.pose().x_m, 0.3, 0.005);
}

TEST(DriveBase, wallContactStopsCountsOnceAndLetsTheBaseBackAway) {
  // A wall across the path 1 m ahead; footprint 0.15 m.
  const std::vector<WallSegment> walls = {{{1.0, -1.0}, {1.0, 1.0}}};
  DriveBase base(testParams(), walls, {}, 0.0);
  base.command({0.3, 0.0}, 0.0);
  const auto events = base.advanceTo(5.0);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, BaseEvent::Kind::Collision);
  EXPECT_EQ(events[0].collisionNumber, 1);
  EXPECT_EQ(base.collisionCount(), 1);
  EXPECT_TRUE(base.inContact());
  EXPECT_NEAR(base.pose().x_m, 0.85, 0.005);
  EXPECT_LE(base.pose().x_m, 0.85);
  EXPECT_DOUBLE_EQ(base.velocity().vx_mps, 0.0);

  // Pushing on keeps it there without counting again.
  for (int i = 0; i < 20; ++i) {
    base.command({0.3, 0.0}, 5.0 + i * 0.1);
    EXPECT_TRUE(base.advanceTo(5.1 + i * 0.1).empty());
  }
  EXPECT_EQ(base.collisionCount(), 1);
  EXPECT_LE(base.pose().x_m, 0.85);

  // Backing away frees it; driving in again is a second collision.
  drive(base, {-0.3, 0.0}, 7.0, 8.0);
  EXPECT_FALSE(base.inContact());
  EXPECT_NEAR(base.pose().x_m, 0.55, 0.01);
  base.command({0.3, 0.0}, 8.0);
  const auto again = base.advanceTo(11.0);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].collisionNumber, 2);
  EXPECT_EQ(base.collisionCount(), 2);
}

TEST(DriveBase, turningInPlaceBesideAWallIsNoContact) {
  const std::vector<WallSegment> walls = {{{-1.0, 0.16}, {1.0, 0.16}}};
  DriveBase base(testParams(), walls, {}, 0.0);
  base.command({0.0, 0.5}, 0.0);
  EXPECT_TRUE(base.advanceTo(6.0).empty());
  EXPECT_EQ(base.collisionCount(), 0);
}

TEST(DriveBase, odometryNoiseIsSeededAndDrifts) {
  DriveBaseParams noisy = testParams();
  noisy.odometryNoise = 0.05;
  noisy.noiseSeed = 7;
  DriveBase first(noisy, {}, {}, 0.0);
  DriveBase second(noisy, {}, {}, 0.0);
  drive(first, {0.3, 0.1}, 0.0, 5.0);
  drive(second, {0.3, 0.1}, 0.0, 5.0);
  // Same seed, same drift; the true pose is untouched by it.
  EXPECT_DOUBLE_EQ(first.odometryPose().x_m, second.odometryPose().x_m);
  EXPECT_DOUBLE_EQ(first.odometryPose().heading_rad, second.odometryPose().heading_rad);
  DriveBase exact(testParams(), {}, {}, 0.0);
  drive(exact, {0.3, 0.1}, 0.0, 5.0);
  EXPECT_DOUBLE_EQ(first.pose().x_m, exact.pose().x_m);
  EXPECT_NE(first.odometryPose().heading_rad, exact.odometryPose().heading_rad);
  EXPECT_NEAR(first.odometryPose().x_m, exact.odometryPose().x_m, 0.1);
}

TEST(BaseWorld, runsWithTheInjectedClock) {
  FloorPlan plan;
  plan.walls = {{{2.0, -1.0}, {2.0, 1.0}}};
  ManualClock clock(100.0);
  BaseWorld world(plan, testParams(), RangeSensorParams{}, clock);
  world.command({0.5, 0.0});
  clock.advance(1.0);
  EXPECT_NEAR(world.odometry().pose.x_m, 0.5, 0.002);
  clock.advance(10.0);
  const auto events = world.update();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(describeEvent(events[0]), "collision #1 at x=1.849 y=0.000 heading=0.0 deg");
  const BaseStatus status = world.status();
  EXPECT_EQ(status.collisions, 1);
  EXPECT_NEAR(status.travelled_m, 1.85, 0.005);
  EXPECT_TRUE(world.update().empty());
}

TEST(ScaledClock, runsScaleTimesAsFastAsItsSourceFromWhereItStarted) {
  ManualClock wall(50.0);
  ScaledClock simulated(wall, 4.0);
  EXPECT_DOUBLE_EQ(simulated.now_s(), 50.0);
  wall.advance(0.25);
  EXPECT_DOUBLE_EQ(simulated.now_s(), 51.0);
  ScaledClock realTime(wall, 1.0);
  wall.advance(2.0);
  EXPECT_DOUBLE_EQ(realTime.now_s(), wall.now_s());
}

TEST(BaseWorld, everyTimeItKeepsRunsOnTheScaledClock) {
  // Four simulated seconds per wall second: the motion, the status time and the watchdog all
  // count simulated seconds.
  ManualClock wall(0.0);
  ScaledClock simulated(wall, 4.0);
  DriveBaseParams params = testParams();
  params.watchdog_s = 0.5;
  BaseWorld world(FloorPlan{}, params, RangeSensorParams{}, simulated);
  world.command({0.4, 0.0});
  wall.advance(0.1);  // 0.4 s simulated
  BaseStatus status = world.status();
  EXPECT_NEAR(status.time_s, 0.4, 1e-9);
  EXPECT_NEAR(status.pose.x_m, 0.16, 0.003);
  EXPECT_NEAR(status.velocity.vx_mps, 0.4, 1e-9);
  wall.advance(0.1);  // the watchdog's 0.5 s are long past in simulated time
  const auto events = world.update();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, BaseEvent::Kind::WatchdogStop);
  EXPECT_NEAR(events[0].sinceCommand_s, 0.5, 0.011);
  status = world.status();
  EXPECT_NEAR(status.time_s, 0.8, 1e-9);
  EXPECT_DOUBLE_EQ(status.velocity.vx_mps, 0.0);
  EXPECT_NEAR(status.pose.x_m, 0.2, 0.003);
}

TEST(BaseWorld, setupCheckRejectsAStartInsideAWall) {
  FloorPlan plan;
  plan.walls = {{{0.1, -1.0}, {0.1, 1.0}}};
  EXPECT_EQ(checkWorldSetup(plan, DriveBaseParams{}),
            "the start pose is 0.100 m from a wall, inside the 0.150 m footprint");
  plan.start.x_m = -0.5;
  EXPECT_EQ(checkWorldSetup(plan, DriveBaseParams{}), "");
}

TEST(OdometrySchedule, periodicWithoutMapRequests) {
  OdometrySchedule schedule(2.0);
  int published = 0;
  for (int ms = 0; ms < 5000; ms += 10) published += schedule.due(ms / 1000.0);
  EXPECT_EQ(published, 10);
}

TEST(OdometrySchedule, oneSamplePerMapRequestWhileThePlannerAsks) {
  OdometrySchedule schedule(2.0);
  int published = 0;
  // A planner asking every 0.52 s: exactly one sample per request, nothing in between.
  for (int ms = 0; ms < 10400; ms += 10) {
    if (ms % 520 == 0) schedule.mapRequested(ms / 1000.0);
    const bool due = schedule.due(ms / 1000.0);
    if (ms % 520 == 0) {
      EXPECT_TRUE(due) << ms;
    }
    published += due;
  }
  EXPECT_EQ(published, 20);
  // When the requests stop (the last at 9.88 s), the rate takes over again after two quiet
  // periods.
  int later = 0;
  int first_ms = -1;
  for (int ms = 10400; ms < 15400; ms += 10) {
    if (!schedule.due(ms / 1000.0)) continue;
    if (first_ms < 0) first_ms = ms;
    ++later;
  }
  EXPECT_EQ(first_ms, 10890);
  EXPECT_EQ(later, 10);
}

TEST(BaseWorld, servesMapAndStatusWhileTheBaseDrives) {
  // The execution context commands and integrates while ORB threads ask for the map and the
  // status; what they see must be consistent and keep moving forward.
  FloorPlan plan;
  plan.walls = {{{-5.0, 3.0}, {5.0, 3.0}}};
  ManualClock clock(0.0);
  BaseWorld world(plan, testParams(), RangeSensorParams{}, clock);
  std::atomic<bool> driving{true};
  std::thread executionContext([&] {
    for (int i = 0; i < 400; ++i) {
      world.command({0.2, 0.0});
      clock.advance(0.01);
      world.update();
      world.odometry();
    }
    driving = false;
  });
  double lastTravelled_m = 0.0;
  do {
    const BaseStatus status = world.status();
    EXPECT_GE(status.travelled_m, lastTravelled_m);
    lastTravelled_m = status.travelled_m;
    const auto cells = world.senseMap();
    EXPECT_EQ(cells.size(), static_cast<size_t>(kMapCells * kMapCells));
  } while (driving);
  executionContext.join();
  EXPECT_NEAR(world.status().travelled_m, 0.8, 0.01);
  EXPECT_EQ(world.status().collisions, 0);
}

TEST(SteppedClock, followsItsSourceOnlyWhenTickedAndByABoundedStep) {
  ManualClock wall(10.0);
  SteppedClock world(wall, 0.1);
  wall.advance(0.05);
  EXPECT_DOUBLE_EQ(world.now_s(), 10.0);
  EXPECT_DOUBLE_EQ(world.tick(), 0.0);
  EXPECT_DOUBLE_EQ(world.now_s(), 10.05);
  // A process that got no processor for 2 s: the world moves one step and waits the rest.
  wall.advance(2.0);
  EXPECT_NEAR(world.tick(), 1.9, 1e-9);
  EXPECT_NEAR(world.now_s(), 10.15, 1e-9);
  wall.advance(0.02);
  world.tick();
  EXPECT_NEAR(world.now_s(), 10.17, 1e-9);
}

TEST(BaseWorld, aBaseWhoseProcessStallsTakesTheNextCommandWhereItWas) {
  // Eight simulated seconds per wall second, as with scripts/demo --fast; the process is away
  // for 0.25 s of wall clock (2 s simulated) while the planner asks the base to stop.
  ManualClock wall(0.0);
  ScaledClock simulated(wall, 8.0);
  SteppedClock stepped(simulated, 0.1);
  DriveBaseParams params = testParams();
  params.watchdog_s = 0.5;
  BaseWorld world(FloorPlan{}, params, RangeSensorParams{}, stepped);
  for (int tick = 0; tick < 40; ++tick) {
    wall.advance(0.0025);
    stepped.tick();
    world.command({0.3, 0.0});
    world.update();
  }
  ASSERT_NEAR(world.status().velocity.vx_mps, 0.3, 1e-9);
  const double before_m = world.status().pose.x_m;
  wall.advance(0.25);
  stepped.tick();
  world.command({0.0, 0.0});
  world.update();
  // One step of at most 0.1 s at 0.3 m/s, not 0.5 s until the watchdog.
  EXPECT_LT(world.status().pose.x_m - before_m, 0.031);
}
