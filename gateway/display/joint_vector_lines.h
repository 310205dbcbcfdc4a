#pragma once

#include <string>

// Console lines of the five joint groups (body/head, right arm, left arm, right hand, left
// hand), angles given in radians and shown in degrees (value * 180 / 3.141592653589793).
namespace joint_lines {

constexpr int kGroupCount = 5;
constexpr int kGroupSizes[kGroupCount] = {3, 6, 6, 4, 4};

// The IK solution print: "[ Arm   L ]: %+6.1f, ..." with the given values; count is the
// group's length. Empty for an empty group.
std::string degreesLine(int group, const double* values_rad, int count);

// The status panel print: "[ Arm   L ]: %+3d, ..." with kGroupSizes[group] values, each
// truncated toward zero (so -0.9 degrees shows "+0").
std::string panelLine(int group, const double* values_rad);

}  // namespace joint_lines
