#include <gtest/gtest.h>

#include <cmath>

#include "angles.h"
#include "finger_geometry.h"
#include "planning_geometry.h"

namespace pickplace {
namespace {

TEST(FingerAngles, fingersAreStraightAt38mm) {
  const auto angles = fingerAnglesFor(38.0, 0.0);
  ASSERT_TRUE(angles);
  for (double angle : *angles) {
    EXPECT_NEAR(angle, 0.0, 1e-12);
  }
}

TEST(FingerAngles, backlashClosesOnlyTheFingertipJoints) {
  const double backlash_rad = degToRad(8.0);
  const auto angles = fingerAnglesFor(0.0, backlash_rad);
  ASSERT_TRUE(angles);
  const double a = kPi / 2.0 - std::acos(-19.0 / 41.9);
  EXPECT_NEAR(a, -0.471, 1e-3);
  EXPECT_DOUBLE_EQ((*angles)[0], a);
  EXPECT_DOUBLE_EQ((*angles)[1], -a - backlash_rad);
  EXPECT_DOUBLE_EQ((*angles)[2], -a);
  EXPECT_DOUBLE_EQ((*angles)[3], a + backlash_rad);
}

TEST(FingerAngles, widestOpeningIsAQuarterTurnNotNaN) {
  const auto angles = fingerAnglesFor(121.8, 0.0);
  ASSERT_TRUE(angles);
  EXPECT_NEAR((*angles)[0], kPi / 2.0, 1e-6);
}

TEST(FingerAngles, openingsOutsideTheHandFail) {
  EXPECT_FALSE(fingerAnglesFor(-0.01, 0.0));
  EXPECT_FALSE(fingerAnglesFor(121.81, 0.0));
}

TEST(FingertipDepth, closedAndThirtyMillimetres) {
  EXPECT_NEAR(*fingertipDepth(0.0), 112.34, 0.01);
  EXPECT_NEAR(*fingertipDepth(30.0), 116.7, 0.01);
  EXPECT_FALSE(fingertipDepth(-1.0));
  EXPECT_FALSE(fingertipDepth(122.0));
}

TEST(HandOffset, thirtyMillimetreObjectAndLongHandUnit) {
  EXPECT_NEAR(*objectHandOffset_m(0.03, 3), 0.0967, 1e-4);
  EXPECT_NEAR(*objectHandOffset_m(0.03, 11) - *objectHandOffset_m(0.03, 3), 0.059, 1e-12);
  EXPECT_FALSE(objectHandOffset_m(0.2, 3));
  EXPECT_NEAR(trayHandOffset_m(3), 0.11234, 1e-5);
  EXPECT_NEAR(trayHandOffset_m(11) - trayHandOffset_m(3), 0.059, 1e-12);
}

TEST(RotateAboutVertical, turnsPositionAndRollOnly) {
  HandPose pose{1.0, 0.0, 0.3, 0.1, -1.0, 0.2};
  const HandPose turned = rotateAboutVertical(pose, kPi / 2.0);
  EXPECT_NEAR(turned.x_m, 0.0, 1e-12);
  EXPECT_NEAR(turned.y_m, 1.0, 1e-12);
  EXPECT_DOUBLE_EQ(turned.z_m, 0.3);
  EXPECT_DOUBLE_EQ(turned.roll_rad, 0.1 + kPi / 2.0);
  EXPECT_DOUBLE_EQ(turned.pitch_rad, -1.0);
  EXPECT_DOUBLE_EQ(turned.yaw_rad, 0.2);
}

TEST(ChestAngle, facesTargetsOnTheArmsOwnSide) {
  const HandPose leftSide{0.4, 0.3, 0.0, 0, 0, 0};
  EXPECT_DOUBLE_EQ(chestAngleFor(leftSide, Arm::left), std::atan2(0.3, 0.4));
  const HandPose rightSide{0.4, -0.3, 0.0, 0, 0, 0};
  EXPECT_DOUBLE_EQ(chestAngleFor(rightSide, Arm::right), std::atan2(-0.3, 0.4));
}

TEST(ChestAngle, turnsPastTargetsOnTheOtherSide) {
  // Target 0.5 m away: the chest turns further by asin(0.2 / 0.5) towards the target.
  const HandPose rightSide{0.4, -0.3, 0.0, 0, 0, 0};
  EXPECT_NEAR(chestAngleFor(rightSide, Arm::left), std::atan2(-0.3, 0.4) - std::asin(0.4), 1e-12);
  const HandPose leftSide{0.4, 0.3, 0.0, 0, 0, 0};
  EXPECT_NEAR(chestAngleFor(leftSide, Arm::right), std::atan2(0.3, 0.4) + std::asin(0.4), 1e-12);
}

TEST(JointMoveTime, fromSpeedBase) {
  EXPECT_DOUBLE_EQ(jointMoveTime_s(1.0), 8.0);
  EXPECT_DOUBLE_EQ(jointMoveTime_s(5.0), 8.0);
  EXPECT_DOUBLE_EQ(jointMoveTime_s(17.5), 5.0);
  EXPECT_DOUBLE_EQ(jointMoveTime_s(30.0), 2.0);
  EXPECT_DOUBLE_EQ(jointMoveTime_s(40.0), 2.0);
}

JointAngles armPose(Arm arm, const std::vector<double>& joints) {
  JointAngles pose = fullWorkingPose({});
  pose[arm == Arm::left ? kLeftArm : kRightArm] = joints;
  return pose;
}

TEST(SegmentTime, noMotionTakesTheSettlingHalfSecond) {
  const auto p = armPose(Arm::left, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6});
  EXPECT_DOUBLE_EQ(segmentTime_s(Arm::left, p, p, 7.5), 0.5);
}

TEST(SegmentTime, largestChangeAtArmSpeedPlusSettling) {
  const auto p = armPose(Arm::right, {0, 0, 0, 0, 0, 0});
  // 30 degrees on the first joint only: it is not in the settling sum, which stays 0.
  const auto firstOnly = armPose(Arm::right, {degToRad(30.0), 0, 0, 0, 0, 0});
  EXPECT_NEAR(segmentTime_s(Arm::right, p, firstOnly, 7.5), 30.0 / 9.75 + 0.5, 1e-9);
  // 30 degrees on the second joint: settling 10 deg * 0.5 / 30 deg.
  const auto second = armPose(Arm::right, {0, degToRad(30.0), 0, 0, 0, 0});
  EXPECT_NEAR(segmentTime_s(Arm::right, p, second, 7.5), 30.0 / 9.75 + 10.0 * 0.5 / 30.0, 1e-9);
  // The other arm's group does not count.
  EXPECT_DOUBLE_EQ(segmentTime_s(Arm::left, p, second, 7.5), 0.5);
}

}  // namespace
}  // namespace pickplace
