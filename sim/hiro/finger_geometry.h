#pragma once
// The simulated hand's finger law, on the HIRO hand's dimensions (hiro_hand_model.h): finger
// joint 0 (and, mirrored, joint 2) turns a link; joints 1 and 3 are the fingertip joints and
// do not change the opening.

#include <array>
#include <optional>

namespace hirosim {

using FingerAngles = std::array<double, 4>;

// Distance between the fingertips for the hand's four finger angles (radians), in metres.
double fingerOpening_m(const FingerAngles& angles);

// Distance from the hand pose's origin to the fingertips along the approach axis, in metres.
double fingertipDepth_m(const FingerAngles& angles);

// Finger angles (a, -a, -a, a) that open the fingertips by opening_m; nothing outside
// 0 .. 2 * (19 + 41.9) mm.
std::optional<FingerAngles> fingerAnglesForOpening(double opening_m);

}  // namespace hirosim
