#include "tray_layout.h"

#include <gtest/gtest.h>

namespace demo_summary {
namespace {

constexpr double kTolerance_m = 1e-9;

void expectPoint(const Point3& actual, double x_m, double y_m, double z_m) {
  EXPECT_NEAR(actual.x_m, x_m, kTolerance_m);
  EXPECT_NEAR(actual.y_m, y_m, kTolerance_m);
  EXPECT_NEAR(actual.z_m, z_m, kTolerance_m);
}

TEST(TrayLayout, defaultReceivingPlaceIsThePalletTurnedToItsDirection) {
  const TrayPose pose = receivingTrayPose(TrayConfig{});
  // 0.47 m turned by 100 degrees.
  expectPoint(pose.topCentre, -0.0816153, 0.4628599, 0.015);
  EXPECT_NEAR(pose.topCentre.x_m, -0.0816153, 1e-6);
}

TEST(TrayLayout, defaultPutDownPlaceFacesForward) {
  const TrayPose pose = putDownTrayPose(TrayConfig{});
  expectPoint(pose.topCentre, 0.47, 0.0, 0.032);
  EXPECT_DOUBLE_EQ(pose.yaw_rad, 0.0);
}

TEST(TrayLayout, slotsAfterPutDownKeepTheirOffsetsOnTheTray) {
  const TrayConfig config;
  expectPoint(*slotAfterPutDown(config, 0, 0), 0.51, 0.03975, 0.039);
  expectPoint(*slotAfterPutDown(config, 0, 1), 0.43, 0.03975, 0.039);
  expectPoint(*slotAfterPutDown(config, 1, 0), 0.51, -0.03975, 0.039);
  expectPoint(*slotAfterPutDown(config, 1, 1), 0.43, -0.03975, 0.039);
}

TEST(TrayLayout, slotAtReceivingPlaceIgnoresThePalletsY) {
  TrayConfig config;
  config.yPalletPlacedB_m = 0.05;
  config.directionPalletPlacedR_deg = 90.0;
  // (0.51, 0.03975, 0.022) in B turned by 90 degrees.
  expectPoint(*slotAtReceivingPlace(config, 0, 0), -0.03975, 0.51, 0.022);
  // The same slot lies 0.05 m towards -y of the tray's centre, wherever the tray goes.
  expectPoint(*slotAfterPutDown(config, 0, 0), 0.51, 0.03975 - 0.05, 0.039);
}

TEST(TrayLayout, putDownDirectionTurnsTheSlots) {
  TrayConfig config;
  config.directionPalletToBePlacedR_deg = 180.0;
  expectPoint(*slotAfterPutDown(config, 1, 0), -0.51, 0.03975, 0.039);
}

TEST(TrayLayout, noSlotOutsideTheTable) {
  const TrayConfig config;
  EXPECT_FALSE(slotAfterPutDown(config, 2, 0));
  EXPECT_FALSE(slotAfterPutDown(config, -1, 0));
  EXPECT_FALSE(slotAfterPutDown(config, 0, 2));
  EXPECT_FALSE(slotAtReceivingPlace(config, 1, -1));
}

std::map<std::string, std::string> coordinatorDefaults() {
  return {{"xPalletPlacedB_m", "+0.470"},       {"yPalletPlacedB_m", "+0.000"},
          {"zPalletPlacedB_m", "+0.015"},       {"directionPalletPlacedR_deg", "100.0"},
          {"xPalletToBePlacedB_m", "+0.470"},   {"yPalletToBePlacedB_m", "+0.000"},
          {"zPalletToBePlacedB_m", "+0.032"},   {"directionPalletToBePlacedR_deg", "0.0"},
          {"speedBase", "5.0"}};
}

TEST(TrayConfigFrom, readsTheCoordinatorsValues) {
  auto values = coordinatorDefaults();
  values["zPalletToBePlacedB_m"] = "0.1 ";
  const TrayConfigParse parse = trayConfigFrom(values);
  ASSERT_TRUE(parse.config) << parse.error;
  EXPECT_DOUBLE_EQ(parse.config->directionPalletPlacedR_deg, 100.0);
  EXPECT_DOUBLE_EQ(parse.config->zPalletToBePlacedB_m, 0.1);
}

TEST(TrayConfigFrom, namesAMissingValue) {
  auto values = coordinatorDefaults();
  values.erase("yPalletToBePlacedB_m");
  const TrayConfigParse parse = trayConfigFrom(values);
  EXPECT_FALSE(parse.config);
  EXPECT_EQ(parse.error, "no value for yPalletToBePlacedB_m");
}

TEST(TrayConfigFrom, refusesTextThatIsNotAFiniteNumber) {
  for (const char* bad : {"", "0.47m", "abc", "nan", "inf"}) {
    auto values = coordinatorDefaults();
    values["xPalletPlacedB_m"] = bad;
    const TrayConfigParse parse = trayConfigFrom(values);
    EXPECT_FALSE(parse.config) << bad;
    EXPECT_NE(parse.error.find("xPalletPlacedB_m is not a number"), std::string::npos) << bad;
  }
}

}  // namespace
}  // namespace demo_summary
