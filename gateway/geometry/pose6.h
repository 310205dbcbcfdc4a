#pragma once

#include <cmath>

// A pose as six numbers, in the layout of the middleware's Pose3D: position x, y, z in metres,
// orientation as roll, pitch and yaw in radians with rotation = Rz(yaw) * Ry(pitch) * Rx(roll).
// Hand targets, hand poses and object poses all travel in it; frame.h turns it into a frame to
// compute with.
namespace geometry {

struct Pose6 {
  double x_m = 0.0;
  double y_m = 0.0;
  double z_m = 0.0;
  double roll_rad = 0.0;
  double pitch_rad = 0.0;
  double yaw_rad = 0.0;
};

// True when all six numbers are finite.
inline bool isFinite(const Pose6& pose) {
  return std::isfinite(pose.x_m) && std::isfinite(pose.y_m) && std::isfinite(pose.z_m) &&
         std::isfinite(pose.roll_rad) && std::isfinite(pose.pitch_rad) &&
         std::isfinite(pose.yaw_rad);
}

}  // namespace geometry
