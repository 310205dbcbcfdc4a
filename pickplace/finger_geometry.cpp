#include "finger_geometry.h"

#include <algorithm>
#include <cmath>

#include "angles.h"

namespace pickplace {
namespace {

// Palm and finger base below the hand pose's origin.
constexpr double kHandBaseDepth_mm = 30.0 + 45.0;

bool isOpeningValid(double opening_mm) {
  return opening_mm >= 0.0 && opening_mm <= kMaxFingerOpening_mm;
}

// Angle of a finger link from the opening direction.
double linkAngle(double opening_mm) {
  const double ratio = (opening_mm / 2.0 - kFingerJointOffset_mm) / kFingerLink_mm;
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
  return kFingerLink_mm * std::sin(linkAngle(opening_mm)) + kHandBaseDepth_mm;
}

}  // namespace pickplace
