#include "gateway/display/joint_vector_lines.h"

#include <cstdio>

namespace joint_lines {
namespace {

const char* const kGroupLabels[kGroupCount] = {
    "[Body/Head]: ", "[ Arm   R ]: ", "[ Arm   L ]: ", "[ Hand  R ]: ", "[ Hand  L ]: "};

double toDegrees(double angle_rad) { return angle_rad * 180.0 / 3.141592653589793; }

}  // namespace

std::string degreesLine(int group, const double* values_rad, int count) {
  if (count <= 0) return {};
  std::string line = kGroupLabels[group];
  char value[32];
  for (int i = 0; i < count; ++i) {
    std::snprintf(value, sizeof value, i == 0 ? "%+6.1f" : ", %+6.1f", toDegrees(values_rad[i]));
    line += value;
  }
  return line + "\n";
}

std::string panelLine(int group, const double* values_rad) {
  std::string line = kGroupLabels[group];
  char value[32];
  for (int i = 0; i < kGroupSizes[group]; ++i) {
    std::snprintf(value, sizeof value, i == 0 ? "%+3d" : ", %+3d",
                  static_cast<int>(toDegrees(values_rad[i])));
    line += value;
  }
  return line + "\n";
}

}  // namespace joint_lines
