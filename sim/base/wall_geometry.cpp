#include "wall_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace basesim {

double clearanceToWalls_m(const std::vector<WallSegment>& walls, const WorldPoint& point) {
  double best = std::numeric_limits<double>::max();
  for (const WallSegment& wall : walls) {
    const double sx = wall.to.x_m - wall.from.x_m;
    const double sy = wall.to.y_m - wall.from.y_m;
    const double px = point.x_m - wall.from.x_m;
    const double py = point.y_m - wall.from.y_m;
    const double along = std::clamp((px * sx + py * sy) / (sx * sx + sy * sy), 0.0, 1.0);
    best = std::min(best, std::hypot(px - along * sx, py - along * sy));
  }
  return best;
}

double rayHitDistance_m(const std::vector<WallSegment>& walls, const WorldPoint& origin,
                        double direction_rad) {
  const double dx = std::cos(direction_rad);
  const double dy = std::sin(direction_rad);
  double best = -1.0;
  for (const WallSegment& wall : walls) {
    const double sx = wall.to.x_m - wall.from.x_m;
    const double sy = wall.to.y_m - wall.from.y_m;
    const double denominator = dx * sy - dy * sx;
    if (std::fabs(denominator) < 1e-12) continue;  // parallel: a ray along a wall sees its end
    const double qx = wall.from.x_m - origin.x_m;
    const double qy = wall.from.y_m - origin.y_m;
    const double rayDistance = (qx * sy - qy * sx) / denominator;
    const double along = (qx * dy - qy * dx) / denominator;
    if (rayDistance < 0.0 || along < 0.0 || along > 1.0) continue;
    if (best < 0.0 || rayDistance < best) best = rayDistance;
  }
  return best;
}

}  // namespace basesim
