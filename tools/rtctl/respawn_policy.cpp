#include "respawn_policy.h"

#include <algorithm>
#include <cmath>

namespace rtctl {

std::optional<double> RespawnSchedule::afterEnd(double ranFor_s) {
  if (ranFor_s >= kSteadyRun_s) {
    quickEnds_ = 0;
    return 0.0;
  }
  ++quickEnds_;
  if (quickEnds_ >= kMaxQuickEnds) return std::nullopt;
  if (quickEnds_ == 1) return 0.0;
  return std::min(kMaxBackoff_s, kFirstBackoff_s * std::pow(2.0, quickEnds_ - 2));
}

}  // namespace rtctl
