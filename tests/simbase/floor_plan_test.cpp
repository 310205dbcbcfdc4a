#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "floor_plan.h"

using basesim::FloorPlanResult;
using basesim::parseFloorPlan;

namespace {

FloorPlanResult parse(const std::string& text) {
  std::istringstream stream(text);
  return parseFloorPlan(stream, "plan");
}

}  // namespace

TEST(FloorPlan, readsStartWallsAndRectanglesIgnoringComments) {
  const auto result = parse(
      "# a room\n"
      "start 1.5 -2 90   # facing +y\n"
      "\n"
      "wall 0 0 4 0\n"
      "rect 1 1 2 3\n");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_DOUBLE_EQ(result.plan.start.x_m, 1.5);
  EXPECT_DOUBLE_EQ(result.plan.start.y_m, -2.0);
  EXPECT_NEAR(result.plan.start.heading_rad, M_PI / 2, 1e-12);
  ASSERT_EQ(result.plan.walls.size(), 5u);
  EXPECT_DOUBLE_EQ(result.plan.walls[0].to.x_m, 4.0);
  // The rectangle closes on itself: the last side ends where the first began.
  EXPECT_DOUBLE_EQ(result.plan.walls[4].to.x_m, 1.0);
  EXPECT_DOUBLE_EQ(result.plan.walls[4].to.y_m, 1.0);
  EXPECT_DOUBLE_EQ(result.plan.walls[3].from.x_m, 2.0);
  EXPECT_DOUBLE_EQ(result.plan.walls[3].from.y_m, 3.0);
  EXPECT_FALSE(result.plan.arrival);
  EXPECT_FALSE(result.plan.finish);
}

TEST(FloorPlan, namesTheRoutesArrivalAndFinishWhenItKnowsThem) {
  const auto result = parse("start 0 0 0\narrival 4.7 -3.4  # station\nfinish 0 0.1\n");
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_TRUE(result.plan.arrival);
  EXPECT_DOUBLE_EQ(result.plan.arrival->x_m, 4.7);
  EXPECT_DOUBLE_EQ(result.plan.arrival->y_m, -3.4);
  ASSERT_TRUE(result.plan.finish);
  EXPECT_DOUBLE_EQ(result.plan.finish->y_m, 0.1);
}

TEST(FloorPlan, errorsNameTheLineAndTheProblem) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"start 0 0 0\nwall 0 0 1\n", "plan:2: 'wall' needs x1_m y1_m x2_m y2_m"},
      {"start 0 0 0\nwall 0 0 1 1 5\n", "plan:2: 'wall' needs x1_m y1_m x2_m y2_m"},
      {"start 0 0 0\nwall 0 0 1 x\n", "plan:2: 'wall' needs x1_m y1_m x2_m y2_m"},
      {"start 0 0 0\nwall 0 0 1 nan\n", "plan:2: 'wall' needs x1_m y1_m x2_m y2_m"},
      {"start 0 0 0\nwall 1 1 1 1\n", "plan:2: 'wall' has zero length"},
      {"start 0 0 0\nrect 0 0 0 2\n", "plan:2: 'rect' has zero width or height"},
      {"start 0 0\n", "plan:1: 'start' needs x_m y_m heading_deg"},
      {"start 0 0 0\nstart 1 1 1\n", "plan:2: second 'start' line"},
      {"\nstart 0 0 0\ndoor 0 0 1 1\n", "plan:3: unknown keyword 'door'"},
      {"wall 0 0 1 1\n", "plan: no 'start' line"},
      {"start 0 0 0\narrival 1\n", "plan:2: 'arrival' needs x_m y_m"},
      {"start 0 0 0\nfinish 1 2 3\n", "plan:2: 'finish' needs x_m y_m"},
      {"start 0 0 0\nfinish 1 2\nfinish 1 2\n", "plan:3: second 'finish' line"},
  };
  for (const Case& c : cases) {
    const auto result = parse(c.text);
    EXPECT_FALSE(result.ok) << c.text;
    EXPECT_EQ(result.error, c.error) << c.text;
  }
}

TEST(FloorPlan, missingFileIsAnErrorNotAnException) {
  const auto result = basesim::loadFloorPlan("/nonexistent/dir/plan.txt");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "/nonexistent/dir/plan.txt: cannot open the floor plan file");
}

TEST(FloorPlan, shippedDefaultBuildingLoads) {
  const auto result = basesim::loadFloorPlan(DEFAULT_BUILDING_FILE);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_GE(result.plan.walls.size(), 4u);
  EXPECT_TRUE(result.plan.arrival);
  EXPECT_TRUE(result.plan.finish);
}
