// PlanViewer's legend and its reading of the pictures must match what the planner draws: the
// planner's own drawing code makes the pictures here.
#include <gtest/gtest.h>

#include <stdexcept>

#include "frame_annotation.h"
#include "frame_caption.h"
#include "planner/cell_bits.h"
#include "planner/local_grid.h"
#include "planner/path_record.h"
#include "planner/planning_image.h"

using namespace planviewer;

namespace {

cv::Vec3b vecOf(const cv::Scalar& colour) {
  return cv::Vec3b(static_cast<std::uint8_t>(colour[0]), static_cast<std::uint8_t>(colour[1]),
                   static_cast<std::uint8_t>(colour[2]));
}

const LegendEntry& entryLabelled(const std::string& label) {
  for (const LegendEntry& entry : legendEntries())
    if (label == entry.label) return entry;
  throw std::runtime_error("no legend entry " + label);
}

// The planner's picture of a grid (two pixels per cell, first index along x).
cv::Mat plannerPictureOf(const planner::LocalGrid& grid) {
  cv::Mat picture = planner::makePlanningImage();
  testing::internal::CaptureStdout();  // the planner prints "Drawing Whole"
  planner::drawGrid(grid, picture);
  testing::internal::GetCapturedStdout();
  return picture;
}

}  // namespace

TEST(LegendAgainstPlanner, cellColoursAreThePlannersGridColours) {
  planner::LocalGrid grid;
  grid.at(10, 20) = planner::kCellOccupied;
  grid.at(11, 20) = planner::kCellUnknown;
  grid.at(12, 20) = planner::kCellPredicted;
  // Released inside the goal area: occupied turned unknown.
  grid.at(13, 20) = planner::kCellUnknown;
  const cv::Mat picture = plannerPictureOf(grid);
  EXPECT_EQ(picture.at<cv::Vec3b>(40, 20), entryLabelled("wall (seen)").colour);
  EXPECT_EQ(picture.at<cv::Vec3b>(41, 23), entryLabelled("unknown").colour);
  EXPECT_EQ(picture.at<cv::Vec3b>(40, 24), entryLabelled("predicted cell").colour);
  EXPECT_EQ(picture.at<cv::Vec3b>(40, 26), entryLabelled("unknown").colour);
  EXPECT_EQ(picture.at<cv::Vec3b>(0, 0), entryLabelled("free").colour);
}

TEST(LegendAgainstPlanner, marksAreThePlannersRobotGoalStartAndPath) {
  EXPECT_EQ(vecOf(planner::ROBOT_COLOUR), entryLabelled("robot / next position").colour);
  EXPECT_EQ(vecOf(planner::ROBOT_COLOUR), entryLabelled("path driven (held)").colour);
  EXPECT_EQ(vecOf(planner::GOAL_COLOUR), entryLabelled("goal: odometry origin").colour);
  EXPECT_EQ(vecOf(planner::START_COLOUR), entryLabelled("odometry origin (held)").colour);
  // A completed cycle's picture: the goal (red) where its cell is, the robot in the centre.
  cv::Mat picture = planner::makePlanningImage();
  planner::drawGoalAndRobot(picture, planner::GridCell{30, 150});
  EXPECT_EQ(picture.at<cv::Vec3b>(200, 200), entryLabelled("robot / next position").colour);
  EXPECT_EQ(picture.at<cv::Vec3b>(300, 60), entryLabelled("goal: odometry origin").colour);
}

TEST(LegendAgainstPlanner, onlyThePlannersPictureWithoutAMapIsNoStep) {
  // A cycle without a map: a black picture with its status line.
  cv::Mat missing = planner::makePlanningImage();
  planner::drawStatus(missing, planner::kStatusMapMissing);
  EXPECT_TRUE(isMapMissingPicture(missing));
  // Both status lines at once still fit the bottom.
  cv::Mat both = planner::makePlanningImage();
  planner::drawStatus(both, planner::kStatusMapMissing | planner::kStatusCollision);
  EXPECT_TRUE(isMapMissingPicture(both));
  // A completed cycle over an empty grid is a step.
  planner::LocalGrid empty;
  cv::Mat completed = plannerPictureOf(empty);
  planner::drawGoalAndRobot(completed, planner::GridCell{});
  EXPECT_FALSE(isMapMissingPicture(completed));
  // A held cycle with a collision: a step, whatever the status line says.
  cv::Mat held = plannerPictureOf(empty);
  planner::drawStatus(held, planner::kStatusCollision);
  planner::drawHoldOverlays(held, planner::RobotState{}, planner::PlannerPoint{},
                            planner::PathBook{}, planner::kStatusCollision);
  EXPECT_FALSE(isMapMissingPicture(held));
}
