#pragma once
// The coordinator's finger law: an opening between the fingertips fixes the finger joint angles
// and how far the fingertips reach below the hand (the hand's dimensions in hiro_hand_model.h).

#include <optional>

#include "gateway/kinematics/hiro_hand_model.h"
#include "joint_angles.h"

namespace pickplace {

// The four finger joints [a, -a - b, -a, a + b] for the opening d between the fingertips,
// with the extra closing b of the fingertip joints. Empty when d is outside
// 0..hiro::kWidestFingerSpan_mm.
std::optional<FingerAngles> fingerAnglesFor(double opening_mm, double backlash_rad);

// How far below the hand the fingertips reach at opening w. Empty when w is outside
// 0..hiro::kWidestFingerSpan_mm.
std::optional<double> fingertipDepth(double opening_mm);

}  // namespace pickplace
