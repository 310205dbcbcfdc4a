#pragma once
// The HIRO hand's finger law: each finger is a 41.9 mm link jointed 19 mm from the hand's
// centre, so an opening between the fingertips fixes the finger joint angles and how far the
// fingertips reach below the hand.

#include <optional>

#include "joint_angles.h"

namespace pickplace {

constexpr double kFingerLink_mm = 41.9;
constexpr double kFingerJointOffset_mm = 19.0;
// Widest opening: both links straight out.
constexpr double kMaxFingerOpening_mm = 2.0 * (kFingerLink_mm + kFingerJointOffset_mm);

// The four finger joints [a, -a - b, -a, a + b] for the opening d between the fingertips,
// with the extra closing b of the fingertip joints. Empty when d is outside
// 0..kMaxFingerOpening_mm.
std::optional<FingerAngles> fingerAnglesFor(double opening_mm, double backlash_rad);

// How far below the hand the fingertips reach at opening w. Empty when w is outside
// 0..kMaxFingerOpening_mm.
std::optional<double> fingertipDepth(double opening_mm);

}  // namespace pickplace
