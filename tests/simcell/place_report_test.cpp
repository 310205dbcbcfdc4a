#include "place_report.h"

#include <gtest/gtest.h>

#include <cmath>

namespace hirosim {
namespace {

ObjectPlace heldObject(double yaw_rad) {
  ObjectPlace place;
  place.index = 0;
  place.support = Support::Hand;
  place.holder = Side::Left;
  place.x_m = 0.35;
  place.y_m = 0.1;
  place.z_m = 0.032;
  place.yaw_rad = yaw_rad;
  return place;
}

TEST(PlaceReport, oneLinePerObjectThenTheTray) {
  const std::vector<std::string> lines =
      describePlaces({heldObject(M_PI / 4)}, {-0.082, 0.463, 0.015, 100.0 * M_PI / 180.0, true});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "object 0 (class 0): in left hand at (0.350, 0.100, 0.032) m, yaw 45.0 deg");
  EXPECT_EQ(lines[1], "tray: lifted at (-0.082, 0.463, 0.015) m, yaw 100.0 deg");
}

TEST(PlaceReport, aYawARoundingErrorBelowZeroPrintsAsZero) {
  const std::vector<std::string> lines = describePlaces({heldObject(-1e-17)}, {});
  EXPECT_EQ(lines[0], "object 0 (class 0): in left hand at (0.350, 0.100, 0.032) m, yaw 0.0 deg");
  EXPECT_EQ(describePlaces({heldObject(-0.1 * M_PI / 180.0)}, {})[0],
            "object 0 (class 0): in left hand at (0.350, 0.100, 0.032) m, yaw -0.1 deg");
}

}  // namespace
}  // namespace hirosim
