#pragma once
// A hand pose in the layout of RTC::Pose3D, and its console line.

#include <string>

#include "gateway/geometry/pose6.h"

namespace pickplace {

// A hand pose in the robot frame R: the pose type the gateway and the simulated cell use.
using HandPose = geometry::Pose6;

// Which arm: the codes are the ones the planners compute with.
enum class Arm : int { left = 1, right = -1 };

// 'L' or 'R'.
char armLetter(Arm arm);

// x, y, z, then yaw, pitch, roll in degrees, with a line end.
std::string poseLine(const HandPose& pose);

}  // namespace pickplace
