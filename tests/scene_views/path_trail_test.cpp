// The path collected during a run stays bounded and spans the whole run.
#include "path_trail.h"

#include <gtest/gtest.h>

namespace scene_views {
namespace {

TEST(PathTrail, skipsPosesCloserThanTheSpacing) {
  PathTrail trail(0.1, 100);
  trail.add({0.0, 0.0});
  trail.add({0.05, 0.0});
  trail.add({0.1, 0.0});
  trail.add({0.1, 0.09});
  trail.add({0.1, 0.2});
  ASSERT_EQ(trail.points().size(), 3u);
  EXPECT_DOUBLE_EQ(trail.points()[1].x_m, 0.1);
  EXPECT_DOUBLE_EQ(trail.points()[2].y_m, 0.2);
}

TEST(PathTrail, aLongRunStaysWithinCapacityAndKeepsItsEnds) {
  PathTrail trail(0.01, 50);
  for (int i = 0; i <= 1000; ++i) trail.add({i * 0.01, 0.0});
  const auto& points = trail.points();
  EXPECT_LE(points.size(), 50u);
  EXPECT_GE(points.size(), 25u);
  EXPECT_DOUBLE_EQ(points.front().x_m, 0.0);
  EXPECT_NEAR(points.back().x_m, 10.0, trail.spacing_m());
  EXPECT_GT(trail.spacing_m(), 0.01);
  for (std::size_t i = 1; i < points.size(); ++i) EXPECT_GT(points[i].x_m, points[i - 1].x_m);
}

TEST(PathTrail, clearStartsANewTrailAtTheFirstSpacing) {
  PathTrail trail(0.01, 4);
  for (int i = 0; i < 10; ++i) trail.add({i * 0.01, 0.0});
  ASSERT_GT(trail.spacing_m(), 0.01);
  trail.clear();
  EXPECT_TRUE(trail.points().empty());
  EXPECT_DOUBLE_EQ(trail.spacing_m(), 0.01);
  trail.add({1.0, 1.0});
  trail.add({1.0, 1.015});
  EXPECT_EQ(trail.points().size(), 2u);
}

TEST(PathTrail, lengthRunsAlongThePointsKept) {
  PathTrail trail(0.01, 100);
  EXPECT_DOUBLE_EQ(trail.length_m(), 0.0);
  trail.add({0.0, 0.0});
  trail.add({3.0, 0.0});
  trail.add({3.0, 4.0});
  EXPECT_DOUBLE_EQ(trail.length_m(), 7.0);
}

}  // namespace
}  // namespace scene_views
