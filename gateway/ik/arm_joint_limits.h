#pragma once

#include <array>

#include "gateway/kinematics/hiro_arm_model.h"

// The joint ranges within which the gateway accepts an IK solution, inclusive at both ends.
// Degrees here; compared in radians.
namespace ik_limits {

struct JointRange {
  double min_deg;
  double max_deg;
};

using ArmRanges = std::array<JointRange, hiro::kArmJointCount>;

// The arms differ only in joint 4, whose range is mirrored.
constexpr ArmRanges kLeftArm = {{{-85.0, 85.0},
                                 {-175.0, 115.0},
                                 {-155.0, 0.0},
                                 {-130.0, 190.0},
                                 {-95.0, 95.0},
                                 {-125.0, 125.0}}};
constexpr ArmRanges kRightArm = {{{-85.0, 85.0},
                                  {-175.0, 115.0},
                                  {-155.0, 0.0},
                                  {-190.0, 130.0},
                                  {-95.0, 95.0},
                                  {-125.0, 125.0}}};

constexpr double kRadiansPerDegree = 0.017453292519943295;

// True when every joint (radians) lies within its range.
inline bool withinRanges(const ArmRanges& ranges, const double* joints_rad) {
  for (int i = 0; i < hiro::kArmJointCount; ++i) {
    if (joints_rad[i] < ranges[i].min_deg * kRadiansPerDegree ||
        joints_rad[i] > ranges[i].max_deg * kRadiansPerDegree) {
      return false;
    }
  }
  return true;
}

}  // namespace ik_limits
