#include "finger_geometry.h"

#include <cmath>

#include "gateway/kinematics/hiro_hand_model.h"

namespace hirosim {

namespace {
constexpr double kMetresPerMm = 0.001;
}

double fingerOpening_m(const FingerAngles& angles) {
  // Joint 0 opens with a positive angle, joint 2 with a negative one.
  const double first_mm = hiro::kFingerJointOffset_mm + hiro::kFingerLink_mm * std::sin(angles[0]);
  const double second_mm =
      hiro::kFingerJointOffset_mm + hiro::kFingerLink_mm * std::sin(-angles[2]);
  return (first_mm + second_mm) * kMetresPerMm;
}

double fingertipDepth_m(const FingerAngles& angles) {
  const double reach_mm = hiro::kFingerLink_mm * 0.5 * (std::cos(angles[0]) + std::cos(angles[2]));
  return (hiro::kFingerBaseDepth_mm + reach_mm) * kMetresPerMm;
}

std::optional<FingerAngles> fingerAnglesForOpening(double opening_m) {
  const double sine =
      (opening_m / kMetresPerMm / 2.0 - hiro::kFingerJointOffset_mm) / hiro::kFingerLink_mm;
  if (!(sine >= -1.0 && sine <= 1.0)) return std::nullopt;
  const double a = std::asin(sine);
  return FingerAngles{a, -a, -a, a};
}

}  // namespace hirosim
