#include "hardware_limits.h"

#include <cmath>

namespace hirosim {
namespace {

constexpr double kRadPerDeg = M_PI / 180.0;

struct RangeDeg {
  double min_deg;
  double max_deg;
};

constexpr std::array<RangeDeg, kJointCount> kLimits_deg{{
    // body/head: chest yaw, head yaw, head pitch
    {-163, 163},
    {-70, 70},
    {-20, 70},
    // right arm
    {-88, 88},
    {-178, 118},
    {-158, 3},
    {-193, 133},
    {-98, 98},
    {-163, 163},
    // left arm
    {-88, 88},
    {-178, 118},
    {-158, 3},
    {-133, 193},
    {-98, 98},
    {-163, 163},
    // right hand, left hand
    {-110, 110},
    {-110, 110},
    {-110, 110},
    {-110, 110},
    {-110, 110},
    {-110, 110},
    {-110, 110},
    {-110, 110},
}};

std::array<JointRange, kJointCount> toRadians() {
  std::array<JointRange, kJointCount> limits{};
  for (int i = 0; i < kJointCount; ++i) {
    limits[i] = {kLimits_deg[i].min_deg * kRadPerDeg, kLimits_deg[i].max_deg * kRadPerDeg};
  }
  return limits;
}

}  // namespace

const std::array<JointRange, kJointCount>& hardwareJointLimits() {
  static const std::array<JointRange, kJointCount> limits = toRadians();
  return limits;
}

std::optional<int> firstJointOutsideLimits(const JointVector& joints, const JointMask& mask) {
  const auto& limits = hardwareJointLimits();
  for (int i = 0; i < kJointCount; ++i) {
    if (!mask.test(i)) continue;
    if (!(joints[i] >= limits[i].min_rad && joints[i] <= limits[i].max_rad)) return i;
  }
  return std::nullopt;
}

}  // namespace hirosim
