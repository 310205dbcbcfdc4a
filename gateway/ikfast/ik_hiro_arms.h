#pragma once

#include "gateway/ikfast/ikfast_solution.h"

// The calls exported by the arm IK libraries: ik-hiro-larm (…L) and ik-hiro-rarm (…R).
// Poses are in the chest frame of hiro_arm_model.h: translation = hand pose point (x, y, z,
// metres), rotation = hand orientation as a 3 x 3 matrix stored row by row.

// Number of joints the solver computes (6).
int getNumJointsL();
int getNumJointsR();

// Fills solutions with every joint solution of the pose (up to eight, fixed order, see
// hiro::inverseKinematics); freeValues is not read and may be null. The list is emptied
// first. True when it produced solutions.
bool ikL(const double* translation, const double* rotation, const double* freeValues,
         ikfast::IKSolutionList& solutions);
bool ikR(const double* translation, const double* rotation, const double* freeValues,
         ikfast::IKSolutionList& solutions);

// Forward kinematics of the same model: six joint angles (radians) in, the hand pose out in
// the layout of ikL's input.
void fkL(const double* joints_rad, double* translation, double* rotation);
void fkR(const double* joints_rad, double* translation, double* rotation);
