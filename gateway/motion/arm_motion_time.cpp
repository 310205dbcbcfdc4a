#include "gateway/motion/arm_motion_time.h"

#include <algorithm>
#include <cmath>

namespace arm_motion {

double armTime_s(const double* current_rad, const double* target_rad, double speedFactor) {
  double largest_rad = 0.0;
  for (int i = 0; i < 6; ++i) {
    largest_rad = std::max(largest_rad, std::abs(target_rad[i] - current_rad[i]));
  }
  const double largest_deg = largest_rad * 180.0 / 3.141592653589793;
  return largest_deg / (kMaxJointSpeed_degps * kSpeedScale * speedFactor);
}

double twoArmTime_s(const double* currentRight_rad, const double* targetRight_rad,
                    const double* currentLeft_rad, const double* targetLeft_rad,
                    double speedFactor) {
  return std::max(armTime_s(currentRight_rad, targetRight_rad, speedFactor),
                  armTime_s(currentLeft_rad, targetLeft_rad, speedFactor));
}

bool isUsableSpeedFactor(double speedFactor) {
  return std::isfinite(speedFactor) && speedFactor > 0.0;
}

}  // namespace arm_motion
