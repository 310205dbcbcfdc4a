#pragma once

#include <vector>

#include "gateway/ikfast/ikfast_solution.h"

// Keep the IK solutions whose joints lie within the arm's ranges (arm_joint_limits.h).
// Each fills admissible with the indices of the admissible solutions in list order and returns
// true when there is at least one. When the arm's library does not report six joints it
// writes "ikfast::hiro::larm::filter(): # joints not match." (rarm for the right) to standard
// error and returns false.
namespace ikfast {
namespace hiro {
namespace larm {
bool filter(const IKSolutionList& solutions, std::vector<int>& admissible);
}  // namespace larm
namespace rarm {
bool filter(const IKSolutionList& solutions, std::vector<int>& admissible);
}  // namespace rarm
}  // namespace hiro
}  // namespace ikfast
