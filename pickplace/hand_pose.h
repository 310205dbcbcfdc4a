#pragma once
// A hand pose in the layout of RTC::Pose3D, and its console line.

#include <string>

namespace pickplace {

// Position in metres in the robot frame R; orientation r, p, y in radians, rotation
// Rz(y)·Ry(p)·Rx(r).
struct HandPose {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  double roll = 0.0;
  double pitch = 0.0;
  double yaw = 0.0;
};

// Which arm: the codes are the ones the planners compute with.
enum class Arm : int { left = 1, right = -1 };

// 'L' or 'R'.
char armLetter(Arm arm);

// x, y, z, then yaw, pitch, roll in degrees, with a line end.
std::string poseLine(const HandPose& pose);

}  // namespace pickplace
