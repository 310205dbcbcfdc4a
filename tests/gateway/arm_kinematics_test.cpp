#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "gateway/geometry/roll_pitch_yaw.h"
#include "gateway/ikfast/ik_hiro_arms.h"
#include "gateway/kinematics/hiro_arm_kinematics.h"

namespace {

using hiro::ArmJoints;
using hiro::ArmSide;
using HandPose = geometry::Frame;

constexpr double kPi = 3.141592653589793;
constexpr double kRoundTripTolerance = 1e-9;

double poseDistance(const HandPose& a, const HandPose& b) {
  return std::max((a.translation() - b.translation()).norm(),
                  (a.linear() - b.linear()).cwiseAbs().maxCoeff());
}

// Poses the arm surely reaches: forward kinematics of a grid of joint angles kept away from
// the straight elbow and from wrist pitch +-pi/2, where branches coincide.
std::vector<HandPose> reachablePoses(ArmSide side) {
  std::vector<HandPose> poses;
  for (double q1 : {-1.2, -0.4, 0.3, 1.1}) {
    for (double q2 : {-2.5, -1.3, -0.2, 0.9}) {
      for (double q3 : {-2.4, -1.2, -0.3, 0.6}) {
        for (double q4 : {-2.8, -0.7, 0.0, 1.6}) {
          for (double q5 : {-1.2, -0.3, 0.5, 2.2}) {
            for (double q6 : {-2.9, 0.4, 1.9}) {
              poses.push_back(hiro::forwardKinematics(side, ArmJoints{q1, q2, q3, q4, q5, q6}));
            }
          }
        }
      }
    }
  }
  return poses;
}

class ArmKinematics : public ::testing::TestWithParam<ArmSide> {};

TEST_P(ArmKinematics, everyInverseSolutionReproducesThePose) {
  for (const HandPose& pose : reachablePoses(GetParam())) {
    const hiro::ArmSolutions solutions = hiro::inverseKinematics(GetParam(), pose);
    ASSERT_EQ(solutions.count, 8);
    for (int i = 0; i < solutions.count; ++i) {
      const HandPose back = hiro::forwardKinematics(GetParam(), solutions.joints[i]);
      ASSERT_LT(poseDistance(back, pose), kRoundTripTolerance) << "solution " << i;
    }
  }
}

TEST_P(ArmKinematics, solutionsAreDistinctAndInOrderedBranches) {
  const HandPose pose =
      hiro::forwardKinematics(GetParam(), ArmJoints{0.3, -0.8, -1.1, 0.4, 0.6, -0.2});
  const hiro::ArmSolutions solutions = hiro::inverseKinematics(GetParam(), pose);
  ASSERT_EQ(solutions.count, 8);
  // First the shoulder facing the wrist, elbow folded forward, twist nearer 0: the joints the
  // pose came from.
  const ArmJoints expected{0.3, -0.8, -1.1, 0.4, 0.6, -0.2};
  for (int j = 0; j < hiro::kArmJointCount; ++j) {
    EXPECT_NEAR(solutions.joints[0][j], expected[j], 1e-9) << "joint " << j + 1;
  }
  for (int i : {0, 1, 4, 5}) EXPECT_LE(solutions.joints[i][2], 0.0);
  for (int i : {2, 3, 6, 7}) EXPECT_GT(solutions.joints[i][2], 0.0);
  for (int i = 4; i < 8; ++i) {
    EXPECT_NEAR(std::abs(std::remainder(solutions.joints[i][0] - solutions.joints[0][0], 2 * kPi)),
                kPi, 1e-9);
  }
  for (int i = 0; i < 8; ++i) {
    for (int k = i + 1; k < 8; ++k) {
      double difference = 0.0;
      for (int j = 0; j < 6; ++j) {
        difference += std::abs(solutions.joints[i][j] - solutions.joints[k][j]);
      }
      EXPECT_GT(difference, 1e-6) << i << " and " << k;
    }
  }
}

TEST_P(ArmKinematics, poseBeyondFullStretchHasNoSolution) {
  HandPose pose = HandPose::Identity();
  pose.linear() = geometry::rotationFromRollPitchYaw({0.0, -kPi / 2, 0.0});
  const double side = GetParam() == ArmSide::Left ? 1.0 : -1.0;
  // Wrist centre 0.1 m above the hand point, level with the shoulder; the arm is 0.6 m long.
  pose.translation() =
      geometry::Vec3{0.61, side * hiro::kShoulderSideways_m, hiro::kShoulderHeight_m - 0.1};
  EXPECT_EQ(hiro::inverseKinematics(GetParam(), pose).count, 0);
  pose.translation() = geometry::Vec3{0.0, side * 1.0, 0.3};
  EXPECT_EQ(hiro::inverseKinematics(GetParam(), pose).count, 0);
  pose.translation() = geometry::Vec3{0.0, 0.0, -0.5};
  EXPECT_EQ(hiro::inverseKinematics(GetParam(), pose).count, 0);
}

TEST_P(ArmKinematics, fullStretchGivesTheStraightElbowOnce) {
  const HandPose pose =
      hiro::forwardKinematics(GetParam(), ArmJoints{0.2, -1.0, 0.0, 0.3, 0.4, 0.5});
  const hiro::ArmSolutions solutions = hiro::inverseKinematics(GetParam(), pose);
  ASSERT_EQ(solutions.count, 4);
  for (int i = 0; i < solutions.count; ++i) {
    EXPECT_LT(poseDistance(hiro::forwardKinematics(GetParam(), solutions.joints[i]), pose), 1e-6);
  }
}

INSTANTIATE_TEST_SUITE_P(BothArms, ArmKinematics, ::testing::Values(ArmSide::Left, ArmSide::Right));

TEST(ArmModel, armsAreMirrorImages) {
  const ArmJoints left{0.4, -0.7, -1.3, 0.9, 0.5, -0.6};
  const HandPose l = hiro::forwardKinematics(ArmSide::Left, left);
  const HandPose r = hiro::forwardKinematics(
      ArmSide::Right, ArmJoints{-left[0], left[1], left[2], -left[3], left[4], -left[5]});
  EXPECT_NEAR(r.translation().x(), l.translation().x(), 1e-12);
  EXPECT_NEAR(r.translation().y(), -l.translation().y(), 1e-12);
  EXPECT_NEAR(r.translation().z(), l.translation().z(), 1e-12);
}

TEST(ArmModel, zeroPoseHangsTheArmBelowTheShoulder) {
  const HandPose pose = hiro::forwardKinematics(ArmSide::Left, ArmJoints{});
  // The hand point sits one hand length behind the wrist centre (approach is the hand's -x).
  EXPECT_NEAR(pose.translation().x(), hiro::kShoulderForward_m - hiro::kWristToHand_m, 1e-12);
  EXPECT_NEAR(pose.translation().y(), hiro::kShoulderSideways_m, 1e-12);
  EXPECT_NEAR(pose.translation().z(),
              hiro::kShoulderHeight_m - hiro::kUpperArm_m - hiro::kForearm_m, 1e-12);
}

TEST(ArmModel, handPitchedDownPointsItsApproachDown) {
  // Hand straight down, its point 0.2 m below a wrist at shoulder height in front.
  const HandPose pose = geometry::frameOf(geometry::rotationFromRollPitchYaw({0.0, -kPi / 2, 0.0}),
                                          {0.4, 0.145, 0.27});
  const hiro::ArmSolutions solutions = hiro::inverseKinematics(ArmSide::Left, pose);
  ASSERT_GT(solutions.count, 0);
  // The wrist centre lies 0.4 m straight in front of the shoulder at its height: no shoulder
  // yaw, the elbow closes to cos q3 = (0.4^2 - 2 * 0.3^2) / (2 * 0.3^2), and the wrist pitch
  // turns the hand from the forearm's direction to straight down without twist or roll.
  const ArmJoints& first = solutions.joints[0];
  EXPECT_NEAR(first[0], 0.0, 1e-12);
  EXPECT_NEAR(first[2], -std::acos((0.16 - 0.18) / 0.18), 1e-12);
  EXPECT_NEAR(first[3], 0.0, 1e-12);
  EXPECT_NEAR(first[1] + first[2] + first[4], -kPi / 2, 1e-12);
  EXPECT_NEAR(first[5], 0.0, 1e-12);
}

TEST(ExportedCalls, reportSixJointsAndSolveRowMajorInput) {
  EXPECT_EQ(getNumJointsL(), 6);
  EXPECT_EQ(getNumJointsR(), 6);
  const double joints[6] = {-0.3, -0.9, -1.2, -0.5, 0.7, 0.3};
  double translation[3], rotation[9];
  fkR(joints, translation, rotation);
  ikfast::IKSolutionList solutions{ikfast::IKSolution({9, 9, 9, 9, 9, 9})};
  ASSERT_TRUE(ikR(translation, rotation, nullptr, solutions));
  ASSERT_EQ(solutions.size(), 8u);
  double first[6];
  solutions[0].GetSolution(first, nullptr);
  for (int j = 0; j < 6; ++j) EXPECT_NEAR(first[j], joints[j], 1e-9);
  const double far[3] = {2.0, 0.0, 0.0};
  EXPECT_FALSE(ikL(far, rotation, nullptr, solutions));
  EXPECT_TRUE(solutions.empty());
}

}  // namespace
