#include <planner/wall_probes.h>

#include <gtest/gtest.h>

#include <planner/cell_bits.h>

namespace planner {
namespace {

TEST(WallProbes, measureFreeDistanceInTheGrid) {
  LocalGrid grid;
  ::testing::internal::CaptureStdout();
  EXPECT_FLOAT_EQ(frontDistance(grid), 5050.0f);
  EXPECT_FLOAT_EQ(leftWallDistance(grid), 5050.0f);
  EXPECT_FLOAT_EQ(rightWallDistance(grid), 5000.0f);
  grid.at(100, 100) = kCellOccupied;
  EXPECT_FLOAT_EQ(frontDistance(grid), 0.0f);
  grid.at(100, 100) = kCellUnknown;  // unknown cells are no walls
  grid.at(100, 70) = kCellOccupied | kCellPredicted;
  EXPECT_FLOAT_EQ(frontDistance(grid), 1500.0f);
  grid.at(94, 90) = kCellOccupied;
  grid.at(113, 90) = kCellOccupied;
  grid.at(99, 91) = kCellOccupied;  // beside the probe line
  EXPECT_FLOAT_EQ(leftWallDistance(grid), 300.0f);
  EXPECT_FLOAT_EQ(rightWallDistance(grid), 650.0f);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "the caller prints what it measured";
}

}  // namespace
}  // namespace planner
