#pragma once

#include "local_grid.h"

// Free distances in millimetres measured in the local grid, counting only occupied cells as
// walls (unknown cells do not stop a probe). They see the grid as the map built it, before the
// goal area is marked.
namespace planner {

// The side probes look across the grid 500 mm ahead of the robot.
constexpr int kSideProbeMy = 90;

// From the robot's cell straight ahead: 5050 when no wall is in range, 0 for a wall in the
// robot's own cell.
float frontDistance(const LocalGrid& grid);
// From the robot's line, 500 mm ahead, to the left: 5050 when no wall is in range.
float leftWallDistance(const LocalGrid& grid);
// From the robot's line, 500 mm ahead, to the right: 5000 when no wall is in range.
float rightWallDistance(const LocalGrid& grid);

}  // namespace planner
