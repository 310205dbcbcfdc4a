#pragma once

#include <array>

#include "hiro_arm_model.h"
#include "linear_algebra.h"

// Forward and closed-form inverse kinematics of the HIRO arm model (hiro_arm_model.h).
namespace hiro {

using ArmJoints = std::array<double, kArmJointCount>;

// A hand pose in the chest frame: the hand pose point and the hand frame's orientation.
struct HandPose {
  Mat3 rotation;
  Vec3 position_m;
};

// Every solution of the six joints for one hand pose, at most eight, in a fixed order:
// shoulder facing the wrist before shoulder turned away, elbow folded forward (joint 3 <= 0)
// before folded backward, wrist twist nearer 0 before its flip. Coinciding branches (straight
// elbow, wrist pitch at +-pi/2, wrist centre on the shoulder's vertical) are given once.
// Angles are in (-pi, pi].
struct ArmSolutions {
  static constexpr int kMaxSolutions = 8;
  std::array<ArmJoints, kMaxSolutions> joints{};
  int count = 0;
};

// Hand pose in the chest frame for the given joint angles (radians).
HandPose forwardKinematics(ArmSide side, const ArmJoints& joints_rad);

// All joint solutions reaching the pose; count 0 when the wrist centre is out of reach.
// No iteration: the same pose always gives the same list.
ArmSolutions inverseKinematics(ArmSide side, const HandPose& target);

}  // namespace hiro
