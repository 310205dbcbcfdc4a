#pragma once

#include <array>
#include <vector>

#include "gateway/geometry/pose6.h"
#include "gateway/ikfast/ikfast_solution.h"

// One arm's solver and joint-limit filter.
struct ArmIkCalls {
  bool (*ik)(const double* translation, const double* rotation, const double* freeValues,
             ikfast::IKSolutionList& solutions);
  bool (*filter)(const ikfast::IKSolutionList& solutions, std::vector<int>& admissible);
};

const ArmIkCalls& leftArmIk();
const ArmIkCalls& rightArmIk();

// Solves the chest-frame pose and filters the solutions by the joint limits. Returns the number
// of admissible solutions (0 when there is none) and puts the first admissible one (lowest
// solver index) into chosen_rad. solutions and admissible are emptied first and hold the
// solver's list and the admissible indices afterwards.
int solveAdmissible(const ArmIkCalls& arm, const geometry::Pose6& pose_chest,
                    ikfast::IKSolutionList& solutions, std::vector<int>& admissible,
                    std::array<double, hiro::kArmJointCount>& chosen_rad);
