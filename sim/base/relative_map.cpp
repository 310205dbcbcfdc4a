#include "relative_map.h"

#include <algorithm>
#include <cmath>

#include "wall_geometry.h"

namespace basesim {
namespace {

constexpr double kMmPerM = 1000.0;
constexpr int kCellSize_mm = 50;
constexpr int kRobotCell = 100;
// Rays sample the cells they cross at this spacing, well under a cell.
constexpr double kRaySample_m = 0.02;
// A hit is placed just beyond the wall, so that a wall on a cell border lands in the far cell.
constexpr double kBeyondWall_m = 0.001;
// No cell of the map lies farther from the base than its corners; rays end there, however far
// the sensor reaches.
const double kMapReach_m = std::hypot(kMapCells / 2 + 1, kMapCells / 2 + 1) * kMapCellSize_m;

// The reader's cell index along one axis for an offset that grows with the index.
int cellIndexAlong(double offset_m) {
  const int offset_mm = static_cast<int>(offset_m * kMmPerM + 0.5);
  return offset_mm / kCellSize_mm + kRobotCell;
}

}  // namespace

std::optional<MapCell> mapCellOf(double ahead_m, double left_m) {
  // The reader's first index grows to the right and its second towards the rear; the map holds
  // them reversed.
  const int rightIndex = cellIndexAlong(-left_m);
  const int rearIndex = cellIndexAlong(-ahead_m);
  if (rightIndex < 0 || rightIndex >= kMapCells || rearIndex < 0 || rearIndex >= kMapCells) {
    return std::nullopt;
  }
  return MapCell{kMapCells - 1 - rightIndex, kMapCells - 1 - rearIndex};
}

std::vector<float> senseRelativeMap(const std::vector<WallSegment>& walls, const WorldPose& base,
                                    const RangeSensorParams& sensor) {
  std::vector<float> cells(kMapCells * kMapCells, kCellUnknown);
  auto mark = [&](double ahead_m, double left_m, float value) {
    const auto cell = mapCellOf(ahead_m, left_m);
    if (!cell) return;
    float& target = cells[cell->row * kMapCells + cell->column];
    if (target != kCellOccupied) target = value;
  };
  const WorldPoint origin{base.x_m, base.y_m};
  for (int ray = 0; ray < sensor.raysPerTurn; ++ray) {
    const double relative_rad = 2.0 * M_PI * ray / sensor.raysPerTurn;
    const double hit_m = rayHitDistance_m(walls, origin, base.heading_rad + relative_rad);
    const bool seesWall = hit_m >= 0.0 && hit_m <= sensor.range_m;
    const double freeUntil_m = std::min(seesWall ? hit_m : sensor.range_m, kMapReach_m);
    const double c = std::cos(relative_rad);
    const double s = std::sin(relative_rad);
    for (double along = 0.0; along < freeUntil_m; along += kRaySample_m) {
      mark(along * c, along * s, kCellFree);
    }
    if (seesWall) {
      const double beyond_m = hit_m + kBeyondWall_m;
      mark(beyond_m * c, beyond_m * s, kCellOccupied);
    }
  }
  return cells;
}

}  // namespace basesim
