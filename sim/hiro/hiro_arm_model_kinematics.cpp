#include "hiro_arm_model_kinematics.h"

#include <cmath>
#include <limits>

#include "gateway/kinematics/hiro_arm_kinematics.h"
#include "hardware_limits.h"

namespace hirosim {
namespace {

hiro::ArmSide modelSide(Side side) {
  return side == Side::Left ? hiro::ArmSide::Left : hiro::ArmSide::Right;
}

// The chest turned by chestYaw_rad, in the robot frame.
geometry::Frame chestFrame(double chestYaw_rad) {
  return geometry::frameOf(geometry::rotationZ(chestYaw_rad), geometry::Vec3::Zero());
}

bool insideHardwareLimits(Side side, const hiro::ArmJoints& joints) {
  JointVector all{};
  const GroupSpan span = groupSpan(armGroup(side));
  for (int k = 0; k < kArmJointCount; ++k) all[span.offset + k] = joints[k];
  return !firstJointOutsideLimits(all, groupMask(armGroup(side)));
}

}  // namespace

geometry::Frame HiroArmModelKinematics::handPose(Side side, const ArmJoints& joints,
                                                 double chestYaw_rad) const {
  hiro::ArmJoints model{};
  for (int k = 0; k < kArmJointCount; ++k) model[k] = joints[k];
  return chestFrame(chestYaw_rad) * hiro::forwardKinematics(modelSide(side), model);
}

std::optional<ArmJoints> HiroArmModelKinematics::solve(Side side, const geometry::Pose6& target,
                                                       double chestYaw_rad,
                                                       const ArmJoints& current) const {
  const geometry::Frame inChest =
      chestFrame(chestYaw_rad).inverse() * geometry::frameFromPose(target);
  const hiro::ArmSolutions solutions = hiro::inverseKinematics(modelSide(side), inChest);
  std::optional<ArmJoints> best;
  double bestDistance = std::numeric_limits<double>::infinity();
  for (int i = 0; i < solutions.count; ++i) {
    const hiro::ArmJoints& candidate = solutions.joints[i];
    if (!insideHardwareLimits(side, candidate)) continue;
    double distance = 0.0;
    for (int k = 0; k < kArmJointCount; ++k) distance += std::fabs(candidate[k] - current[k]);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = ArmJoints{};
      for (int k = 0; k < kArmJointCount; ++k) (*best)[k] = candidate[k];
    }
  }
  return best;
}

HandAxes HiroArmModelKinematics::handAxes() const {
  return {-geometry::Vec3::UnitX(), geometry::Vec3::UnitY()};
}

}  // namespace hirosim
