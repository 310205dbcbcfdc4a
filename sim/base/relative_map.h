#pragma once
// The local occupancy map that the simulated range sensor sees around the base: 200 x 200
// cells of 50 mm centred on the base, row after row, one float a cell.
//
// Orientation: the column index grows towards the base's front and the row index towards its
// left, so a reader that takes the map backwards (last cell first) gets the first index
// growing to the right and the second index growing to the rear, the robot in cell (100, 100).
// The cell a point lands in follows that reader's point-to-cell rounding exactly: offsets in
// whole millimetres (rounded half up, then truncated), divided by 50 with truncation towards
// zero, so the robot's own cells span 99 mm and every other cell 50 mm.

#include <optional>
#include <vector>

#include "floor_plan.h"

namespace basesim {

constexpr int kMapCells = 200;  // cells per row and rows per map
constexpr double kMapCellSize_m = 0.05;
constexpr float kCellFree = 0.0f;
constexpr float kCellOccupied = 1.0f;
constexpr float kCellUnknown = 0.5f;

struct RangeSensorParams {
  double range_m = 4.5;    // walls farther than this are not seen
  int raysPerTurn = 2048;  // fine enough that neighbouring rays are < 1 cell apart at range
};

struct MapCell {
  int row;
  int column;
};

// The cell of a point given relative to the base (metres ahead, metres to the left), or none
// when it lies outside the map.
std::optional<MapCell> mapCellOf(double ahead_m, double left_m);

// The map the sensor sees from `base` among `walls`: kCellOccupied where a ray meets a wall,
// kCellFree where rays pass, kCellUnknown elsewhere (out of range or hidden behind walls).
std::vector<float> senseRelativeMap(const std::vector<WallSegment>& walls, const WorldPose& base,
                                    const RangeSensorParams& sensor);

}  // namespace basesim
