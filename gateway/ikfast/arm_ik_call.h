#pragma once

#include "gateway/ikfast/ikfast_solution.h"
#include "gateway/kinematics/hiro_arm_kinematics.h"

// The body of the exported solve and forward calls, the same for both arm libraries.
namespace ikfast {

// The libraries' rotations are 3 x 3 matrices stored row by row.
using RowMajorRotation = Eigen::Matrix<double, 3, 3, Eigen::RowMajor>;

inline bool solveArmInto(hiro::ArmSide side, const double* translation, const double* rotation,
                         IKSolutionList& solutions) {
  solutions.clear();
  const geometry::Frame target = geometry::frameOf(Eigen::Map<const RowMajorRotation>(rotation),
                                                   Eigen::Map<const geometry::Vec3>(translation));
  const hiro::ArmSolutions found = hiro::inverseKinematics(side, target);
  for (int i = 0; i < found.count; ++i) solutions.emplace_back(found.joints[i]);
  return found.count > 0;
}

inline void forwardArmInto(hiro::ArmSide side, const double* joints_rad, double* translation,
                           double* rotation) {
  hiro::ArmJoints joints;
  for (int i = 0; i < hiro::kArmJointCount; ++i) joints[i] = joints_rad[i];
  const geometry::Frame pose = hiro::forwardKinematics(side, joints);
  Eigen::Map<geometry::Vec3> translationOut(translation);
  Eigen::Map<RowMajorRotation> rotationOut(rotation);
  translationOut = pose.translation();
  rotationOut = pose.linear();
}

}  // namespace ikfast
