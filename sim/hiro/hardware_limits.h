#pragma once
// Joint limits of the simulated robot's hardware. They are a few degrees wider than the
// gateway's IK filter, so every admissible IK solution can be driven.

#include <array>
#include <optional>

#include "joint_layout.h"

namespace hirosim {

struct JointRange {
  double min_rad;
  double max_rad;
};

const std::array<JointRange, kJointCount>& hardwareJointLimits();

// Index of the first joint in `mask` whose value lies outside its limits (ends allowed).
std::optional<int> firstJointOutsideLimits(const JointVector& joints, const JointMask& mask);

}  // namespace hirosim
