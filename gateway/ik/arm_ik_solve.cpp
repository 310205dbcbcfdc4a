#include "gateway/ik/arm_ik_solve.h"

#include "gateway/ik/solution_filter.h"
#include "gateway/ik/solver_input.h"
#include "gateway/ikfast/ik_hiro_arms.h"

const ArmIkCalls& leftArmIk() {
  static const ArmIkCalls calls{&ikL, &ikfast::hiro::larm::filter};
  return calls;
}

const ArmIkCalls& rightArmIk() {
  static const ArmIkCalls calls{&ikR, &ikfast::hiro::rarm::filter};
  return calls;
}

int solveAdmissible(const ArmIkCalls& arm, const geometry::Pose6& pose_chest,
                    ikfast::IKSolutionList& solutions, std::vector<int>& admissible,
                    std::array<double, hiro::kArmJointCount>& chosen_rad) {
  solutions.clear();
  admissible.clear();
  const SolverInput input = solverInputFor(pose_chest);
  if (!arm.ik(input.translation, input.rotation, nullptr, solutions)) return 0;
  if (!arm.filter(solutions, admissible)) return 0;
  solutions[admissible.front()].GetSolution(chosen_rad.data(), nullptr);
  return static_cast<int>(admissible.size());
}
