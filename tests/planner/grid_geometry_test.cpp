#include <planner/grid_geometry.h>

#include <gtest/gtest.h>

namespace planner {
namespace {

// The robot at the planner origin facing planner +x.
const PlannerPose kAtOrigin{};

TEST(WorldToCell, pointJustAheadStaysInRobotCell) {
  EXPECT_EQ(worldToCell(kAtOrigin, PlannerPoint{25, 0}), (GridCell{100, 100}));
}

TEST(WorldToCell, pointSixtyMillimetresAheadIsOneCellForward) {
  EXPECT_EQ(worldToCell(kAtOrigin, PlannerPoint{60, 0}), (GridCell{100, 99}));
}

TEST(WorldToCell, fiveMetresToTheRightLeavesTheGrid) {
  EXPECT_EQ(worldToCell(kAtOrigin, PlannerPoint{0, 5000}), (GridCell{-1, -1}));
}

TEST(WorldToCell, fiveMetresToTheLeftIsStillMxOne) {
  EXPECT_EQ(worldToCell(kAtOrigin, PlannerPoint{0, -5000}), (GridCell{1, 100}));
}

TEST(WorldToCell, followsTheRobotPoseAndHeading) {
  const PlannerPose facingPlusY{100, 200, 1.5707963f};
  // A point 1 m further along y is 19 cells ahead (index 100 is one short).
  EXPECT_EQ(worldToCell(facingPlusY, PlannerPoint{100, 1200}), (GridCell{100, 81}));
  // Its right is then -x.
  EXPECT_EQ(worldToCell(facingPlusY, PlannerPoint{-400, 200}), (GridCell{110, 100}));
}

TEST(WorldToCell, unboundedKeepsIndicesBeyondTheGrid) {
  EXPECT_EQ(worldToCellUnbounded(kAtOrigin, PlannerPoint{0, 6000}), (GridCell{220, 100}));
}

TEST(CellToWorld, invertsWorldToCellUpToTheCellRounding) {
  const PlannerPoint ahead = cellToWorld(GridCell{100, 99}, kAtOrigin);
  EXPECT_NEAR(ahead.x_mm, 50.0f, 1e-3);
  EXPECT_NEAR(ahead.y_mm, 0.0f, 1e-3);
  const PlannerPoint right = cellToWorld(GridCell{101, 100}, PlannerPose{10, 20, 0});
  EXPECT_NEAR(right.x_mm, 10.0f, 1e-3);
  EXPECT_NEAR(right.y_mm, 70.0f, 1e-3);
  // Indices from 100 up come back exactly; below 100 the cell's corner lands one cell nearer
  // the robot, because the rounding truncates towards zero.
  const PlannerPose robot{300, -200, 0.7f};
  for (int mx : {0, 37, 100, 163, 199}) {
    for (int my : {0, 58, 100, 141, 199}) {
      const GridCell back = worldToCell(robot, cellToWorld(GridCell{mx, my}, robot));
      EXPECT_EQ(back.mx, mx < 100 ? mx + 1 : mx);
      EXPECT_EQ(back.my, my < 100 ? my + 1 : my);
    }
  }
}

}  // namespace
}  // namespace planner
