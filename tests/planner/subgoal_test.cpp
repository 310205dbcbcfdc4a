#include <planner/subgoal.h>

#include <gtest/gtest.h>

#include <planner/cell_bits.h>

namespace planner {
namespace {

// All tests look from a robot facing planner +x; the goal is the planner origin.
class Subgoal_ : public ::testing::Test {
 protected:
  LocalGrid grid;
};

TEST_F(Subgoal_, goalOnTheMarkedRobotCellIsTakenAsIs) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};  // goal cell (100, 81)
  grid.at(100, 81) = kCellPredicted;
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_EQ(result.kind, SubgoalClass::GoalIsRobotCell);
  EXPECT_EQ(result.cell, (GridCell{100, 81}));
}

TEST_F(Subgoal_, occupiedGoalSearchesTheLineTowardsTheRobot) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};
  grid.at(100, 81) = kCellOccupied;
  grid.at(100, 90) = kCellPredicted;
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_EQ(result.kind, SubgoalClass::LineTowardsRobot);
  EXPECT_FALSE(result.lineSearchFailed);
  EXPECT_EQ(result.cell, (GridCell{100, 90}));
}

TEST_F(Subgoal_, failedLineSearchFallsBackToTheScan) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};
  grid.at(100, 81) = kCellOccupied;
  grid.at(120, 90) = kCellPredicted;
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_TRUE(result.lineSearchFailed);
  EXPECT_EQ(result.cell, (GridCell{120, 90}));
}

TEST_F(Subgoal_, scanTakesTheNearestMarkedCellBeyondTheClearance) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};  // goal cell (100, 81) is free
  grid.at(100, 84) = kCellPredicted;             // 150 mm from the goal: too close
  grid.at(100, 88) = kCellPredicted;             // 350 mm
  grid.at(100, 95) = kCellPredicted;             // 700 mm
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_EQ(result.kind, SubgoalClass::Scan);
  EXPECT_EQ(result.cell, (GridCell{100, 88}));
}

TEST_F(Subgoal_, unknownGoalCellAlsoScans) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};
  grid.at(100, 81) = kCellUnknown;
  grid.at(100, 95) = kCellPredicted;
  EXPECT_EQ(selectSubgoal(grid, pose).cell, (GridCell{100, 95}));
}

TEST_F(Subgoal_, enclosedMarkedCellDoesNotQualify) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};
  grid.at(100, 95) = kCellPredicted;
  for (const GridCell around :
       {GridCell{101, 95}, GridCell{99, 95}, GridCell{100, 96}, GridCell{100, 94}})
    grid.at(around) = kCellOccupied;
  EXPECT_FALSE(selectSubgoal(grid, pose).cell.inside());
}

TEST_F(Subgoal_, goalFarAheadProjectsOntoTheFrontBorder) {
  const PlannerPose pose{-20000.0f, 0.0f, 0.0f};  // reference becomes cell (100, 0)
  grid.at(100, 0) = kCellPredicted;               // at the reference: too close
  grid.at(100, 10) = kCellPredicted;
  grid.at(100, 30) = kCellPredicted;
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_EQ(result.kind, SubgoalClass::Scan);
  EXPECT_EQ(result.cell, (GridCell{100, 10}));
}

TEST_F(Subgoal_, goalBeyondTheSideIsProjectedAlongTheLineFromTheRobot) {
  // Unbounded goal cell (160, -19): the line leaves the grid at (150, 0).
  const PlannerPose pose{-6000.0f, -3000.0f, 0.0f};
  grid.at(150, 10) = kCellPredicted;  // 500 mm from (150, 0)
  grid.at(160, 0) = kCellPredicted;   // 500 mm from (150, 0), later in the scan
  grid.at(100, 0) = kCellPredicted;   // 2500 mm
  EXPECT_EQ(selectSubgoal(grid, pose).cell, (GridCell{150, 10}));
}

TEST_F(Subgoal_, goalBeyondTheTopRowIsProjectedOntoRowZero) {
  // Unbounded goal cell (-19, -19): the reference becomes the corner (0, 0).
  const PlannerPose pose{-6000.0f, 6000.0f, 0.0f};
  grid.at(0, 0) = kCellPredicted;
  grid.at(0, 8) = kCellPredicted;
  grid.at(10, 10) = kCellPredicted;
  EXPECT_EQ(selectSubgoal(grid, pose).cell, (GridCell{0, 8}));
}

}  // namespace
}  // namespace planner
