// The slots and the put-down place that the default scene shows are where the coordinator's
// default configuration puts the objects and the tray.
#include <gtest/gtest.h>

#include <cmath>

#include "cell_view.h"
#include "scene.h"
#include "tray_layout.h"

namespace scene_views {
namespace {

constexpr double kMmPerM = 1000.0;

TEST(DefaultScene, slotsAndPutDownPlaceAreTheCoordinatorsDefaults) {
  const hirosim::SceneParseResult loaded = hirosim::loadSceneFile(DEFAULT_SCENE_FILE);
  ASSERT_TRUE(loaded.scene) << loaded.error;
  const hirosim::Scene& scene = *loaded.scene;
  const pickplace::CellConfig config = pickplace::defaultCellConfig();

  const TrayPose tray{scene.tray.x_m * kMmPerM, scene.tray.y_m * kMmPerM,
                      scene.tray.topZ_m * kMmPerM, scene.tray.yaw_rad};
  ASSERT_EQ(scene.slots.size(), 4u);
  for (const hirosim::SceneSlot& slot : scene.slots) {
    const auto expected = demo_summary::slotAtReceivingPlace(config, slot.classId, slot.slot);
    ASSERT_TRUE(expected) << "class " << slot.classId << " slot " << slot.slot;
    const SlotCentre shown = slotCentre(
        tray, {slot.classId, slot.slot, slot.along_m * kMmPerM, slot.across_m * kMmPerM});
    EXPECT_NEAR(shown.x_mm, expected->x_m * kMmPerM, 0.01);
    EXPECT_NEAR(shown.y_mm, expected->y_m * kMmPerM, 0.01);
  }

  ASSERT_TRUE(scene.putDown);
  const demo_summary::TrayPose putDown = demo_summary::putDownTrayPose(config);
  EXPECT_NEAR(scene.putDown->x_m, putDown.topCentre.x_m, 1e-6);
  EXPECT_NEAR(scene.putDown->y_m, putDown.topCentre.y_m, 1e-6);
  EXPECT_NEAR(scene.putDown->topZ_m, putDown.topCentre.z_m, 1e-6);
  EXPECT_NEAR(std::remainder(scene.putDown->yaw_rad - putDown.yaw_rad, 2 * M_PI), 0.0, 1e-9);
}

}  // namespace
}  // namespace scene_views
