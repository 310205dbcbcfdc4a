#pragma once

// The kinematic model of the HIRO arms, written down once. The IK libraries, the gateway and
// the robot simulator all compute with these numbers, so forward and inverse kinematics agree.
//
// Chest frame (the frame the solver works in): origin on the waist's vertical turning axis
// at the height of the robot frame's origin, x forward out of the chest, y to the robot's
// left, z up. It is the robot frame turned about z by the waist yaw: a point p_chest is
// Rz(-waistYaw) * p_robot.
//
// Each arm is a chain of six revolute joints, the same for both arms except that the right
// shoulder sits at -y; mirrored poses therefore have opposite signs on joints 1, 4 and 6 and
// equal values on joints 2, 3 and 5.
//   joint 1  shoulder yaw    about the vertical z axis through the shoulder point
//   joint 2  shoulder pitch  about the y axis turned by joint 1; negative swings the arm forward
//   joint 3  elbow pitch     about the same y axis at the elbow; negative folds the forearm
//                            forward
//   joint 4  wrist twist     about the forearm axis (z of the forearm link)
//   joint 5  wrist pitch     about the y axis turned by joint 4
//   joint 6  hand roll       about the hand's x axis
// Joints 4, 5 and 6 meet in one point, the wrist centre (a spherical wrist), which is what
// gives the closed-form inverse.
//
// Zero pose (all joints 0): both arm links hang straight down from the shoulder; the hand
// frame is parallel to the chest frame. Hand orientation:
//   R_hand = Rz(q1) * Ry(q2 + q3) * Rz(q4) * Ry(q5) * Rx(q6)
// Hand frame: the hand pose point lies kWristToHand_m from the wrist centre along the
// approach direction, which is the hand's -x axis (so pitch -pi/2 points the hand straight
// down); the fingers open along the hand's y axis. In the zero pose the hand thus points
// backwards, across the bottom of the forearm.
//
// Angles are radians, lengths metres.
namespace hiro {

enum class ArmSide { Left, Right };

constexpr int kArmJointCount = 6;

// Shoulder point (joints 1 and 2 meet there) in the chest frame; y is +for the left arm,
// -for the right.
constexpr double kShoulderForward_m = 0.0;
constexpr double kShoulderSideways_m = 0.145;
constexpr double kShoulderHeight_m = 0.370;
// Shoulder to elbow and elbow to wrist centre.
constexpr double kUpperArm_m = 0.300;
constexpr double kForearm_m = 0.300;
// Wrist centre to the hand pose point, along the approach direction.
constexpr double kWristToHand_m = 0.100;

inline double shoulderSidewaysFor(ArmSide side) {
  return side == ArmSide::Left ? kShoulderSideways_m : -kShoulderSideways_m;
}

}  // namespace hiro
