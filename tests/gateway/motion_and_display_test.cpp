#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "gateway/display/joint_vector_lines.h"
#include "gateway/display/status_panel.h"
#include "gateway/motion/arm_motion_time.h"
#include "gateway/motion/finger_opening.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

TEST(FingerOpening, limitIs115point8AndBothEndsAreAllowed) {
  EXPECT_NEAR(finger::kMaxOpening_mm, 115.8, 1e-12);
  finger::HandAngles angles{};
  EXPECT_TRUE(finger::anglesForOpening(0.0, angles));
  EXPECT_TRUE(finger::anglesForOpening(115.8, angles));
  EXPECT_FALSE(finger::anglesForOpening(115.81, angles));
  EXPECT_FALSE(finger::anglesForOpening(-0.01, angles));
  EXPECT_FALSE(finger::anglesForOpening(std::numeric_limits<double>::quiet_NaN(), angles));
}

TEST(FingerOpening, anglesFollowTheFingerGeometryWithAlternatingSigns) {
  finger::HandAngles angles{};
  ASSERT_TRUE(finger::anglesForOpening(0.0, angles));
  const double closed = 1.5707963267948966 - std::acos(-16.0 / 41.9);
  EXPECT_DOUBLE_EQ(angles[0], closed);
  EXPECT_DOUBLE_EQ(angles[1], -closed);
  EXPECT_DOUBLE_EQ(angles[2], -closed);
  EXPECT_DOUBLE_EQ(angles[3], closed);
  ASSERT_TRUE(finger::anglesForOpening(32.0, angles));
  EXPECT_NEAR(angles[0], 0.0, 1e-15);
  ASSERT_TRUE(finger::anglesForOpening(115.8, angles));
  EXPECT_NEAR(angles[0], 1.5707963267948966, 1e-15);
}

TEST(ArmMotionTime, largestJointChangeAtTheScaledJointSpeed) {
  const double current[6] = {0, 0, 0, 0, 0, 0};
  const double target[6] = {0, 13 * kDeg, -26 * kDeg, 0, 0, 1 * kDeg};
  // 26 degrees at 260 * 0.005 * 2 = 2.6 deg/s.
  EXPECT_NEAR(arm_motion::armTime_s(current, target, 2.0), 10.0, 1e-12);
  EXPECT_NEAR(arm_motion::twoArmTime_s(current, current, current, target, 2.0), 10.0, 1e-12);
  EXPECT_NEAR(arm_motion::twoArmTime_s(current, current, current, current, 2.0), 0.0, 0.0);
}

TEST(ArmMotionTime, onlyPositiveFiniteSpeedFactorsAreUsable) {
  EXPECT_TRUE(arm_motion::isUsableSpeedFactor(0.1));
  EXPECT_FALSE(arm_motion::isUsableSpeedFactor(0.0));
  EXPECT_FALSE(arm_motion::isUsableSpeedFactor(-1.0));
  EXPECT_FALSE(arm_motion::isUsableSpeedFactor(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(arm_motion::isUsableSpeedFactor(std::numeric_limits<double>::quiet_NaN()));
}

TEST(JointVectorLines, panelTruncatesTowardZeroWithAForcedSign) {
  const double body[3] = {-0.9 * kDeg, 25.8 * kDeg, -100.7 * kDeg};
  EXPECT_EQ(joint_lines::panelLine(0, body), "[Body/Head]:  +0, +25, -100\n");
  const double hand[4] = {0.0, 1.0 * kDeg, -1.0 * kDeg, 45.5 * kDeg};
  EXPECT_EQ(joint_lines::panelLine(4, hand), "[ Hand  L ]:  +0,  +1,  -1, +45\n");
}

TEST(JointVectorLines, degreesLineHasOneDecimalAndSkipsEmptyGroups) {
  const double arm[6] = {23.3 * kDeg, -7.2 * kDeg, -156.2 * kDeg, 0, 0.05 * kDeg, -0.04 * kDeg};
  EXPECT_EQ(joint_lines::degreesLine(2, arm, 6),
            "[ Arm   L ]:  +23.3,   -7.2, -156.2,   +0.0,   +0.1,   -0.0\n");
  EXPECT_EQ(joint_lines::degreesLine(1, arm, 0), "");
}

TEST(StatusPanel, boxShowsEachServiceInItsLine) {
  ServiceConnections connections;
  connections.robotHardware = true;
  EXPECT_EQ(statusPanelBox(connections),
            "┌─────┐\n"
            "│ RobotH/W ■\n"
            "│ SeqPlayer□\n"
            "│ArmCtrl(L)□\n"
            "│ArmCtrl(R)□\n"
            "│  Grasper □\n"
            "└─────┘\n");
}

}  // namespace
