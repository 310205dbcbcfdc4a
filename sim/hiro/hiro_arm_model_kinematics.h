#pragma once
// ArmKinematics on the gateway's HIRO arm model: the same forward and inverse kinematics
// the gateway's IK libraries use, so the gateway's solutions drive the simulated hands where
// the gateway meant them to go.

#include "arm_kinematics.h"

namespace hirosim {

class HiroArmModelKinematics : public ArmKinematics {
 public:
  geometry::Frame handPose(Side side, const ArmJoints& joints, double chestYaw_rad) const override;

  // Among the model's solutions inside the hardware limits, the one nearest to `current`.
  std::optional<ArmJoints> solve(Side side, const geometry::Pose6& target, double chestYaw_rad,
                                 const ArmJoints& current) const override;

  // The model's hand frame: approach along -x, fingers opening along y.
  HandAxes handAxes() const override;
};

}  // namespace hirosim
