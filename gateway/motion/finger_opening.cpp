#include "gateway/motion/finger_opening.h"

#include <cmath>

namespace finger {

bool anglesForOpening(double opening_mm, HandAngles& angles_rad) {
  if (!(opening_mm >= 0.0 && opening_mm <= kMaxOpening_mm)) return false;
  const double halfPi = 1.5707963267948966;
  const double a =
      halfPi - std::acos((opening_mm / 2.0 + kTipPad_mm - hiro::kFingerJointOffset_mm) /
                         hiro::kFingerLink_mm);
  angles_rad = {a, -a, -a, a};
  return true;
}

}  // namespace finger
