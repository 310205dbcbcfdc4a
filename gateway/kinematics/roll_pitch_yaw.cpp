#include "roll_pitch_yaw.h"

#include <cmath>

namespace hiro {
namespace {

// Below this cos(pitch) roll and yaw are no longer told apart.
constexpr double kGimbalLock = 1e-9;

struct Quaternion {
  double w, x, y, z;
};

// Unit quaternion of the rotation vector angle * axis; the identity for a zero angle.
Quaternion fromRotationVector(double angle_rad, const Vec3& axis) {
  const double length = std::abs(angle_rad);
  if (length == 0.0) return {1.0, 0.0, 0.0, 0.0};
  const Vec3 v = angle_rad * axis;
  const double scale = std::sin(length / 2.0) / length;
  return {std::cos(length / 2.0), scale * v.x, scale * v.y, scale * v.z};
}

Quaternion hamilton(const Quaternion& a, const Quaternion& b) {
  return {
      a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
      a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

}  // namespace

Mat3 rotationFromRollPitchYaw(const RollPitchYaw& angles) {
  const Quaternion q = hamilton(hamilton(fromRotationVector(angles.yaw_rad, {0.0, 0.0, 1.0}),
                                         fromRotationVector(angles.pitch_rad, {0.0, 1.0, 0.0})),
                                fromRotationVector(angles.roll_rad, {1.0, 0.0, 0.0}));
  const double w = q.w, x = q.x, y = q.y, z = q.z;
  Mat3 r;
  r.m[0][0] = w * w + x * x - y * y - z * z;
  r.m[0][1] = 2.0 * (x * y - w * z);
  r.m[0][2] = 2.0 * (x * z + w * y);
  r.m[1][0] = 2.0 * (x * y + w * z);
  r.m[1][1] = w * w - x * x + y * y - z * z;
  r.m[1][2] = 2.0 * (y * z - w * x);
  r.m[2][0] = 2.0 * (x * z - w * y);
  r.m[2][1] = 2.0 * (y * z + w * x);
  r.m[2][2] = w * w - x * x - y * y + z * z;
  return r;
}

RollPitchYaw rollPitchYawFromRotation(const Mat3& r) {
  const double pitch = std::atan2(-r.m[2][0], std::hypot(r.m[0][0], r.m[1][0]));
  if (std::hypot(r.m[0][0], r.m[1][0]) < kGimbalLock) {
    // Roll and yaw turn about the same line; Ry(+-pi/2) * Rx(a) = Rz(-+a) * Ry(+-pi/2).
    const double turn = std::atan2(-r.m[0][1], r.m[1][1]);
    return {pitch > 0.0 ? -turn : turn, pitch, 0.0};
  }
  return {std::atan2(r.m[2][1], r.m[2][2]), pitch, std::atan2(r.m[1][0], r.m[0][0])};
}

}  // namespace hiro
