#include <planner/grid_geometry.h>

#include <gtest/gtest.h>

namespace planner {
namespace {

TEST(WorldToCell, pointJustAheadStaysInRobotCell) {
  EXPECT_EQ(worldToCell(0, 0, 0, 25, 0), (GridCell{100, 100}));
}

TEST(WorldToCell, pointSixtyMillimetresAheadIsOneColumnForward) {
  EXPECT_EQ(worldToCell(0, 0, 0, 60, 0), (GridCell{100, 99}));
}

TEST(WorldToCell, fiveMetresToTheRightLeavesTheGrid) {
  EXPECT_EQ(worldToCell(0, 0, 0, 0, 5000), (GridCell{-1, -1}));
}

TEST(WorldToCell, fiveMetresToTheLeftIsStillRowOne) {
  EXPECT_EQ(worldToCell(0, 0, 0, 0, -5000), (GridCell{1, 100}));
}

TEST(WorldToCell, followsTheRobotPoseAndHeading) {
  // Facing +y, a point 1 m further along y is 19 columns ahead (column 100 is one short).
  EXPECT_EQ(worldToCell(100, 200, 1.5707963f, 100, 1200), (GridCell{100, 81}));
  // Its right is then -x.
  EXPECT_EQ(worldToCell(100, 200, 1.5707963f, -400, 200), (GridCell{110, 100}));
}

TEST(WorldToCell, unboundedKeepsIndicesBeyondTheGrid) {
  EXPECT_EQ(worldToCellUnbounded(0, 0, 0, 0, 6000), (GridCell{220, 100}));
}

TEST(CellToWorld, invertsWorldToCellUpToTheCellRounding) {
  const PlanarPoint_mm ahead = cellToWorld(100, 99, 0, 0, 0);
  EXPECT_NEAR(ahead.x_mm, 50.0f, 1e-3);
  EXPECT_NEAR(ahead.y_mm, 0.0f, 1e-3);
  const PlanarPoint_mm right = cellToWorld(101, 100, 10, 20, 0);
  EXPECT_NEAR(right.x_mm, 10.0f, 1e-3);
  EXPECT_NEAR(right.y_mm, 70.0f, 1e-3);
  // Cells from 100 up come back exactly; below 100 the cell's corner lands one cell nearer
  // the robot, because the rounding truncates towards zero.
  for (int row : {0, 37, 100, 163, 199}) {
    for (int column : {0, 58, 100, 141, 199}) {
      const PlanarPoint_mm p = cellToWorld(row, column, 300, -200, 0.7f);
      const GridCell back = worldToCell(300, -200, 0.7f, p.x_mm, p.y_mm);
      EXPECT_EQ(back.row, row < 100 ? row + 1 : row);
      EXPECT_EQ(back.column, column < 100 ? column + 1 : column);
    }
  }
}

}  // namespace
}  // namespace planner
