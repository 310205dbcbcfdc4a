#pragma once

#include <array>

// The gateway's law from a finger opening (millimetres between the fingertips of one hand) to
// the four finger joint angles of that hand. Each finger is a 41.9 mm link jointed 19 mm from
// the hand's centre, its tip pad 3 mm thick.
namespace finger {

constexpr double kLink_mm = 41.9;
constexpr double kJointOffset_mm = 19.0;
constexpr double kTipPad_mm = 3.0;
// 2 * (41.9 + 19 - 3) = 115.8 mm.
constexpr double kMaxOpening_mm = 2.0 * (kLink_mm + kJointOffset_mm - kTipPad_mm);

using HandAngles = std::array<double, 4>;

// False (angles untouched) when opening_mm lies outside 0 to kMaxOpening_mm, both ends
// allowed. Otherwise angles_rad = (a, -a, -a, a) with
// a = pi/2 - acos((opening/2 + 3 - 19) / 41.9).
bool anglesForOpening(double opening_mm, HandAngles& angles_rad);

}  // namespace finger
