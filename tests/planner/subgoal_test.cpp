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
  grid.at(100, 81) = CELL_PREDICTED;
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_EQ(result.kind, SubgoalClass::GoalIsRobotCell);
  EXPECT_EQ(result.cell, (GridCell{100, 81}));
}

TEST_F(Subgoal_, occupiedGoalSearchesTheLineTowardsTheRobot) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};
  grid.at(100, 81) = CELL_OCCUPIED;
  grid.at(100, 90) = CELL_PREDICTED;
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_EQ(result.kind, SubgoalClass::LineTowardsRobot);
  EXPECT_FALSE(result.lineSearchFailed);
  EXPECT_EQ(result.cell, (GridCell{100, 90}));
}

TEST_F(Subgoal_, failedLineSearchFallsBackToTheScan) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};
  grid.at(100, 81) = CELL_OCCUPIED;
  grid.at(120, 90) = CELL_PREDICTED;
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_TRUE(result.lineSearchFailed);
  EXPECT_EQ(result.cell, (GridCell{120, 90}));
}

TEST_F(Subgoal_, scanTakesTheNearestMarkedCellBeyondTheClearance) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};  // goal cell (100, 81) is free
  grid.at(100, 84) = CELL_PREDICTED;             // 150 mm from the goal: too close
  grid.at(100, 88) = CELL_PREDICTED;             // 350 mm
  grid.at(100, 95) = CELL_PREDICTED;             // 700 mm
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_EQ(result.kind, SubgoalClass::Scan);
  EXPECT_EQ(result.cell, (GridCell{100, 88}));
}

TEST_F(Subgoal_, unknownGoalCellAlsoScans) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};
  grid.at(100, 81) = CELL_UNKNOWN;
  grid.at(100, 95) = CELL_PREDICTED;
  EXPECT_EQ(selectSubgoal(grid, pose).cell, (GridCell{100, 95}));
}

TEST_F(Subgoal_, enclosedMarkedCellDoesNotQualify) {
  const PlannerPose pose{-1000.0f, 0.0f, 0.0f};
  grid.at(100, 95) = CELL_PREDICTED;
  for (const GridCell around :
       {GridCell{101, 95}, GridCell{99, 95}, GridCell{100, 96}, GridCell{100, 94}})
    grid.at(around) = CELL_OCCUPIED;
  EXPECT_FALSE(selectSubgoal(grid, pose).cell.inside());
}

TEST_F(Subgoal_, goalFarAheadProjectsOntoTheFrontBorder) {
  const PlannerPose pose{-20000.0f, 0.0f, 0.0f};  // reference becomes cell (100, 0)
  grid.at(100, 0) = CELL_PREDICTED;               // at the reference: too close
  grid.at(100, 10) = CELL_PREDICTED;
  grid.at(100, 30) = CELL_PREDICTED;
  const Subgoal result = selectSubgoal(grid, pose);
  EXPECT_EQ(result.kind, SubgoalClass::Scan);
  EXPECT_EQ(result.cell, (GridCell{100, 10}));
}

TEST_F(Subgoal_, goalBeyondTheSideIsProjectedAlongTheLineFromTheRobot) {
  // Unbounded goal cell (160, -19): the line leaves the grid at (150, 0).
  const PlannerPose pose{-6000.0f, -3000.0f, 0.0f};
  grid.at(150, 10) = CELL_PREDICTED;  // 500 mm from (150, 0)
  grid.at(160, 0) = CELL_PREDICTED;   // 500 mm from (150, 0), later in the scan
  grid.at(100, 0) = CELL_PREDICTED;   // 2500 mm
  EXPECT_EQ(selectSubgoal(grid, pose).cell, (GridCell{150, 10}));
}

TEST_F(Subgoal_, goalBeyondTheTopRowIsProjectedOntoRowZero) {
  // Unbounded goal cell (-19, -19): the reference becomes the corner (0, 0).
  const PlannerPose pose{-6000.0f, 6000.0f, 0.0f};
  grid.at(0, 0) = CELL_PREDICTED;
  grid.at(0, 8) = CELL_PREDICTED;
  grid.at(10, 10) = CELL_PREDICTED;
  EXPECT_EQ(selectSubgoal(grid, pose).cell, (GridCell{0, 8}));
}

}  // namespace
}  // namespace planner
