// The simulated sensor's map, read the way the planner reads it, must put walls where the
// planner's own geometry expects them.
#include <gtest/gtest.h>

#include <cmath>

#include "planner/cell_bits.h"
#include "planner/grid_geometry.h"
#include "planner/map_grid_build.h"
#include "relative_map.h"
#include "wall_geometry.h"

using namespace basesim;

namespace {

constexpr float kMmPerM = 1000.0f;

planner::LocalGrid plannerGridFrom(const std::vector<float>& map) {
  planner::MapReplyView view;
  view.width = kMapCells;
  view.height = kMapCells;
  view.cells = map.data();
  view.cellCount = map.size();
  cv::Mat mapImage = planner::makeMapImage();
  planner::LocalGrid grid;
  EXPECT_FALSE(planner::rebuildLocalGrid(view, mapImage, grid));
  return grid;
}

// The route's front probe: along the robot's row from its cell towards the front until a
// wall cell, in millimetres.
int frontProbe_mm(const planner::LocalGrid& grid) {
  int column = planner::kRobotCell;
  while (column >= 0 && !(grid.at(planner::kRobotCell, column) & planner::kCellOccupied)) --column;
  return (planner::kRobotCell - column) * planner::kCellSize_mm;
}

// The planner's cell of a world point, for a base whose odometry starts at `start`: the
// planner frame mirrors the odometry's y axis and angle sense.
planner::GridCell plannerCellOf(const WorldPose& base, const WorldPoint& point) {
  const double c = std::cos(base.heading_rad);
  const double s = std::sin(base.heading_rad);
  const double dx = point.x_m - base.x_m;
  const double dy = point.y_m - base.y_m;
  const float ahead_mm = static_cast<float>((dx * c + dy * s) * kMmPerM);
  const float left_mm = static_cast<float>((-dx * s + dy * c) * kMmPerM);
  // Odometry pose of the base taken as the origin, heading 0: the point is (ahead, left) in
  // odometry terms, (ahead, -left) in the planner frame.
  return planner::worldToCell(planner::PlannerPose{}, planner::PlannerPoint{ahead_mm, -left_mm});
}

}  // namespace

TEST(MapAgainstPlanner, wallOneMetreAheadReadsOneThousandMillimetres) {
  for (double heading_deg : {0.0, 30.0, 90.0, -135.0}) {
    const double heading = heading_deg * M_PI / 180.0;
    const WorldPose base{2.0, -1.0, heading};
    // A wall across the base's front, 1 m ahead.
    const double c = std::cos(heading), s = std::sin(heading);
    const WorldPoint centre{base.x_m + c, base.y_m + s};
    const std::vector<WallSegment> walls = {
        {{centre.x_m + 3 * s, centre.y_m - 3 * c}, {centre.x_m - 3 * s, centre.y_m + 3 * c}}};
    const auto grid = plannerGridFrom(senseRelativeMap(walls, base, RangeSensorParams{}));
    EXPECT_NEAR(frontProbe_mm(grid), 1000, 50) << "heading " << heading_deg;
  }
}

TEST(MapAgainstPlanner, wallOnTheLeftLandsAtLowerRowsOnTheRightAtHigher) {
  const WorldPose base{0.0, 0.0, 0.0};
  const std::vector<WallSegment> leftWall = {{{-3.0, 0.8}, {3.0, 0.8}}};
  const auto left = plannerGridFrom(senseRelativeMap(leftWall, base, RangeSensorParams{}));
  const std::vector<WallSegment> rightWall = {{{-3.0, -0.8}, {3.0, -0.8}}};
  const auto right = plannerGridFrom(senseRelativeMap(rightWall, base, RangeSensorParams{}));
  // 800 mm to the side, at the robot's column.
  EXPECT_EQ(left.at(100 - 16, 100), planner::kCellOccupied);
  EXPECT_EQ(right.at(100 + 16, 100), planner::kCellOccupied);
  EXPECT_EQ(left.at(100 + 16, 100), planner::kCellFree);
  EXPECT_EQ(right.at(100 - 16, 100), planner::kCellFree);
  // Behind the wall the sensor cannot see.
  EXPECT_EQ(left.at(100 - 30, 100), planner::kCellUnknown);
}

TEST(MapAgainstPlanner, everySeenWallPointLandsInThePlannersCell) {
  // A room with an oblique wall, seen from a turned base.
  const std::vector<WallSegment> walls = {{{-2.0, -1.5}, {3.0, -1.5}},
                                          {{3.0, -1.5}, {3.0, 2.0}},
                                          {{3.0, 2.0}, {-2.0, 2.0}},
                                          {{-2.0, 2.0}, {-2.0, -1.5}},
                                          {{0.5, 1.0}, {1.5, 0.2}}};
  const WorldPose base{0.3, 0.1, 0.7};
  const auto grid = plannerGridFrom(senseRelativeMap(walls, base, RangeSensorParams{}));
  int exact = 0, total = 0;
  for (int ray = 0; ray < 360; ++ray) {
    const double direction = ray * M_PI / 180.0;
    const double hit = rayHitDistance_m(walls, {base.x_m, base.y_m}, direction);
    ASSERT_GT(hit, 0.0);
    const WorldPoint point{base.x_m + (hit + 0.001) * std::cos(direction),
                           base.y_m + (hit + 0.001) * std::sin(direction)};
    const auto cell = plannerCellOf(base, point);
    ASSERT_TRUE(cell.inside());
    ++total;
    if (grid.at(cell) == planner::kCellOccupied) {
      ++exact;
      continue;
    }
    // Rounding in single precision may move a point by one cell, never more.
    bool neighbour = false;
    for (int dr = -1; dr <= 1; ++dr)
      for (int dc = -1; dc <= 1; ++dc)
        neighbour |= grid.at(cell.mx + dr, cell.my + dc) == planner::kCellOccupied;
    EXPECT_TRUE(neighbour) << "ray " << ray << " cell " << cell.mx << "," << cell.my;
  }
  EXPECT_GE(exact, total * 95 / 100);
}
