#include "scene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hirosim {
namespace {

TEST(Scene, defaultSceneHoldsOneObjectOfEachClassWhereTheCoordinatorTakesThem) {
  const SceneParseResult result = loadSceneFile(DEFAULT_SCENE_FILE);
  ASSERT_TRUE(result.scene) << result.error;
  const Scene& scene = *result.scene;
  EXPECT_DOUBLE_EQ(scene.tableZ_m, 0.032);
  ASSERT_EQ(scene.objects.size(), 2u);
  EXPECT_EQ(scene.objects[0].classId, 0);
  EXPECT_DOUBLE_EQ(scene.objects[0].width_m, 0.03);
  EXPECT_DOUBLE_EQ(scene.objects[0].y_m, 0.1);
  EXPECT_EQ(scene.objects[1].classId, 1);
  EXPECT_DOUBLE_EQ(scene.objects[1].width_m, 0.05);
  EXPECT_DOUBLE_EQ(scene.objects[1].y_m, -0.1);
  // The receiving pallet's place (0.47, 0, 0.015) turned by 100 degrees.
  const double turn = 100.0 * M_PI / 180.0;
  EXPECT_NEAR(scene.tray.x_m, 0.47 * std::cos(turn), 1e-6);
  EXPECT_NEAR(scene.tray.y_m, 0.47 * std::sin(turn), 1e-6);
  EXPECT_DOUBLE_EQ(scene.tray.topZ_m, 0.015);
  EXPECT_NEAR(scene.tray.yaw_rad, turn, 1e-12);
  EXPECT_DOUBLE_EQ(scene.tray.width_m, 0.3);
  EXPECT_FALSE(scene.noise);
}

TEST(Scene, commentsBlankLinesAndNoiseAreRead) {
  const auto result = parseScene(
      "# cell\n\ntable 0.1  # top\ntray 0 0.4 0.02 90 0.2 0.3 0.01 0.05\n"
      "object 3 0.02 0.04 0.05 0.3 0 45\nnoise 0.001 2 7\n");
  ASSERT_TRUE(result.scene) << result.error;
  EXPECT_EQ(result.scene->objects.at(0).classId, 3);
  EXPECT_NEAR(result.scene->objects.at(0).yaw_rad, M_PI / 4, 1e-12);
  ASSERT_TRUE(result.scene->noise);
  EXPECT_EQ(result.scene->noise->seed, 7u);
}

TEST(Scene, errorsNameTheLine) {
  const char* const tray = "tray 0 0.4 0.02 90 0.2 0.3 0.01 0.05\n";
  EXPECT_EQ(parseScene(std::string("table 0.1\n") + tray + "object 0 0.02 0.04\n").error,
            "scene line 3: 'object' needs 7 numbers: class_id depth_m width_m height_m x_m y_m "
            "yaw_deg");
  EXPECT_EQ(parseScene(std::string("table 0.1\n") + tray + "chair 1\n").error,
            "scene line 3: unknown keyword 'chair'");
  EXPECT_EQ(
      parseScene(std::string("table 0.1\n") + tray + "object 0 0.02 -0.04 0.05 0 0 0\n").error,
      "scene line 3: object depth, width and height must be positive");
  EXPECT_EQ(
      parseScene(std::string("table 0.1\n") + tray + "object 1.5 0.02 0.04 0.05 0 0 0\n").error,
      "scene line 3: class_id must be a whole number >= 0");
  EXPECT_EQ(parseScene("table 0.1\ntable 0.2\n").error, "scene line 2: a second 'table' line");
  const std::string tableNeeds =
      "'table' needs 1 number: top_z_m, or 5: top_z_m min_x_m max_x_m min_y_m max_y_m";
  EXPECT_EQ(parseScene("table nan\n").error, "scene line 1: " + tableNeeds);
  EXPECT_EQ(parseScene("table 0.1 0.2 0.3\n").error, "scene line 1: " + tableNeeds);
  EXPECT_EQ(parseScene("table 0.1 0.5 0.2 -0.3 0.3\n").error,
            "scene line 1: the table's min_x_m and min_y_m must lie below max_x_m, max_y_m");
  EXPECT_EQ(parseScene(std::string("table 0.1\n") + tray + "slot 0 0 0.04\n").error,
            "scene line 3: 'slot' needs 4 numbers: class_id slot along_m across_m");
  EXPECT_EQ(parseScene(std::string("table 0.1\n") + tray + "slot 0 -1 0.04 0\n").error,
            "scene line 3: class_id and slot must be whole numbers >= 0");
  EXPECT_EQ(
      parseScene(std::string("table 0.1\n") + tray + "putdown 0 0 0 0\nputdown 0 0 0 0\n").error,
      "scene line 4: a second 'putdown' line");
  EXPECT_EQ(parseScene("table 0.1\n").error, "scene: no 'tray' line");
}

TEST(Scene, tableExtentSlotsAndPutDownPlaceAreRead) {
  const auto result = parseScene(
      "table 0.03 0.2 0.6 -0.3 0.3\ntray 0 0.4 0.02 90 0.2 0.3 0.01 0.05\n"
      "slot 1 0 0.04 -0.03\nputdown 0.47 0 0.032 90\n");
  ASSERT_TRUE(result.scene) << result.error;
  const Scene& scene = *result.scene;
  const TableExtent extent = tableExtent(scene);
  EXPECT_DOUBLE_EQ(extent.minX_m, 0.2);
  EXPECT_DOUBLE_EQ(extent.maxY_m, 0.3);
  ASSERT_EQ(scene.slots.size(), 1u);
  EXPECT_EQ(scene.slots[0].classId, 1);
  EXPECT_EQ(scene.slots[0].slot, 0);
  EXPECT_DOUBLE_EQ(scene.slots[0].across_m, -0.03);
  ASSERT_TRUE(scene.putDown);
  EXPECT_DOUBLE_EQ(scene.putDown->topZ_m, 0.032);
  EXPECT_NEAR(scene.putDown->yaw_rad, M_PI / 2, 1e-12);
}

TEST(Scene, withoutItsExtentTheTableSpansTheObjectsWithAMargin) {
  const auto result = parseScene(
      "table 0.03\ntray 0 0.4 0.02 90 0.2 0.3 0.01 0.05\n"
      "object 0 0.03 0.04 0.06 0.35 0.1 0\nobject 1 0.03 0.04 0.06 0.30 -0.1 0\n");
  ASSERT_TRUE(result.scene) << result.error;
  const TableExtent extent = tableExtent(*result.scene);
  const double reach_m = 0.025 + kTableMargin_m;  // half the 30 x 40 mm diagonal, and the margin
  EXPECT_NEAR(extent.minX_m, 0.30 - reach_m, 1e-12);
  EXPECT_NEAR(extent.maxX_m, 0.35 + reach_m, 1e-12);
  EXPECT_NEAR(extent.minY_m, -0.1 - reach_m, 1e-12);
  EXPECT_NEAR(extent.maxY_m, 0.1 + reach_m, 1e-12);
  EXPECT_TRUE(result.scene->slots.empty());
  EXPECT_FALSE(result.scene->putDown);

  // The tray put down at x 0.6 (0.2 x 0.3 m: half diagonal 0.180 m) widens it.
  const auto withPutDown = parseScene(
      "table 0.03\ntray 0 0.4 0.02 90 0.2 0.3 0.01 0.05\n"
      "object 0 0.03 0.04 0.06 0.35 0.1 0\nputdown 0.6 0 0.03 0\n");
  ASSERT_TRUE(withPutDown.scene) << withPutDown.error;
  const TableExtent wider = tableExtent(*withPutDown.scene);
  const double trayReach_m = std::hypot(0.2, 0.3) / 2.0 + kTableMargin_m;
  EXPECT_NEAR(wider.maxX_m, 0.6 + trayReach_m, 1e-12);
  EXPECT_NEAR(wider.minY_m, -trayReach_m, 1e-12);
  EXPECT_NEAR(wider.minX_m, 0.35 - reach_m, 1e-12);
}

TEST(Scene, missingFileIsReported) {
  const auto result = loadSceneFile("/nonexistent/cell.scene");
  EXPECT_FALSE(result.scene);
  EXPECT_EQ(result.error, "cannot open scene file /nonexistent/cell.scene");
}

}  // namespace
}  // namespace hirosim
