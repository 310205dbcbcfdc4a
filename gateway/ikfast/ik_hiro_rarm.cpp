#include "gateway/ikfast/arm_ik_call.h"
#include "gateway/ikfast/ik_hiro_arms.h"

int getNumJointsR() { return hiro::kArmJointCount; }

bool ikR(const double* translation, const double* rotation, const double* /*freeValues*/,
         ikfast::IKSolutionList& solutions) {
  return ikfast::solveArmInto(hiro::ArmSide::Right, translation, rotation, solutions);
}

void fkR(const double* joints_rad, double* translation, double* rotation) {
  ikfast::forwardArmInto(hiro::ArmSide::Right, joints_rad, translation, rotation);
}
