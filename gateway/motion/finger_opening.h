#pragma once

#include <array>

#include "gateway/kinematics/hiro_hand_model.h"

// The gateway's law from a finger opening (millimetres between the fingertips of one hand) to
// the four finger joint angles of that hand, on the hand's dimensions (hiro_hand_model.h) with
// the fingertip pads 3 mm thick.
namespace finger {

constexpr double kTipPad_mm = 3.0;
// 2 * (41.9 + 19 - 3) = 115.8 mm.
constexpr double kMaxOpening_mm =
    2.0 * (hiro::kFingerLink_mm + hiro::kFingerJointOffset_mm - kTipPad_mm);

using HandAngles = std::array<double, 4>;

// False (angles untouched) when opening_mm lies outside 0 to kMaxOpening_mm, both ends
// allowed. Otherwise angles_rad = (a, -a, -a, a) with
// a = pi/2 - acos((opening/2 + 3 - 19) / 41.9).
bool anglesForOpening(double opening_mm, HandAngles& angles_rad);

}  // namespace finger
