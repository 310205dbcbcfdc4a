#pragma once
// A simple, exactly invertible arm model for the core tests: joints 1-3 are the hand's
// x, y and z offsets (metres) from a shoulder point, joints 4-6 its roll, pitch and yaw,
// all in the chest frame. The hand approaches along its own -x axis and opens along y,
// so a hand with pitch -90 degrees points down.

#include <cmath>

#include "arm_kinematics.h"

namespace hirosim::testing {

class ToyArmKinematics : public ArmKinematics {
 public:
  static constexpr double kShoulderZ_m = 0.5;

  Frame handPose(Side, const ArmJoints& j, double chestYaw_rad) const override {
    const Frame local = frameFromPose({j[0], j[1], j[2] + kShoulderZ_m, j[3], j[4], j[5]});
    return compose(Frame{rotationAboutZ(chestYaw_rad), {}}, local);
  }

  std::optional<ArmJoints> solve(Side, const Pose6& target, double chestYaw_rad,
                                 const ArmJoints&) const override {
    const Frame local = compose(Frame{rotationAboutZ(-chestYaw_rad), {}}, frameFromPose(target));
    const Pose6 p = poseFromFrame(local);
    if (std::hypot(p.x, p.y) > kReach_m) return std::nullopt;
    return ArmJoints{p.x, p.y, p.z - kShoulderZ_m, p.r, p.p, p.yaw};
  }

  HandAxes handAxes() const override { return {{-1, 0, 0}, {0, 1, 0}}; }

 private:
  static constexpr double kReach_m = 0.8;
};

}  // namespace hirosim::testing
