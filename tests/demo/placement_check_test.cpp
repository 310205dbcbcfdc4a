#include "placement_check.h"

#include <gtest/gtest.h>

namespace demo_summary {
namespace {

// The tray's surface lies the slot height below the slots, where a released object settles.
ObjectFinal settledInSlot(int index, long classId, int slot, const pickplace::CellConfig& config) {
  Point3 at = *slotAfterPutDown(config, static_cast<int>(classId), slot);
  at.z_m -= pickplace::kSlotHeight_m;
  return {index, classId, true, at};
}

TrayFinal trayPutDown(const pickplace::CellConfig& config) {
  const TrayPose pose = putDownTrayPose(config);
  return {pose.topCentre, pose.yaw_rad, false};
}

TEST(CheckPlacement, objectsSettledInTheirSlotsAndTrayPutDownPass) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  const auto report =
      checkPlacement(config, {settledInSlot(0, 0, 0, config), settledInSlot(1, 1, 0, config)},
                     trayPutDown(config));
  EXPECT_TRUE(report.ok);
  ASSERT_EQ(report.objects.size(), 2u);
  EXPECT_NEAR(report.objects[0].across_mm, 0.0, 1e-6);
  EXPECT_NEAR(report.objects[0].up_mm, -7.0, 1e-6);
  EXPECT_NEAR(report.tray.off_mm, 0.0, 1e-6);
}

TEST(CheckPlacement, secondObjectOfAClassBelongsInTheSecondSlot) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  // Both in slot 0: the second is 80 mm away from the slot it belongs in.
  const auto report =
      checkPlacement(config, {settledInSlot(0, 0, 0, config), settledInSlot(1, 0, 0, config)},
                     trayPutDown(config));
  EXPECT_FALSE(report.ok);
  EXPECT_TRUE(report.objects[0].ok);
  EXPECT_FALSE(report.objects[1].ok);
  EXPECT_NEAR(report.objects[1].across_mm, 80.0, 1e-6);

  const auto right =
      checkPlacement(config, {settledInSlot(0, 0, 0, config), settledInSlot(1, 0, 1, config)},
                     trayPutDown(config));
  EXPECT_TRUE(right.ok);
}

TEST(CheckPlacement, toleranceIsTenMillimetresAcross) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  ObjectFinal object = settledInSlot(0, 1, 0, config);
  object.baseCentre.x_m += 0.006;
  object.baseCentre.y_m += 0.0079;  // just under 10 mm across: still in its slot
  EXPECT_TRUE(checkPlacement(config, {object}, trayPutDown(config)).ok);
  object.baseCentre.y_m += 0.0002;
  const auto report = checkPlacement(config, {object}, trayPutDown(config));
  EXPECT_FALSE(report.ok);
  EXPECT_GT(report.objects[0].across_mm, 10.0);
}

TEST(CheckPlacement, objectFloatingAboveItsSlotIsWrong) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  ObjectFinal object = settledInSlot(0, 0, 0, config);
  object.baseCentre.z_m += 0.018;  // 11 mm above the slot
  EXPECT_FALSE(checkPlacement(config, {object}, trayPutDown(config)).ok);
}

TEST(CheckPlacement, objectNotOnTheTrayIsWrongEvenAtItsSlot) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  ObjectFinal object = settledInSlot(0, 0, 0, config);
  object.onTray = false;
  EXPECT_FALSE(checkPlacement(config, {object}, trayPutDown(config)).ok);
}

TEST(CheckPlacement, objectOfAClassWithoutSlotsIsWrong) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  ObjectFinal object = settledInSlot(0, 0, 0, config);
  object.classId = 2;
  const auto report = checkPlacement(config, {object}, trayPutDown(config));
  EXPECT_FALSE(report.ok);
  EXPECT_FALSE(report.objects[0].slot);
}

TEST(CheckPlacement, thirdObjectOfAClassHasNoSlot) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  const auto report =
      checkPlacement(config,
                     {settledInSlot(0, 0, 0, config), settledInSlot(1, 0, 1, config),
                      settledInSlot(2, 0, 1, config)},
                     trayPutDown(config));
  EXPECT_FALSE(report.ok);
  EXPECT_FALSE(report.objects[2].slot);
}

TEST(CheckPlacement, trayOffItsPlaceOrStillHeldIsWrong) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  const std::vector<ObjectFinal> objects{settledInSlot(0, 0, 0, config)};
  TrayFinal tray = trayPutDown(config);
  tray.topCentre.z_m += 0.011;
  auto report = checkPlacement(config, objects, tray);
  EXPECT_FALSE(report.ok);
  EXPECT_NEAR(report.tray.off_mm, 11.0, 1e-6);

  tray = trayPutDown(config);
  tray.lifted = true;
  EXPECT_FALSE(checkPlacement(config, objects, tray).ok);
}

TEST(CheckPlacement, trayYawOffsetIsWrappedToHalfATurn) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  TrayFinal tray = trayPutDown(config);
  tray.yaw_rad = 2.0 * 3.14159265358979323846 - 0.1;
  const auto report = checkPlacement(config, {settledInSlot(0, 0, 0, config)}, tray);
  EXPECT_NEAR(report.tray.yawOff_deg, -5.729578, 1e-5);
}

TEST(CheckPlacement, noObjectsIsNotASuccess) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  EXPECT_FALSE(checkPlacement(config, {}, trayPutDown(config)).ok);
}

}  // namespace
}  // namespace demo_summary
