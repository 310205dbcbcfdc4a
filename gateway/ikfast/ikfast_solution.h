#pragma once

#include <array>
#include <vector>

#include "gateway/kinematics/hiro_arm_model.h"

// The solution list of the arm IK libraries, in the shape the gateway reads it: each solution
// hands out its joint values through GetSolution.
namespace ikfast {

class IKSolution {
 public:
  explicit IKSolution(const std::array<double, hiro::kArmJointCount>& joints_rad)
      : joints_rad_(joints_rad) {}

  // Writes one value per joint (radians) into joints_rad. The HIRO arms have no free joints,
  // so freeValues is not read and may be null.
  void GetSolution(double* joints_rad, const double* freeValues) const {
    (void)freeValues;
    for (int i = 0; i < hiro::kArmJointCount; ++i) joints_rad[i] = joints_rad_[i];
  }

  int GetDOF() const { return hiro::kArmJointCount; }

 private:
  std::array<double, hiro::kArmJointCount> joints_rad_;
};

using IKSolutionList = std::vector<IKSolution>;

}  // namespace ikfast
