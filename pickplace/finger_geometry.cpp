#include "finger_geometry.h"

#include <algorithm>
#include <cmath>

#include "angles.h"

namespace pickplace {
namespace {

bool isOpeningValid(double opening_mm) {
  return opening_mm >= 0.0 && opening_mm <= hiro::kWidestFingerSpan_mm;
}

// Angle of a finger link from the opening direction.
double linkAngle(double opening_mm) {
  const double ratio = (opening_mm / 2.0 - hiro::kFingerJointOffset_mm) / hiro::kFingerLink_mm;
  // The widest opening lands a rounding error above 1.
  return std::acos(std::clamp(ratio, -1.0, 1.0));
}

}  // namespace

std::optional<FingerAngles> fingerAnglesFor(double opening_mm, double backlash_rad) {
  if (!isOpeningValid(opening_mm)) {
    return std::nullopt;
  }
  const double a = kPi / 2.0 - linkAngle(opening_mm);
  return FingerAngles{a, -a - backlash_rad, -a, a + backlash_rad};
}

std::optional<double> fingertipDepth(double opening_mm) {
  if (!isOpeningValid(opening_mm)) {
    return std::nullopt;
  }
  return hiro::kFingerLink_mm * std::sin(linkAngle(opening_mm)) + hiro::kFingerBaseDepth_mm;
}

}  // namespace pickplace
