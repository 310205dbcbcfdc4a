#pragma once

#include <cstdint>

#include "planner_pose.h"

// Geometry of the robot-relative local grid of 200 × 200 cells of 50 mm. A cell is named by
// its grid indices (mx, my); a point of the planner frame by its millimetres (x_mm, y_mm).
//
//   mx grows towards the robot's right, my towards its back: the robot faces decreasing my.
//   The robot stands in cell (100, 100). In the planning image mx is the pixel column (x) and
//   my the pixel row (y), two pixels per cell, so the robot faces up.
namespace planner {

constexpr int kGridCells = 200;
constexpr int kRobotCell = 100;
constexpr int kCellSize_mm = 50;
constexpr int kOutsideGrid = -1;

struct GridCell {
  std::int32_t mx = kOutsideGrid;
  std::int32_t my = kOutsideGrid;

  bool inside() const { return mx != kOutsideGrid; }
  bool operator==(const GridCell& other) const { return mx == other.mx && my == other.my; }
};

// Cell of `point` seen from a robot at `robot`, without the range check: indices may lie
// outside 0 … 199.
GridCell worldToCellUnbounded(const PlannerPose& robot, const PlannerPoint& point);

// Cell of `point` seen from a robot at `robot`; (-1, -1) when the cell falls outside the grid.
// Index 100 takes the 99 offsets -49 … 49 mm, every other index 50.
GridCell worldToCell(const PlannerPose& robot, const PlannerPoint& point);

// Planner-frame point of `cell` seen from a robot at `robot`; the inverse of worldToCell up to
// the cell rounding.
PlannerPoint cellToWorld(GridCell cell, const PlannerPose& robot);

}  // namespace planner
