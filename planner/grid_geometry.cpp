#include "grid_geometry.h"

#include <cmath>

namespace planner {
namespace {

// The grid's mx axis lies a quarter turn from the robot's heading; the constant is the one
// the route was tuned with.
constexpr double kQuarterTurn_rad = 1.5707963;

bool onGrid(int index) { return index >= 0 && index < kGridCells; }

}  // namespace

GridCell worldToCellUnbounded(const PlannerPose& robot, const PlannerPoint& point) {
  const double phi = robot.theta_rad + kQuarterTurn_rad;
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  const double dx = point.x_mm - robot.x_mm;
  const double dy = point.y_mm - robot.y_mm;
  const auto a = static_cast<std::int32_t>(dx * c + dy * s + 0.5);
  const auto b = static_cast<std::int32_t>(dy * c - dx * s + 0.5);
  return GridCell{a / kCellSize_mm + kRobotCell, b / kCellSize_mm + kRobotCell};
}

GridCell worldToCell(const PlannerPose& robot, const PlannerPoint& point) {
  const GridCell cell = worldToCellUnbounded(robot, point);
  if (!onGrid(cell.mx) || !onGrid(cell.my)) return GridCell{};
  return cell;
}

PlannerPoint cellToWorld(GridCell cell, const PlannerPose& robot) {
  const double phi = -robot.theta_rad - kQuarterTurn_rad;
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  const double g = cell.my - kRobotCell;
  const double h = cell.mx - kRobotCell;
  return PlannerPoint{static_cast<float>((h * c + g * s) * kCellSize_mm + robot.x_mm),
                      static_cast<float>((c * g - h * s) * kCellSize_mm + robot.y_mm)};
}

}  // namespace planner
