#include "gateway/ik/solution_filter.h"

#include <cstdio>

#include "gateway/ik/arm_joint_limits.h"
#include "gateway/ikfast/ik_hiro_arms.h"

namespace ikfast {
namespace hiro {
namespace {

bool filterWith(int jointCount, const char* jointsMismatchMessage,
                const ik_limits::ArmRanges& ranges, const IKSolutionList& solutions,
                std::vector<int>& admissible) {
  if (jointCount != ::hiro::kArmJointCount) {
    std::fputs(jointsMismatchMessage, stderr);
    return false;
  }
  admissible.clear();
  for (int i = 0; i < static_cast<int>(solutions.size()); ++i) {
    double joints_rad[::hiro::kArmJointCount];
    solutions[i].GetSolution(joints_rad, nullptr);
    if (ik_limits::withinRanges(ranges, joints_rad)) admissible.push_back(i);
  }
  return !admissible.empty();
}

}  // namespace

namespace larm {
bool filter(const IKSolutionList& solutions, std::vector<int>& admissible) {
  return filterWith(getNumJointsL(), "ikfast::hiro::larm::filter(): # joints not match.",
                    ik_limits::kLeftArm, solutions, admissible);
}
}  // namespace larm

namespace rarm {
bool filter(const IKSolutionList& solutions, std::vector<int>& admissible) {
  return filterWith(getNumJointsR(), "ikfast::hiro::rarm::filter(): # joints not match.",
                    ik_limits::kRightArm, solutions, admissible);
}
}  // namespace rarm

}  // namespace hiro
}  // namespace ikfast
