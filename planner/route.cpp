#include "route.h"

#include <cmath>
#include <cstdio>

#include "cell_bits.h"

namespace planner {
namespace {

// The wall probes look sideways 500 mm ahead of the robot.
constexpr int kSideProbeColumn = 90;
// Front distance below which the corridor turns keep rotating.
constexpr float kTurnClearance_mm = 1500.0f;
constexpr float kBackOutFront_mm = 1000.0f;
constexpr float kReturnFront_mm = 500.0f;
constexpr float kWallBand_mm = 100.0f;
constexpr float kRadPerDeg = 0.017453293f;
constexpr float PI = 3.1415926f;
constexpr float kTwoPi = 6.2831852f;
constexpr double kHeadingTolerance_rad = 0.08726646111111111;
constexpr double kFullRateAbove_rad = 0.5235987666666666;
constexpr double kFullTurnRate_radps = 0.523;

bool isWall(const LocalGrid& grid, int row, int column) {
  return (grid.at(row, column) & kCellOccupied) != 0;
}

float printed(const char* format, float distance) {
  std::printf(format, static_cast<double>(distance));
  return distance;
}

}  // namespace

float frontDistance(const LocalGrid& grid) {
  int column = kRobotCell;
  while (column >= 0 && !isWall(grid, kRobotCell, column)) --column;
  return printed("distance %.2lf \n", static_cast<float>((kRobotCell - column) * kCellSize_mm));
}

float leftWallDistance(const LocalGrid& grid) {
  int row = kRobotCell;
  while (row >= 0 && !isWall(grid, row, kSideProbeColumn)) --row;
  return printed("distance wall left %.2lf \n",
                 static_cast<float>((kRobotCell - row) * kCellSize_mm));
}

float rightWallDistance(const LocalGrid& grid) {
  int row = kRobotCell;
  while (row < kGridCells && !isWall(grid, row, kSideProbeColumn)) ++row;
  return printed("distance wall right %.2lf \n",
                 static_cast<float>((row - kRobotCell) * kCellSize_mm));
}

void Route::reset(float maxSpeed_mmps) {
  state_ = 0;
  maxSpeed_mmps_ = maxSpeed_mmps;
}

void Route::plan(PathBook& path, float v_mmps, float r_mm) const {
  path.planned().v_mmps = v_mmps;
  path.planned().r_mm = r_mm;
}

void Route::direct(double vx_mps, double va_radps, bool& directCommand) {
  actions_.sendVelocity(vx_mps, va_radps);
  directCommand = true;
}

// Radius that brings the wall back to `keep`: `radiusWhenFar` when the wall is at least 100 mm
// farther, its opposite when at least 100 mm nearer, straight in between.
float Route::followRadius(float wall_mm, float keep_mm, float radiusWhenFar_mm) const {
  if (wall_mm >= keep_mm + kWallBand_mm) return radiusWhenFar_mm;
  if (wall_mm <= keep_mm - kWallBand_mm) return -radiusWhenFar_mm;
  return 0.0f;
}

bool Route::turnToHeading(float target_deg, std::int32_t nextState, PathBook& path,
                          bool& directCommand) {
  float error = target_deg * kRadPerDeg - path.current().pose.theta_rad;
  while (error > PI) error -= kTwoPi;
  while (error < -PI) error += kTwoPi;
  if (std::fabs(error) <= kHeadingTolerance_rad) {
    plan(path, 0.0f, 0.0f);
    directCommand = false;
    state_ = nextState;
    return false;
  }
  double rate_radps;
  if (error > kFullRateAbove_rad)
    rate_radps = -kFullTurnRate_radps;
  else if (error < -kFullRateAbove_rad)
    rate_radps = kFullTurnRate_radps;
  else
    rate_radps = -error / 2;
  direct(0.0, rate_radps, directCommand);
  actions_.holdPosition();
  return true;
}

bool Route::step(const LocalGrid& grid, PathBook& path, bool& directCommand) {
  const RouteThresholds& t = thresholds_;
  // A corridor turn: rotate in place until the front is clear, then go on.
  const auto turnUntilClear = [&](double rate_radps, std::int32_t nextState) {
    if (frontDistance(grid) <= kTurnClearance_mm) {
      direct(0.0, rate_radps, directCommand);
      return true;
    }
    directCommand = false;
    state_ = nextState;
    return false;
  };
  // Waiting for a supervisor word; other words are consumed and ignored.
  const auto waitFor = [&](const std::string& word, std::int32_t nextState) {
    std::string text;
    if (!actions_.takeMessage(text)) {
      direct(0.0, 0.0, directCommand);
      return true;
    }
    if (text == word) {
      directCommand = false;
      state_ = nextState;
    }
    return false;
  };

  switch (state_) {
    case 0:
      return waitFor(kRobotStart, 1);
    case 1: {
      const bool reached = frontDistance(grid) <= t.checkpoint1_mm;
      plan(path, reached ? 0.0f : maxSpeed_mmps_, 0.0f);
      if (reached) state_ = 2;
      return false;
    }
    case 2:
      plan(path, 0.0f, 0.0f);
      state_ = 3;
      return false;
    case 3:
      return turnToHeading(90.0f, 4, path, directCommand);
    case 4:
      return turnUntilClear(-kSlowTurn_radps, 5);
    case 5:
      plan(path, 0.0f, 0.0f);
      state_ = 6;
      return false;
    case 6: {
      const float front = frontDistance(grid);
      const float wall = leftWallDistance(grid);
      if (front <= t.checkpoint2_mm) {
        plan(path, 0.0f, 0.0f);
        state_ = 7;
      } else {
        plan(path, maxSpeed_mmps_, followRadius(wall, t.setpoint1_mm, -kCorrectionRadius_mm));
      }
      return false;
    }
    case 7:
      actions_.sendMessage(kRobotArrived);
      state_ = 8;
      return false;
    case 8:
      return waitFor(kRobotGoBack, 9);
    case 9:
      direct(0.0, kFastTurn_radps, directCommand);
      state_ = 10;
      return false;
    case 10: {
      directCommand = false;
      const bool clear = frontDistance(grid) >= kBackOutFront_mm;
      plan(path, clear ? 0.0f : -maxSpeed_mmps_, 0.0f);
      if (clear) state_ = 110;
      return false;
    }
    case 110:
      return turnToHeading(0.0f, 120, path, directCommand);
    case 120: {
      directCommand = false;
      const bool clear = frontDistance(grid) >= kReturnFront_mm;
      plan(path, clear ? 0.0f : -maxSpeed_mmps_, 0.0f);
      if (clear) state_ = 12;
      return false;
    }
    case 12:
      return turnUntilClear(kSlowTurn_radps, 13);
    case 13: {
      const float front = frontDistance(grid);
      const float wall = rightWallDistance(grid);
      if (front <= t.checkpoint1_mm) {
        plan(path, 0.0f, 0.0f);
        state_ = 14;
      } else {
        plan(path, maxSpeed_mmps_, followRadius(wall, t.checkpoint3_mm, kCorrectionRadius_mm));
      }
      return false;
    }
    case 14:
      return turnToHeading(-180.0f, 15, path, directCommand);
    case 15:
      return turnUntilClear(kSlowTurn_radps, 16);
    case 16: {
      const float front = frontDistance(grid);
      const float wall = rightWallDistance(grid);
      if (front <= t.checkpoint4_mm) {
        plan(path, 0.0f, 0.0f);
        state_ = 17;
      } else {
        plan(path, maxSpeed_mmps_, followRadius(wall, t.setpoint2_mm, kCorrectionRadius_mm));
      }
      return false;
    }
    case 17:
      return turnToHeading(-90.0f, 18, path, directCommand);
    case 18:
      return turnToHeading(0.0f, 19, path, directCommand);
    case 19:
      actions_.sendMessage(kRobotFinish);
      state_ = 20;
      return false;
    case 20:
      return turnUntilClear(-kSlowTurn_radps, 21);
    default:
      plan(path, 0.0f, 0.0f);
      state_ = 0;
      return false;
  }
}

}  // namespace planner
