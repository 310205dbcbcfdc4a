#include "collision.h"

#include <algorithm>

#include "cell_bits.h"

namespace planner {
namespace {

bool blocksAt(const LocalGrid& grid, int mx, int my) {
  if (mx < 0 || mx >= kGridCells || my < 0 || my >= kGridCells) return true;
  return (grid.at(mx, my) & kCellBlockingMask) != 0;
}

}  // namespace

GridCell goalCell(const PlannerPose& pose) { return worldToCell(pose, kGoalPoint); }

GridCell markGoalArea(LocalGrid& grid, const PlannerPose& pose) {
  const GridCell goal = goalCell(pose);
  if (!goal.inside()) return goal;
  const int mxEnd = std::min(goal.mx + kGoalAreaHalfCells, kGridCells);
  const int myEnd = std::min(goal.my + kGoalAreaHalfCells, kGridCells);
  for (int mx = std::max(goal.mx - kGoalAreaHalfCells, 0); mx < mxEnd; ++mx) {
    for (int my = std::max(goal.my - kGoalAreaHalfCells, 0); my < myEnd; ++my) {
      std::uint8_t& cell = grid.at(mx, my);
      if (cell & kCellOccupied)
        cell = static_cast<std::uint8_t>((cell & ~kCellOccupied) | kCellUnknown);
    }
  }
  return goal;
}

bool isPredictedPoseBlocked(const LocalGrid& grid, PathBook& path) {
  const PlannerPose& from = path.current().pose;
  PathRecord& next = path.executing();
  next.local_pose = worldToCell(from, next.pose.position());
  if (!next.local_pose.inside()) return true;
  const int mx = next.local_pose.mx;
  const int my = next.local_pose.my;
  return blocksAt(grid, mx + 1, my) && blocksAt(grid, mx - 1, my) && blocksAt(grid, mx, my + 1) &&
         blocksAt(grid, mx, my - 1) && blocksAt(grid, mx, my);
}

void markPredictedCell(LocalGrid& grid, const PathBook& path) {
  std::uint8_t& cell = grid.at(path.executing().local_pose);
  cell = static_cast<std::uint8_t>((cell & ~kCellBlockingMask) | kCellPredicted);
}

}  // namespace planner
