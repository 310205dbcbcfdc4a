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
  const TrayPose pose = receivingTrayPose(pickplace::defaultCellConfig());
  // 0.47 m turned by 100 degrees.
  EXPECT_NEAR(pose.topCentre.x_m, -0.0816153, 1e-6);
  EXPECT_NEAR(pose.topCentre.y_m, 0.4628599, 1e-6);
  EXPECT_DOUBLE_EQ(pose.topCentre.z_m, 0.015);
}

TEST(TrayLayout, defaultPutDownPlaceFacesForward) {
  const TrayPose pose = putDownTrayPose(pickplace::defaultCellConfig());
  expectPoint(pose.topCentre, 0.47, 0.0, 0.032);
  EXPECT_DOUBLE_EQ(pose.yaw_rad, 0.0);
}

TEST(TrayLayout, slotsAfterPutDownKeepTheirOffsetsOnTheTray) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  expectPoint(*slotAfterPutDown(config, 0, 0), 0.51, 0.03975, 0.039);
  expectPoint(*slotAfterPutDown(config, 0, 1), 0.43, 0.03975, 0.039);
  expectPoint(*slotAfterPutDown(config, 1, 0), 0.51, -0.03975, 0.039);
  expectPoint(*slotAfterPutDown(config, 1, 1), 0.43, -0.03975, 0.039);
}

TEST(TrayLayout, slotAtReceivingPlaceIgnoresThePalletsY) {
  pickplace::CellConfig config = pickplace::defaultCellConfig();
  config.yPalletPlacedB_m = 0.05;
  config.directionPalletPlacedR_deg = 90.0;
  // (0.51, 0.03975, 0.022) in B turned by 90 degrees.
  expectPoint(*slotAtReceivingPlace(config, 0, 0), -0.03975, 0.51, 0.022);
  // The same slot lies 0.05 m towards -y of the tray's centre, wherever the tray goes.
  expectPoint(*slotAfterPutDown(config, 0, 0), 0.51, 0.03975 - 0.05, 0.039);
}

TEST(TrayLayout, putDownDirectionTurnsTheSlots) {
  pickplace::CellConfig config = pickplace::defaultCellConfig();
  config.directionPalletToBePlacedR_deg = 180.0;
  expectPoint(*slotAfterPutDown(config, 1, 0), -0.51, 0.03975, 0.039);
}

TEST(TrayLayout, noSlotOutsideTheTable) {
  const pickplace::CellConfig config = pickplace::defaultCellConfig();
  EXPECT_FALSE(slotAfterPutDown(config, 2, 0));
  EXPECT_FALSE(slotAfterPutDown(config, -1, 0));
  EXPECT_FALSE(slotAfterPutDown(config, 0, 2));
  EXPECT_FALSE(slotAtReceivingPlace(config, 1, -1));
}

// What the coordinator's active configuration set holds when nothing was changed.
std::map<std::string, std::string> coordinatorDefaults() {
  std::map<std::string, std::string> values;
  for (const auto& parameter : pickplace::kCellParameters) {
    values[parameter.name] = parameter.defaultText;
  }
  return values;
}

TEST(CellConfigFrom, readsTheCoordinatorsValues) {
  auto values = coordinatorDefaults();
  values["zPalletToBePlacedB_m"] = "0.1 ";
  const CellConfigParse parse = cellConfigFrom(values);
  ASSERT_TRUE(parse.config) << parse.error;
  EXPECT_DOUBLE_EQ(parse.config->directionPalletPlacedR_deg, 100.0);
  EXPECT_DOUBLE_EQ(parse.config->zPalletToBePlacedB_m, 0.1);
}

TEST(CellConfigFrom, namesAMissingValue) {
  auto values = coordinatorDefaults();
  values.erase("yPalletToBePlacedB_m");
  const CellConfigParse parse = cellConfigFrom(values);
  EXPECT_FALSE(parse.config);
  EXPECT_EQ(parse.error, "no value for yPalletToBePlacedB_m");
}

TEST(CellConfigFrom, serialNumberMustBeAnInteger) {
  auto values = coordinatorDefaults();
  values["serialNo"] = "11";
  ASSERT_TRUE(cellConfigFrom(values).config);
  EXPECT_EQ(cellConfigFrom(values).config->serialNo, 11);
  values["serialNo"] = "3.5";
  EXPECT_EQ(cellConfigFrom(values).error, "serialNo is not a number: \"3.5\"");
}

TEST(CellConfigFrom, refusesTextThatIsNotAFiniteNumber) {
  for (const char* bad : {"", "0.47m", "abc", "nan", "inf"}) {
    auto values = coordinatorDefaults();
    values["xPalletPlacedB_m"] = bad;
    const CellConfigParse parse = cellConfigFrom(values);
    EXPECT_FALSE(parse.config) << bad;
    EXPECT_NE(parse.error.find("xPalletPlacedB_m is not a number"), std::string::npos) << bad;
  }
}

}  // namespace
}  // namespace demo_summary
