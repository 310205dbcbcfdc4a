#pragma once

#include <array>

#include "gateway/geometry/frame.h"
#include "hiro_arm_model.h"

// Forward and closed-form inverse kinematics of the HIRO arm model (hiro_arm_model.h).
namespace hiro {

using ArmJoints = std::array<double, kArmJointCount>;

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

// The hand's frame in the chest frame (its origin the hand pose point) for the given joint
// angles (radians).
geometry::Frame forwardKinematics(ArmSide side, const ArmJoints& joints_rad);

// All joint solutions that put the hand's frame at hand_chest; count 0 when the wrist centre is
// out of reach. No iteration: the same pose always gives the same list.
ArmSolutions inverseKinematics(ArmSide side, const geometry::Frame& hand_chest);

}  // namespace hiro
