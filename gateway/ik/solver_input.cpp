#include "gateway/ik/solver_input.h"

#include "gateway/geometry/roll_pitch_yaw.h"

SolverInput solverInputFor(const geometry::Pose6& pose_chest) {
  SolverInput input;
  input.translation[0] = pose_chest.x_m;
  input.translation[1] = pose_chest.y_m;
  input.translation[2] = pose_chest.z_m;
  const geometry::Rotation rotation = geometry::rotationFromRollPitchYaw(
      {pose_chest.roll_rad, pose_chest.pitch_rad, pose_chest.yaw_rad});
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) input.rotation[3 * r + c] = rotation(r, c);
  }
  return input;
}
