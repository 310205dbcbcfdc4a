#include "fake_cell_links.h"

namespace pickplace::fakes {

std::vector<double> armSolutionFor(const HandPose& pose, double chest_rad) {
  return {pose.x_m - chest_rad,         pose.y_m, pose.z_m, pose.roll_rad, pose.pitch_rad + 1.0,
          pose.yaw_rad + 0.5 * pose.z_m};
}

IkStatus FakeCellLinks::isSolutionFound(Arm arm, const HandPose& pose, double chest_rad) {
  reachQueries.push_back({arm, pose, chest_rad});
  if (failingQuery && *failingQuery + 1 == reachQueries.size()) {
    return IkStatus::callFailed;
  }
  return reachable(reachQueries.back()) ? IkStatus::found : IkStatus::notFound;
}

IkStatus FakeCellLinks::solve(Arm arm, const HandPose& pose, double chest_rad,
                              JointAngles& solution) {
  solveQueries.push_back({arm, pose, chest_rad});
  if (solveFails) {
    return IkStatus::notFound;
  }
  solution.assign(kJointGroupCount, {});
  if (solveEmpty) {
    return IkStatus::found;
  }
  solution[arm == Arm::left ? kLeftArm : kRightArm] = armSolutionFor(pose, chest_rad);
  return IkStatus::found;
}

CallStatus FakeCellLinks::moveJoints(const Trajectory& trajectory, long& id) {
  trajectories.push_back(trajectory);
  id = controllerId;
  return CallStatus::ok;
}

CallStatus FakeCellLinks::estimateObject(const HandPose&, ObjectEstimate& out) {
  out = estimate;
  return CallStatus::ok;
}

}  // namespace pickplace::fakes
