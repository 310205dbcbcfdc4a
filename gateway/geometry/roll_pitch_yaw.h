#pragma once

#include "gateway/geometry/rotation.h"

// Orientations as roll, pitch and yaw (radians): rotation = Rz(yaw) * Ry(pitch) * Rx(roll),
// the layout of a Pose3D orientation (r, p, y).
namespace geometry {

struct RollPitchYaw {
  double roll_rad = 0.0;
  double pitch_rad = 0.0;
  double yaw_rad = 0.0;
};

// Through the unit quaternions of the three axis turns, q = qz * qy * qx, then to the matrix
// with rows (w² + x² - y² - z², 2(xy - wz), 2(xz + wy)), (2(xy + wz), w² - x² + y² - z²,
// 2(yz - wx)), (2(xz - wy), 2(yz + wx), w² - x² - y² + z²): the arm IK libraries' input law.
Rotation rotationFromRollPitchYaw(const RollPitchYaw& angles);

// The inverse, pitch in [-pi/2, pi/2]. At pitch +-pi/2 roll and yaw turn about the same line:
// the whole turn is given as roll and yaw is 0.
RollPitchYaw rollPitchYawFromRotation(const Rotation& rotation);

}  // namespace geometry
