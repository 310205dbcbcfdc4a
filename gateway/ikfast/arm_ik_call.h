#pragma once

#include "gateway/ikfast/ikfast_solution.h"
#include "gateway/kinematics/hiro_arm_kinematics.h"

// The body of the exported solve and forward calls, the same for both arm libraries.
namespace ikfast {

inline bool solveArmInto(hiro::ArmSide side, const double* translation, const double* rotation,
                         IKSolutionList& solutions) {
  solutions.clear();
  hiro::HandPose target;
  target.position_m = {translation[0], translation[1], translation[2]};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) target.rotation.m[r][c] = rotation[3 * r + c];
  }
  const hiro::ArmSolutions found = hiro::inverseKinematics(side, target);
  for (int i = 0; i < found.count; ++i) solutions.emplace_back(found.joints[i]);
  return found.count > 0;
}

inline void forwardArmInto(hiro::ArmSide side, const double* joints_rad, double* translation,
                           double* rotation) {
  hiro::ArmJoints joints;
  for (int i = 0; i < hiro::kArmJointCount; ++i) joints[i] = joints_rad[i];
  const hiro::HandPose pose = hiro::forwardKinematics(side, joints);
  translation[0] = pose.position_m.x;
  translation[1] = pose.position_m.y;
  translation[2] = pose.position_m.z;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) rotation[3 * r + c] = pose.rotation.m[r][c];
  }
}

}  // namespace ikfast
