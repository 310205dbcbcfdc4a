#include <planner/collision.h>

#include <gtest/gtest.h>

#include <planner/cell_bits.h>

namespace planner {
namespace {

class Collision : public ::testing::Test {
 protected:
  LocalGrid grid;
  PathBook path;

  void SetUp() override {
    path.reset(PlannerPose{});
    for (int a = 0; a < kGridCells; ++a)
      for (int b = 0; b < kGridCells; ++b) grid.at(a, b) = kCellOccupied;
  }
  // Predicted pose in the middle of `cell`, robot at the origin facing planner +x (mx grows
  // along +y, my towards -x).
  static float middle_mm(int index) {
    const int offset = index - kRobotCell;
    return static_cast<float>(offset * kCellSize_mm + (offset > 0 ? 25 : offset < 0 ? -25 : 0));
  }
  void predictInto(GridCell cell) {
    path.executing().pose = PlannerPose{-middle_mm(cell.my), middle_mm(cell.mx), 0.0f};
  }
};

TEST_F(Collision, allFiveCellsBlockingIsACollision) {
  predictInto({100, 95});
  EXPECT_TRUE(isPredictedPoseBlocked(grid, path));
  EXPECT_EQ(path.executing().local_pose, (GridCell{100, 95}));
}

TEST_F(Collision, anyOneOfTheFiveFreeCellsClearsThePrediction) {
  const GridCell centre{100, 95};
  predictInto(centre);
  for (const GridCell free :
       {GridCell{101, 95}, GridCell{99, 95}, GridCell{100, 96}, GridCell{100, 94}, centre}) {
    SetUp();
    predictInto(centre);
    grid.at(free) = kCellFree;
    EXPECT_FALSE(isPredictedPoseBlocked(grid, path)) << free.mx << "," << free.my;
  }
}

TEST_F(Collision, diagonalNeighbourDoesNotCount) {
  predictInto({100, 95});
  grid.at(101, 96) = kCellFree;
  EXPECT_TRUE(isPredictedPoseBlocked(grid, path));
}

TEST_F(Collision, everyBlockingBitBlocksAndOthersDoNot) {
  predictInto({100, 95});
  grid.at(100, 95) = kCellBlockedOther;
  EXPECT_TRUE(isPredictedPoseBlocked(grid, path));
  grid.at(100, 95) = kCellUnknown;
  EXPECT_TRUE(isPredictedPoseBlocked(grid, path));
  grid.at(100, 95) = kCellPredicted;
  EXPECT_FALSE(isPredictedPoseBlocked(grid, path));
}

TEST_F(Collision, predictionOffTheGridIsBlocked) {
  path.executing().pose = PlannerPose{0.0f, 6000.0f, 0.0f};
  for (int a = 0; a < kGridCells; ++a)
    for (int b = 0; b < kGridCells; ++b) grid.at(a, b) = kCellFree;
  EXPECT_TRUE(isPredictedPoseBlocked(grid, path));
  EXPECT_EQ(path.executing().local_pose, (GridCell{-1, -1}));
}

TEST_F(Collision, neighbourBeyondTheEdgeCountsAsBlocking) {
  predictInto({199, 0});
  EXPECT_TRUE(isPredictedPoseBlocked(grid, path));
  grid.at(198, 0) = kCellFree;
  EXPECT_FALSE(isPredictedPoseBlocked(grid, path));
}

TEST_F(Collision, markPredictedCellClearsBlockingBitsAndMarksIt) {
  predictInto({100, 95});
  grid.at(101, 95) = kCellFree;
  ASSERT_FALSE(isPredictedPoseBlocked(grid, path));
  grid.at(100, 95) = kCellOccupied | kCellUnknown | kCellBlockedOther;
  markPredictedCell(grid, path);
  EXPECT_EQ(grid.at(100, 95), kCellPredicted);
}

TEST_F(Collision, goalAreaAtTheGridCornerIsClipped) {
  // Robot 4870 mm along planner +y from the goal: the goal cell has mx 3.
  const PlannerPose pose{0.0f, 4870.0f, 0.0f};
  ASSERT_EQ(goalCell(pose), (GridCell{3, 100}));
  grid.at(50, 50) = kCellFree;
  EXPECT_EQ(markGoalArea(grid, pose), (GridCell{3, 100}));
  int released = 0;
  for (int a = 0; a < kGridCells; ++a) {
    for (int b = 0; b < kGridCells; ++b) {
      const bool inside = a <= 10 && b >= 92 && b <= 107;
      if (a == 50 && b == 50) continue;
      EXPECT_EQ(grid.at(a, b), inside ? kCellUnknown : kCellOccupied) << a << "," << b;
      released += inside;
    }
  }
  EXPECT_EQ(released, 11 * 16);
}

TEST_F(Collision, goalAreaKeepsFreeCellsAndOtherBits) {
  grid.at(100, 100) = kCellFree;
  grid.at(101, 100) = kCellOccupied | kCellPredicted;
  markGoalArea(grid, PlannerPose{});
  EXPECT_EQ(grid.at(100, 100), kCellFree);
  EXPECT_EQ(grid.at(101, 100), kCellUnknown | kCellPredicted);
}

TEST_F(Collision, goalOffTheGridMarksNothing) {
  EXPECT_FALSE(markGoalArea(grid, PlannerPose{-20000.0f, 0.0f, 0.0f}).inside());
  EXPECT_EQ(grid.at(100, 100), kCellOccupied);
}

}  // namespace
}  // namespace planner
