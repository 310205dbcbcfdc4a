#pragma once

// A hand pose in the layout of a Pose3D: position in metres, orientation as roll, pitch, yaw
// in radians with rotation = Rz(yaw) * Ry(pitch) * Rx(roll).
struct HandPose6 {
  double x_m = 0.0;
  double y_m = 0.0;
  double z_m = 0.0;
  double roll_rad = 0.0;
  double pitch_rad = 0.0;
  double yaw_rad = 0.0;
};
