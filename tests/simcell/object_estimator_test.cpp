#include "object_estimator.h"

#include <gtest/gtest.h>

#include "cell_fixtures.h"

namespace hirosim {
namespace {

const geometry::Pose6 kWorld{0.35, -0.096, 0.032, 0.0, 0.0, 0.3};

std::vector<ObjectPlace> places() {
  return CellWorld(testing::testScene(), testing::testAxes()).objectPlaces();
}

TEST(ObjectEstimator, reportsTheFirstObjectOnTheTableInTheRobotFrame) {
  ObjectEstimator estimator(std::nullopt);
  const auto estimate = estimator.estimate(places(), kWorld);
  ASSERT_TRUE(estimate);
  EXPECT_EQ(estimate->classId, 0);
  EXPECT_DOUBLE_EQ(estimate->size_m[1], 0.03);
  EXPECT_DOUBLE_EQ(estimate->size_m[2], testing::kObjectHeight_m);
  EXPECT_NEAR(estimate->pose.x_m, 0.35, 1e-12);
  EXPECT_NEAR(estimate->pose.y_m, 0.1, 1e-12);
  EXPECT_NEAR(estimate->pose.z_m, testing::kTableZ_m, 1e-12);
  EXPECT_NEAR(estimate->pose.yaw_rad, 0.0, 1e-12);
}

TEST(ObjectEstimator, runsOutAfterTheLastObjectLeftTheTable) {
  ObjectEstimator estimator(std::nullopt);
  std::vector<ObjectPlace> cell = places();
  cell[0].support = Support::Tray;
  const auto second = estimator.estimate(cell, kWorld);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->classId, 1);
  cell[1].support = Support::Hand;
  EXPECT_FALSE(estimator.estimate(cell, kWorld));
  EXPECT_FALSE(estimator.estimate(cell, kWorld));
}

TEST(ObjectEstimator, nonFiniteWorldPoseGivesNoResult) {
  ObjectEstimator estimator(std::nullopt);
  geometry::Pose6 world = kWorld;
  world.yaw_rad = std::nan("");
  EXPECT_FALSE(estimator.estimate(places(), world));
}

TEST(ObjectEstimator, seededNoiseIsRepeatableAndSmall) {
  const EstimatorNoise noise{0.002, 1.0 * M_PI / 180.0, 42};
  ObjectEstimator first(noise);
  ObjectEstimator second(noise);
  const auto a = first.estimate(places(), kWorld);
  const auto b = second.estimate(places(), kWorld);
  ASSERT_TRUE(a && b);
  EXPECT_DOUBLE_EQ(a->pose.x_m, b->pose.x_m);
  EXPECT_DOUBLE_EQ(a->pose.yaw_rad, b->pose.yaw_rad);
  EXPECT_NE(a->pose.x_m, 0.35);
  EXPECT_NEAR(a->pose.x_m, 0.35, 0.02);
  EXPECT_NEAR(a->pose.y_m, 0.1, 0.02);
  EXPECT_NEAR(a->pose.z_m, testing::kTableZ_m, 1e-12);
}

}  // namespace
}  // namespace hirosim
