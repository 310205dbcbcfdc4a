#pragma once
// The HIRO hand's finger geometry: two opposed fingers, each a 41.9 mm link jointed 19 mm
// from the hand's centre. Finger joint 0 (and, mirrored, joint 2) turns the link; joints 1
// and 3 are the fingertip joints and do not change the opening.

#include <array>
#include <optional>

namespace hirosim {

constexpr double kFingerLink_mm = 41.9;
constexpr double kFingerJointOffset_mm = 19.0;
// Distance from the hand pose's origin to the finger joints along the approach axis.
constexpr double kFingerBaseDepth_mm = 75.0;

using FingerAngles = std::array<double, 4>;

// Distance between the fingertips for the hand's four finger angles (radians), in metres.
double fingerOpening_m(const FingerAngles& angles);

// Distance from the hand pose's origin to the fingertips along the approach axis, in metres.
double fingertipDepth_m(const FingerAngles& angles);

// Finger angles (a, -a, -a, a) that open the fingertips by opening_m; nothing outside
// 0 .. 2 * (19 + 41.9) mm.
std::optional<FingerAngles> fingerAnglesForOpening(double opening_m);

}  // namespace hirosim
