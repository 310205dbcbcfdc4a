#include "gateway/geometry/roll_pitch_yaw.h"

#include <cmath>

#include <Eigen/Geometry>

namespace geometry {
namespace {

// Below this cos(pitch) roll and yaw are no longer told apart.
constexpr double kGimbalLock = 1e-9;

Eigen::Quaterniond turnAbout(const Vec3& axis, double angle_rad) {
  return Eigen::Quaterniond(Eigen::AngleAxisd(angle_rad, axis));
}

}  // namespace

Rotation rotationFromRollPitchYaw(const RollPitchYaw& angles) {
  const Eigen::Quaterniond q = turnAbout(Vec3::UnitZ(), angles.yaw_rad) *
                               turnAbout(Vec3::UnitY(), angles.pitch_rad) *
                               turnAbout(Vec3::UnitX(), angles.roll_rad);
  const double w = q.w(), x = q.x(), y = q.y(), z = q.z();
  Rotation r;
  r << w * w + x * x - y * y - z * z, 2.0 * (x * y - w * z), 2.0 * (x * z + w * y),
      2.0 * (x * y + w * z), w * w - x * x + y * y - z * z, 2.0 * (y * z - w * x),
      2.0 * (x * z - w * y), 2.0 * (y * z + w * x), w * w - x * x - y * y + z * z;
  return r;
}

RollPitchYaw rollPitchYawFromRotation(const Rotation& r) {
  const double cosPitch = std::hypot(r(0, 0), r(1, 0));
  const double pitch = std::atan2(-r(2, 0), cosPitch);
  if (cosPitch < kGimbalLock) {
    // Roll and yaw turn about the same line; Ry(+-pi/2) * Rx(a) = Rz(-+a) * Ry(+-pi/2).
    const double turn = std::atan2(-r(0, 1), r(1, 1));
    return {pitch > 0.0 ? -turn : turn, pitch, 0.0};
  }
  return {std::atan2(r(2, 1), r(2, 2)), pitch, std::atan2(r(1, 0), r(0, 0))};
}

}  // namespace geometry
