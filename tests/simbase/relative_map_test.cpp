#include <gtest/gtest.h>

#include <cmath>

#include "relative_map.h"

using namespace basesim;

namespace {

float cellAt(const std::vector<float>& map, int row, int column) {
  return map[row * kMapCells + column];
}

}  // namespace

TEST(MapCellOf, robotSitsInTheCentreCellsAndAxesPointFrontAndLeft) {
  const auto centre = mapCellOf(0.0, 0.0);
  ASSERT_TRUE(centre);
  EXPECT_EQ(centre->row, 99);
  EXPECT_EQ(centre->column, 99);
  // Column grows towards the front, row towards the left.
  EXPECT_EQ(mapCellOf(0.06, 0.0)->column, 100);
  EXPECT_EQ(mapCellOf(-0.06, 0.0)->column, 98);
  EXPECT_EQ(mapCellOf(0.0, 0.06)->row, 100);
  EXPECT_EQ(mapCellOf(0.0, -0.06)->row, 98);
}

TEST(MapCellOf, centreCellSpansNinetyNineMillimetres) {
  // Whole millimetres -49 ... 49 stay in the centre cell; rounding half up moves the borders
  // to 50.5 mm ahead and 49.5 mm behind.
  EXPECT_EQ(mapCellOf(0.025, 0.0)->column, 99);
  EXPECT_EQ(mapCellOf(0.0504, 0.0)->column, 99);
  EXPECT_EQ(mapCellOf(0.0506, 0.0)->column, 100);
  EXPECT_EQ(mapCellOf(0.060, 0.0)->column, 100);
  EXPECT_EQ(mapCellOf(-0.0494, 0.0)->column, 99);
  EXPECT_EQ(mapCellOf(-0.0496, 0.0)->column, 98);
}

TEST(MapCellOf, edgesOfTheMap) {
  // Ahead and to the left the last cell starts just past 5 m; behind and to the right the map
  // ends at 5 m.
  EXPECT_EQ(mapCellOf(5.0, 0.0)->column, 198);
  EXPECT_EQ(mapCellOf(5.001, 0.0)->column, 199);
  EXPECT_EQ(mapCellOf(-4.999, 0.0)->column, 0);
  EXPECT_FALSE(mapCellOf(-5.0, 0.0));
  EXPECT_EQ(mapCellOf(0.0, 5.0)->row, 198);
  EXPECT_FALSE(mapCellOf(0.0, -5.0));
  EXPECT_FALSE(mapCellOf(5.06, 0.0));
}

TEST(SenseRelativeMap, wallAheadIsOccupiedFreeSpaceBeforeItUnknownBehind) {
  // Base at (2, 1) facing +y; a long wall 1 m ahead of it.
  const std::vector<WallSegment> walls = {{{-3.0, 2.0}, {7.0, 2.0}}};
  const WorldPose base{2.0, 1.0, M_PI / 2};
  const auto map = senseRelativeMap(walls, base, RangeSensorParams{});
  ASSERT_EQ(map.size(), static_cast<size_t>(kMapCells * kMapCells));
  const auto wall = mapCellOf(1.0005, 0.0);
  EXPECT_EQ(cellAt(map, wall->row, wall->column), kCellOccupied);
  const auto before = mapCellOf(0.9, 0.0);
  EXPECT_EQ(cellAt(map, before->row, before->column), kCellFree);
  const auto behindWall = mapCellOf(1.5, 0.0);
  EXPECT_EQ(cellAt(map, behindWall->row, behindWall->column), kCellUnknown);
  // The wall runs across: 1 m to the left and right of the base's line it is still there.
  const auto left = mapCellOf(1.0005, 1.0);
  EXPECT_EQ(cellAt(map, left->row, left->column), kCellOccupied);
  // Behind the base nothing blocks until the sensor's range ends.
  const auto rear = mapCellOf(-3.0, 0.0);
  EXPECT_EQ(cellAt(map, rear->row, rear->column), kCellFree);
  const auto farRear = mapCellOf(-4.8, 0.0);
  EXPECT_EQ(cellAt(map, farRear->row, farRear->column), kCellUnknown);
}

TEST(SenseRelativeMap, onlyTheThreeValuesAppear) {
  const std::vector<WallSegment> walls = {{{1.0, -1.0}, {1.0, 1.0}}, {{-2.0, -0.7}, {0.5, 0.3}}};
  const auto map = senseRelativeMap(walls, {0.0, 0.0, 0.3}, RangeSensorParams{});
  int occupied = 0;
  for (float value : map) {
    EXPECT_TRUE(value == kCellFree || value == kCellOccupied || value == kCellUnknown);
    occupied += value == kCellOccupied;
  }
  EXPECT_GT(occupied, 40);
}

TEST(SenseRelativeMap, aSensorReachingBeyondTheMapSeesTheWholeMapAndEnds) {
  // No walls and a range far beyond the map: every cell is free, the corners included, and
  // the rays stop at the map's edge instead of running out to the range.
  RangeSensorParams farSensor;
  farSensor.range_m = 1e300;
  farSensor.raysPerTurn = 4096;
  const auto map = senseRelativeMap({}, {0.0, 0.0, 0.0}, farSensor);
  EXPECT_EQ(cellAt(map, 0, 0), kCellFree);
  EXPECT_EQ(cellAt(map, kMapCells - 1, kMapCells - 1), kCellFree);
  EXPECT_EQ(cellAt(map, 0, kMapCells - 1), kCellFree);
}
