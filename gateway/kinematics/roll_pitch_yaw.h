#pragma once

#include "linear_algebra.h"

// Hand orientations as roll, pitch and yaw (radians): rotation = Rz(yaw) * Ry(pitch) * Rx(roll),
// the layout of a Pose3D orientation (r, p, y).
namespace hiro {

struct RollPitchYaw {
  double roll_rad = 0.0;
  double pitch_rad = 0.0;
  double yaw_rad = 0.0;
};

// Through unit quaternions of the three axis turns, q = qz * qy * qx, then to the matrix.
Mat3 rotationFromRollPitchYaw(const RollPitchYaw& angles);

// The inverse, pitch in [-pi/2, pi/2]; at pitch +-pi/2 the whole turn about the vertical is
// given as roll and yaw is 0.
RollPitchYaw rollPitchYawFromRotation(const Mat3& rotation);

}  // namespace hiro
