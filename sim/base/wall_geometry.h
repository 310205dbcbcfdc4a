#pragma once
// Distances between the base, the range sensor's rays and the walls of a floor plan.

#include <vector>

#include "floor_plan.h"

namespace basesim {

// Shortest distance from a point to any wall; a very large value when there are no walls.
double clearanceToWalls_m(const std::vector<WallSegment>& walls, const WorldPoint& point);

// Distance along a ray from `origin` in direction `direction_rad` to the first wall it meets,
// or a negative value when it meets none.
double rayHitDistance_m(const std::vector<WallSegment>& walls, const WorldPoint& origin,
                        double direction_rad);

}  // namespace basesim
