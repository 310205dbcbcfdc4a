#include "collision.h"

#include <algorithm>

#include "cell_bits.h"

namespace planner {
namespace {

bool blocksAt(const LocalGrid& grid, int row, int column) {
  if (row < 0 || row >= kGridCells || column < 0 || column >= kGridCells) return true;
  return (grid.at(row, column) & kCellBlockingMask) != 0;
}

}  // namespace

GridCell goalCell(const PlannerPose& pose) {
  return worldToCell(pose.x_mm, pose.y_mm, pose.theta_rad, kGoalPoint.x_mm, kGoalPoint.y_mm);
}

GridCell markGoalArea(LocalGrid& grid, const PlannerPose& pose) {
  const GridCell goal = goalCell(pose);
  if (!goal.inside()) return goal;
  const int rowEnd = std::min(goal.row + kGoalAreaHalfCells, kGridCells);
  const int columnEnd = std::min(goal.column + kGoalAreaHalfCells, kGridCells);
  for (int row = std::max(goal.row - kGoalAreaHalfCells, 0); row < rowEnd; ++row) {
    for (int column = std::max(goal.column - kGoalAreaHalfCells, 0); column < columnEnd; ++column) {
      std::uint8_t& cell = grid.at(row, column);
      if (cell & kCellOccupied)
        cell = static_cast<std::uint8_t>((cell & ~kCellOccupied) | kCellUnknown);
    }
  }
  return goal;
}

bool isPredictedPoseBlocked(const LocalGrid& grid, PathBook& path) {
  const PlannerPose& from = path.current().pose;
  PathRecord& next = path.executing();
  next.local_pose =
      worldToCell(from.x_mm, from.y_mm, from.theta_rad, next.pose.x_mm, next.pose.y_mm);
  if (!next.local_pose.inside()) return true;
  const int row = next.local_pose.row;
  const int column = next.local_pose.column;
  return blocksAt(grid, row + 1, column) && blocksAt(grid, row - 1, column) &&
         blocksAt(grid, row, column + 1) && blocksAt(grid, row, column - 1) &&
         blocksAt(grid, row, column);
}

void markPredictedCell(LocalGrid& grid, const PathBook& path) {
  std::uint8_t& cell = grid.at(path.executing().local_pose);
  cell = static_cast<std::uint8_t>((cell & ~kCellBlockingMask) | kCellPredicted);
}

}  // namespace planner
