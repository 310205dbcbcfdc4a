// The shared geometry: roll-pitch-yaw both ways, poses and frames.
#include <cmath>

#include <gtest/gtest.h>

#include "gateway/geometry/frame.h"
#include "gateway/geometry/roll_pitch_yaw.h"

namespace {

using geometry::RollPitchYaw;
using geometry::Rotation;

constexpr double kPi = 3.141592653589793;

TEST(RollPitchYaw, matchesTheAxisProductAndConvertsBack) {
  const RollPitchYaw angles{0.3, -0.7, 1.9};
  const Rotation expected = geometry::rotationZ(angles.yaw_rad) *
                            geometry::rotationY(angles.pitch_rad) *
                            geometry::rotationX(angles.roll_rad);
  const Rotation actual = geometry::rotationFromRollPitchYaw(angles);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual(r, c), expected(r, c), 1e-15);
  }
  const RollPitchYaw back = geometry::rollPitchYawFromRotation(actual);
  EXPECT_NEAR(back.roll_rad, 0.3, 1e-12);
  EXPECT_NEAR(back.pitch_rad, -0.7, 1e-12);
  EXPECT_NEAR(back.yaw_rad, 1.9, 1e-12);
}

TEST(RollPitchYaw, handDownKeepsItsTurnAsRoll) {
  const Rotation down = geometry::rotationFromRollPitchYaw({0.0, -kPi / 2, 0.0});
  EXPECT_NEAR(down(2, 0), 1.0, 1e-15);  // hand x axis up, approach (-x) down
  const RollPitchYaw back =
      geometry::rollPitchYawFromRotation(geometry::rotationFromRollPitchYaw({0.0, -kPi / 2, 0.8}));
  EXPECT_NEAR(back.roll_rad, 0.8, 1e-9);
  EXPECT_NEAR(back.yaw_rad, 0.0, 1e-12);
}

TEST(RollPitchYaw, handUpKeepsItsTurnAsRollToo) {
  const RollPitchYaw back = geometry::rollPitchYawFromRotation(
      geometry::rotationZ(0.5) * geometry::rotationY(kPi / 2) * geometry::rotationX(0.2));
  EXPECT_NEAR(back.pitch_rad, kPi / 2, 1e-9);
  EXPECT_NEAR(back.yaw_rad, 0.0, 1e-12);
  // Rz(0.5) * Ry(pi/2) = Ry(pi/2) * Rx(-0.5): the same hand as roll 0.2 - 0.5.
  EXPECT_NEAR(back.roll_rad, 0.2 - 0.5, 1e-9);
}

TEST(Frame, poseToFrameAndBack) {
  const geometry::Pose6 pose{0.35, -0.1, 0.2, 0.4, -0.3, 1.2};
  const geometry::Frame frame = geometry::frameFromPose(pose);
  EXPECT_DOUBLE_EQ(frame.translation().y(), -0.1);
  const geometry::Pose6 back = geometry::poseFromFrame(frame);
  EXPECT_DOUBLE_EQ(back.x_m, 0.35);
  EXPECT_DOUBLE_EQ(back.z_m, 0.2);
  EXPECT_NEAR(back.roll_rad, 0.4, 1e-12);
  EXPECT_NEAR(back.pitch_rad, -0.3, 1e-12);
  EXPECT_NEAR(back.yaw_rad, 1.2, 1e-12);
  EXPECT_NEAR(geometry::headingOf(frame), 1.2, 1e-12);
}

TEST(Frame, composedWithItsInverseLeavesAPointInPlace) {
  const geometry::Frame tray =
      geometry::frameOf(geometry::rotationZ(0.7), geometry::Vec3{0.1, 0.45, 0.03});
  const geometry::Vec3 corner{0.15, -0.02, 0.0};
  const geometry::Vec3 inCell = tray * corner;
  EXPECT_NEAR(inCell.x(), 0.1 + 0.15 * std::cos(0.7) + 0.02 * std::sin(0.7), 1e-15);
  EXPECT_NEAR(inCell.z(), 0.03, 1e-15);
  EXPECT_LT(((tray.inverse() * tray) * corner - corner).norm(), 1e-15);
  EXPECT_NEAR(geometry::headingOf(tray * geometry::frameOf(geometry::rotationZ(0.2), {})), 0.9,
              1e-15);
}

}  // namespace
