#pragma once

#include "gateway/geometry/pose6.h"

// What the arm IK libraries take: the translation (x, y, z) and the rotation as a 3 x 3
// matrix stored row by row.
struct SolverInput {
  double translation[3];
  double rotation[9];
};

SolverInput solverInputFor(const geometry::Pose6& pose_chest);
