#include "grid_geometry.h"

#include <cmath>

namespace planner {
namespace {

// The grid's row axis lies a quarter turn from the robot's heading; the constant is the one
// the route was tuned with.
constexpr double QUARTER_TURN_RAD = 1.5707963;

bool onGrid(int index) { return index >= 0 && index < GRID_CELLS; }

}  // namespace

GridCell worldToCellUnbounded(float x_mm, float y_mm, float theta_rad, float px_mm, float py_mm) {
  const double phi = theta_rad + QUARTER_TURN_RAD;
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  const double dx = px_mm - x_mm;
  const double dy = py_mm - y_mm;
  const auto a = static_cast<std::int32_t>(dx * c + dy * s + 0.5);
  const auto b = static_cast<std::int32_t>(dy * c - dx * s + 0.5);
  return GridCell{a / CELL_SIZE_MM + ROBOT_CELL, b / CELL_SIZE_MM + ROBOT_CELL};
}

GridCell worldToCell(float x_mm, float y_mm, float theta_rad, float px_mm, float py_mm) {
  const GridCell cell = worldToCellUnbounded(x_mm, y_mm, theta_rad, px_mm, py_mm);
  if (!onGrid(cell.row) || !onGrid(cell.column)) return GridCell{};
  return cell;
}

PlanarPoint_mm cellToWorld(int row, int column, float x_mm, float y_mm, float theta_rad) {
  const double phi = -theta_rad - QUARTER_TURN_RAD;
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  const double g = column - ROBOT_CELL;
  const double h = row - ROBOT_CELL;
  return PlanarPoint_mm{static_cast<float>((h * c + g * s) * CELL_SIZE_MM + x_mm),
                        static_cast<float>((c * g - h * s) * CELL_SIZE_MM + y_mm)};
}

}  // namespace planner
