#include <planner/prediction.h>

#include <cmath>

#include <gtest/gtest.h>

namespace planner {
namespace {

constexpr double kLoopTime_s = 0.5;

MeasuredMotion measured(OdometryPose pose, OdometryVelocity velocity) {
  MeasuredMotion motion;
  motion.takePose(pose);
  motion.takeVelocity(velocity);
  return motion;
}

TEST(PlannerFrame, mirrorsTheOdometryYAxisAndAngle) {
  const PlannerFrame frame;
  const PlannerPose pose = frame.fromOdometry(1000.0, 2000.0, 90.0);
  EXPECT_FLOAT_EQ(pose.x_mm, 1000.0f);
  EXPECT_FLOAT_EQ(pose.y_mm, -2000.0f);
  EXPECT_NEAR(pose.theta_rad, -1.5707963, 1e-6);
}

TEST(MeasuredMotion, headingIsFoldedIntoHalfOpenRange) {
  MeasuredMotion motion;
  motion.takePose(OdometryPose{0.0, 0.0, 3.5});
  EXPECT_NEAR(motion.heading_deg, 3.5 * 57.29577951 - 360.0, 1e-9);
  motion.takePose(OdometryPose{0.0, 0.0, -3.1415926535897931});
  EXPECT_NEAR(motion.heading_deg, -180.0, 1e-6);
  motion.takePose(OdometryPose{1.5, -0.25, 0.0});
  EXPECT_DOUBLE_EQ(motion.x_mm, 1500.0);
  EXPECT_DOUBLE_EQ(motion.y_mm, -250.0);
}

TEST(MeasuredMotion, wheelSpeedsSpreadByTheTread) {
  const MeasuredMotion motion = measured({}, OdometryVelocity{0.3, 0.1});
  EXPECT_FLOAT_EQ(motion.v_mmps, 300.0f);
  EXPECT_NEAR(motion.leftWheel_mmps, 300.0 - 26.94, 1e-3);
  EXPECT_NEAR(motion.rightWheel_mmps, 300.0 + 26.94, 1e-3);
}

TEST(CommandedWheelSpeeds, radiusThreeMetresAtThreeHundred) {
  const WheelSpeeds speeds = commandedWheelSpeeds(300.0f, 3000.0f);
  EXPECT_NEAR(speeds.left_mmps, 326.94, 1e-3);
  EXPECT_NEAR(speeds.right_mmps, 273.06, 1e-3);
  const WheelSpeeds straight = commandedWheelSpeeds(-200.0f, 0.0f);
  EXPECT_EQ(straight.left_mmps, -200.0f);
  EXPECT_EQ(straight.right_mmps, -200.0f);
}

TEST(PredictPose, straightMotionMovesOnePeriodAlongTheHeading) {
  PathBook path;
  path.reset(PlannerPose{});
  path.executing().v_mmps = 300.0f;
  path.executing().r_mm = 0.0f;
  // Odometry heading +0.3 rad is -0.3 rad in the planner frame.
  const MeasuredMotion motion = measured(OdometryPose{1.0, 0.0, 0.3}, OdometryVelocity{0.3, 0.0});
  const RobotState state = predictPose(path, PlannerFrame{}, motion, kLoopTime_s);
  EXPECT_FLOAT_EQ(path.current().pose.x_mm, 1000.0f);
  EXPECT_NEAR(path.current().pose.theta_rad, -0.3, 1e-6);
  EXPECT_NEAR(path.executing().pose.x_mm, 1000.0 + 150.0 * std::cos(-0.3), 1e-3);
  EXPECT_NEAR(path.executing().pose.y_mm, 150.0 * std::sin(-0.3), 1e-3);
  EXPECT_NEAR(path.executing().pose.theta_rad, -0.3, 1e-6);
  EXPECT_EQ(state.robotCell, (GridCell{100, 100}));
  EXPECT_EQ(state.predictedCell, (GridCell{100, 98}));
  EXPECT_FLOAT_EQ(state.current.x_mm, 1000.0f);
  EXPECT_FLOAT_EQ(state.predicted.x_mm, path.executing().pose.x_mm);
}

TEST(PredictPose, arcFollowsTheMeanOfMeasuredAndCommandedWheels) {
  PathBook path;
  path.reset(PlannerPose{});
  path.executing().v_mmps = 300.0f;
  path.executing().r_mm = 3000.0f;
  // Measured straight at 300 mm/s: left (300 + 326.94) / 2, right (300 + 273.06) / 2.
  const MeasuredMotion motion = measured(OdometryPose{}, OdometryVelocity{0.3, 0.0});
  predictPose(path, PlannerFrame{}, motion, kLoopTime_s);
  const double left = (300.0 + 326.94) / 2;
  const double right = (300.0 + 273.06) / 2;
  const double turn = (left - right) / 538.8 * kLoopTime_s;
  const double radius = 269.4 * (left + right) / (left - right);
  const double chord = 2 * radius * std::sin(turn / 2);
  EXPECT_NEAR(path.executing().pose.theta_rad, turn, 1e-5);
  EXPECT_NEAR(path.executing().pose.x_mm, chord * std::cos(turn / 2), 1e-2);
  EXPECT_NEAR(path.executing().pose.y_mm, chord * std::sin(turn / 2), 1e-2);
  EXPECT_GT(path.executing().pose.y_mm, 0.0f) << "a positive radius turns towards planner +y";
}

TEST(PathBook, restartAtThousandKeepsTheLastFiveHundredAndTheLookAhead) {
  PathBook path;
  path.reset(PlannerPose{});
  for (int i = 0; i < 999; ++i) EXPECT_FALSE(path.advance());
  ASSERT_EQ(path.step(), 999);
  for (int k = 0; k < 1003; ++k) path[k].pose.x_mm = static_cast<float>(k);
  path[1001].v_mmps = 250.0f;  // executed after the restart
  path[1001].r_mm = -3000.0f;
  EXPECT_TRUE(path.advance());
  EXPECT_EQ(path.step(), 500);
  EXPECT_FLOAT_EQ(path[0].pose.x_mm, 500.0f);
  EXPECT_FLOAT_EQ(path[499].pose.x_mm, 999.0f);
  EXPECT_FLOAT_EQ(path.current().pose.x_mm, 1000.0f);
  EXPECT_FLOAT_EQ(path.executing().v_mmps, 250.0f);
  EXPECT_FLOAT_EQ(path.executing().r_mm, -3000.0f);
  EXPECT_FLOAT_EQ(path.planned().pose.x_mm, 1002.0f);
}

TEST(PathBook, freezeLookAheadStopsAtTheCurrentPose) {
  PathBook path;
  path.reset(PlannerPose{});
  path.current().pose = PlannerPose{10.0f, 20.0f, 0.5f};
  path.executing().v_mmps = 300.0f;
  path.planned().r_mm = 800.0f;
  path.freezeLookAhead(0.0f, 0.0f);
  for (const PathRecord* record : {&path.executing(), &path.planned()}) {
    EXPECT_EQ(record->v_mmps, 0.0f);
    EXPECT_EQ(record->r_mm, 0.0f);
    EXPECT_FLOAT_EQ(record->pose.x_mm, 10.0f);
    EXPECT_FLOAT_EQ(record->pose.theta_rad, 0.5f);
  }
}

}  // namespace
}  // namespace planner
