#include <planner/planning_image.h>

#include <gtest/gtest.h>

#include <planner/cell_bits.h>

namespace planner {
namespace {

cv::Vec3b bgr(int b, int g, int r) { return cv::Vec3b(b, g, r); }

int whitePixelsInRows(const cv::Mat& image, int fromRow, int toRow) {
  int count = 0;
  for (int y = fromRow; y <= toRow; ++y)
    for (int x = 0; x < image.cols; ++x) count += image.at<cv::Vec3b>(y, x) == bgr(255, 255, 255);
  return count;
}

TEST(DrawGrid, oneOccupiedCellIsATwoByTwoGreenSquare) {
  LocalGrid grid;
  grid.at(10, 20) = kCellOccupied;
  cv::Mat image = makePlanningImage();
  image.setTo(cv::Scalar(7, 7, 7));
  drawGrid(grid, image);
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 400; ++x) {
      const bool inCell = x >= 20 && x <= 21 && y >= 40 && y <= 41;
      ASSERT_EQ(image.at<cv::Vec3b>(y, x), inCell ? bgr(0, 255, 0) : bgr(0, 0, 0)) << x << "," << y;
    }
  }
}

TEST(DrawGrid, unknownOverridesAndPredictedCellIsBlue) {
  LocalGrid grid;
  grid.at(0, 0) = kCellOccupied | kCellUnknown;
  grid.at(199, 199) = kCellPredicted;
  grid.at(50, 60) = kCellBlockedOther;
  cv::Mat image = makePlanningImage();
  drawGrid(grid, image);
  EXPECT_EQ(image.at<cv::Vec3b>(1, 1), bgr(128, 128, 128));
  EXPECT_EQ(image.at<cv::Vec3b>(399, 398), bgr(255, 0, 0));
  EXPECT_EQ(image.at<cv::Vec3b>(121, 100), bgr(0, 0, 255));
}

TEST(DrawStatus, linesStackUpwardsFromTheBottom) {
  cv::Mat both = makePlanningImage();
  both.setTo(cv::Scalar(50, 50, 50));
  cv::Mat collisionOnly = both.clone();
  drawStatus(both, kStatusCollision | kStatusMapMissing);
  drawStatus(collisionOnly, kStatusCollision);

  // Bands reach from y - 17 to y + 3: 368 … 388 for the first line, 348 … 368 for the second.
  EXPECT_EQ(both.at<cv::Vec3b>(391, 399), bgr(50, 50, 50));
  EXPECT_EQ(both.at<cv::Vec3b>(386, 399), bgr(0, 0, 0));
  EXPECT_EQ(both.at<cv::Vec3b>(350, 399), bgr(0, 0, 0));
  EXPECT_EQ(both.at<cv::Vec3b>(344, 399), bgr(50, 50, 50));
  EXPECT_EQ(collisionOnly.at<cv::Vec3b>(350, 399), bgr(50, 50, 50));

  EXPECT_GT(whitePixelsInRows(both, 370, 385), 50);
  EXPECT_GT(whitePixelsInRows(both, 350, 365), 50);
  EXPECT_EQ(whitePixelsInRows(collisionOnly, 340, 367), 0);
  // The map line is longer than the collision line.
  cv::Mat mapOnly = makePlanningImage();
  drawStatus(mapOnly, kStatusMapMissing);
  EXPECT_GT(whitePixelsInRows(mapOnly, 370, 385), whitePixelsInRows(collisionOnly, 370, 385));
}

TEST(DrawStatus, noBitDrawsNothing) {
  cv::Mat image = makePlanningImage();
  drawStatus(image, 0);
  EXPECT_EQ(cv::countNonZero(image.reshape(1)), 0);
}

TEST(WheelCommandText, usesTheTreadRule) {
  EXPECT_EQ(wheelCommandText(300, 1000), "sent: robot:vl=380.82,  vr=219.18");
  EXPECT_EQ(wheelCommandText(300, 200), "sent: robot:vl=300.00,  vr=-300.00");
  EXPECT_EQ(wheelCommandText(300, 0), "sent: robot:vl=300.00,  vr=300.00");
}

TEST(DrawGoalAndRobot, circlesAtTheirCells) {
  cv::Mat image = makePlanningImage();
  drawGoalAndRobot(image, GridCell{100, 81});
  EXPECT_EQ(image.at<cv::Vec3b>(200, 200), bgr(15, 129, 239));
  EXPECT_EQ(image.at<cv::Vec3b>(208, 200), bgr(15, 129, 239));
  EXPECT_EQ(image.at<cv::Vec3b>(162, 200), bgr(0, 0, 255));
  EXPECT_EQ(image.at<cv::Vec3b>(162, 206), bgr(0, 0, 0));
  cv::Mat noGoal = makePlanningImage();
  drawGoalAndRobot(noGoal, GridCell{});
  EXPECT_EQ(noGoal.at<cv::Vec3b>(162, 200), bgr(0, 0, 0));
  EXPECT_EQ(noGoal.at<cv::Vec3b>(200, 200), bgr(15, 129, 239));
}

TEST(DrawHoldOverlays, predictedCellPathStartAndWheelLine) {
  PathBook path;
  path.reset(PlannerPose{});
  path[1].pose = PlannerPose{500.0f, 0.0f, 0.0f};
  path.advance();
  path.current().v_mmps = 0.0f;
  RobotState state;
  state.current = PlannerPose{500.0f, 0.0f, 0.0f};
  state.predictedCell = GridCell{100, 97};
  cv::Mat image = makePlanningImage();
  drawHoldOverlays(image, state, PlannerPoint{0.0f, 0.0f}, path, 0);
  EXPECT_EQ(image.at<cv::Vec3b>(194, 200), bgr(15, 129, 239));
  // The start lies 500 mm behind: cell (100, 110), a ring of radius 3 around (200, 220).
  EXPECT_EQ(image.at<cv::Vec3b>(220, 203), bgr(0, 212, 255));
  EXPECT_EQ(image.at<cv::Vec3b>(220, 200), bgr(15, 129, 239)) << "travelled path line";
  EXPECT_GT(whitePixelsInRows(image, 3, 16), 50);
  EXPECT_EQ(whitePixelsInRows(image, 340, 399), 0);
}

}  // namespace
}  // namespace planner
