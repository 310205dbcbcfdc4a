#include "grid_geometry.h"

#include <cmath>

namespace planner {
namespace {

// The grid's row axis lies a quarter turn from the robot's heading; the constant is the one
// the route was tuned with.
constexpr double kQuarterTurn_rad = 1.5707963;

bool onGrid(int index) { return index >= 0 && index < kGridCells; }

}  // namespace

GridCell worldToCellUnbounded(float x_mm, float y_mm, float theta_rad, float px_mm, float py_mm) {
  const double phi = theta_rad + kQuarterTurn_rad;
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  const double dx = px_mm - x_mm;
  const double dy = py_mm - y_mm;
  const auto a = static_cast<std::int32_t>(dx * c + dy * s + 0.5);
  const auto b = static_cast<std::int32_t>(dy * c - dx * s + 0.5);
  return GridCell{a / kCellSize_mm + kRobotCell, b / kCellSize_mm + kRobotCell};
}

GridCell worldToCell(float x_mm, float y_mm, float theta_rad, float px_mm, float py_mm) {
  const GridCell cell = worldToCellUnbounded(x_mm, y_mm, theta_rad, px_mm, py_mm);
  if (!onGrid(cell.row) || !onGrid(cell.column)) return GridCell{};
  return cell;
}

PlanarPoint_mm cellToWorld(int row, int column, float x_mm, float y_mm, float theta_rad) {
  const double phi = -theta_rad - kQuarterTurn_rad;
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  const double g = column - kRobotCell;
  const double h = row - kRobotCell;
  return PlanarPoint_mm{static_cast<float>((h * c + g * s) * kCellSize_mm + x_mm),
                        static_cast<float>((c * g - h * s) * kCellSize_mm + y_mm)};
}

}  // namespace planner
