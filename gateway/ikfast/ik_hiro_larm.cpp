#include "gateway/ikfast/arm_ik_call.h"
#include "gateway/ikfast/ik_hiro_arms.h"

int getNumJointsL() { return hiro::kArmJointCount; }

bool ikL(const double* translation, const double* rotation, const double* /*freeValues*/,
         ikfast::IKSolutionList& solutions) {
  return ikfast::solveArmInto(hiro::ArmSide::Left, translation, rotation, solutions);
}

void fkL(const double* joints_rad, double* translation, double* rotation) {
  ikfast::forwardArmInto(hiro::ArmSide::Left, joints_rad, translation, rotation);
}
