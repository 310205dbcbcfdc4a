#pragma once

#include <cstdint>

// Geometry of the robot-relative local grid. The robot stands in cell (100, 100); its forward
// direction runs towards decreasing column, its right towards increasing row. Points are in
// the planner frame (millimetres, radians).
namespace planner {

constexpr int kGridCells = 200;
constexpr int kRobotCell = 100;
constexpr int kCellSize_mm = 50;
constexpr int kOutsideGrid = -1;

struct GridCell {
  std::int32_t row = kOutsideGrid;
  std::int32_t column = kOutsideGrid;

  bool inside() const { return row != kOutsideGrid; }
  bool operator==(const GridCell& other) const {
    return row == other.row && column == other.column;
  }
};

struct PlanarPoint_mm {
  float x_mm = 0.0f;
  float y_mm = 0.0f;
};

// Cell of the point (px, py) seen from a robot at (x, y) heading theta, without the range
// check: indices may lie outside 0 … 199.
GridCell worldToCellUnbounded(float x_mm, float y_mm, float theta_rad, float px_mm, float py_mm);

// Cell of the point (px, py) seen from a robot at (x, y) heading theta; (-1, -1) when the cell
// falls outside the grid. Cell 100 takes the 99 offsets -49 … 49 mm, every other cell 50.
GridCell worldToCell(float x_mm, float y_mm, float theta_rad, float px_mm, float py_mm);

// Planner-frame point of a cell seen from a robot at (x, y) heading theta; the inverse of
// worldToCell up to the cell rounding.
PlanarPoint_mm cellToWorld(int row, int column, float x_mm, float y_mm, float theta_rad);

}  // namespace planner
