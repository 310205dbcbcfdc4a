#pragma once

#include "local_grid.h"
#include "path_record.h"

// The goal area and the collision check of the predicted pose.
namespace planner {

// The goal is the odometry origin, fixed for the whole run.
constexpr PlannerPoint kGoalPoint{0.0f, 0.0f};
constexpr int kGoalAreaSize_mm = 200;
constexpr int kGoalAreaHalfCells = kGoalAreaSize_mm * 2 / kCellSize_mm;

// Cell of the goal point seen from `pose`; (-1, -1) when off the grid.
GridCell goalCell(const PlannerPose& pose);

// Around the goal cell (mx and my from goal-8 to goal+7, clipped to the grid) obstacles
// become unknown cells, so the base may approach the goal. Returns the goal cell.
GridCell markGoalArea(LocalGrid& grid, const PlannerPose& pose);

// Stores the predicted cell into path[step+1] and tests it: blocked when it lies outside the
// grid or when it and its four neighbours all carry a blocking bit. A neighbour beyond the
// grid's edge counts as blocking.
bool isPredictedPoseBlocked(const LocalGrid& grid, PathBook& path);

// The predicted cell loses its blocking bits and becomes the predicted robot cell.
void markPredictedCell(LocalGrid& grid, const PathBook& path);

}  // namespace planner
