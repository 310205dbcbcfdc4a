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

  geometry::Frame handPose(Side, const ArmJoints& j, double chestYaw_rad) const override {
    const geometry::Frame local =
        geometry::frameFromPose({j[0], j[1], j[2] + kShoulderZ_m, j[3], j[4], j[5]});
    return chest(chestYaw_rad) * local;
  }

  std::optional<ArmJoints> solve(Side, const geometry::Pose6& target, double chestYaw_rad,
                                 const ArmJoints&) const override {
    const geometry::Pose6 p =
        geometry::poseFromFrame(chest(chestYaw_rad).inverse() * geometry::frameFromPose(target));
    if (std::hypot(p.x_m, p.y_m) > kReach_m) return std::nullopt;
    return ArmJoints{p.x_m, p.y_m, p.z_m - kShoulderZ_m, p.roll_rad, p.pitch_rad, p.yaw_rad};
  }

  HandAxes handAxes() const override { return {-geometry::Vec3::UnitX(), geometry::Vec3::UnitY()}; }

 private:
  static constexpr double kReach_m = 0.8;

  static geometry::Frame chest(double yaw_rad) {
    return geometry::frameOf(geometry::rotationZ(yaw_rad), geometry::Vec3::Zero());
  }
};

}  // namespace hirosim::testing
