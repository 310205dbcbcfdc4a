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

Frame fromModel(const hiro::HandPose& pose) {
  Frame frame;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) frame.rotation[i][j] = pose.rotation.m[i][j];
  }
  frame.position = {pose.position_m.x, pose.position_m.y, pose.position_m.z};
  return frame;
}

hiro::HandPose toModel(const Frame& frame) {
  hiro::HandPose pose;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) pose.rotation.m[i][j] = frame.rotation[i][j];
  }
  pose.position_m = {frame.position.x, frame.position.y, frame.position.z};
  return pose;
}

bool insideHardwareLimits(Side side, const hiro::ArmJoints& joints) {
  JointVector all{};
  const GroupSpan span = groupSpan(armGroup(side));
  for (int k = 0; k < kArmJointCount; ++k) all[span.offset + k] = joints[k];
  return !firstJointOutsideLimits(all, groupMask(armGroup(side)));
}

}  // namespace

Frame HiroArmModelKinematics::handPose(Side side, const ArmJoints& joints,
                                       double chestYaw_rad) const {
  hiro::ArmJoints model{};
  for (int k = 0; k < kArmJointCount; ++k) model[k] = joints[k];
  const Frame inChest = fromModel(hiro::forwardKinematics(modelSide(side), model));
  return compose(Frame{rotationAboutZ(chestYaw_rad), {}}, inChest);
}

std::optional<ArmJoints> HiroArmModelKinematics::solve(Side side, const Pose6& target,
                                                       double chestYaw_rad,
                                                       const ArmJoints& current) const {
  const Frame inChest = compose(Frame{rotationAboutZ(-chestYaw_rad), {}}, frameFromPose(target));
  const hiro::ArmSolutions solutions = hiro::inverseKinematics(modelSide(side), toModel(inChest));
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

HandAxes HiroArmModelKinematics::handAxes() const { return {{-1, 0, 0}, {0, 1, 0}}; }

}  // namespace hirosim
