#pragma once
// A plain in-process stand-in for the outside world: IK answers from a rule, a controller
// that records trajectories. For tests of the planners and the conversion, and for benches.

#include <functional>
#include <optional>
#include <vector>

#include "cell_links.h"

namespace pickplace::fakes {

struct IkQuery {
  Arm arm;
  HandPose pose;
  double chest_rad;
};

// A made-up but deterministic arm solution that differs from pose to pose.
std::vector<double> armSolutionFor(const HandPose& pose, double chest_rad);

class FakeCellLinks : public CellLinks {
 public:
  IkStatus isSolutionFound(Arm arm, const HandPose& pose, double chest_rad) override;
  IkStatus solve(Arm arm, const HandPose& pose, double chest_rad, JointAngles& solution) override;

  bool motionConnected() override { return motionPresent; }
  bool hiroNxConnected() override { return hiroNxPresent; }
  bool briskoConnected() override { return true; }
  bool estimatorConnected() override { return true; }

  CallStatus moveJoints(const Trajectory& trajectory, long& id) override;
  CallStatus engageProtectiveStop() override { return CallStatus::ok; }
  CallStatus disengageProtectiveStop() override { return CallStatus::ok; }
  CallStatus estimateObject(const HandPose& world, ObjectEstimate& estimate) override;

  // Reachability rule; every pose is reachable by default.
  std::function<bool(const IkQuery&)> reachable = [](const IkQuery&) { return true; };
  // When set, the reachability query of this index (from 0) fails as a broken call does.
  std::optional<std::size_t> failingQuery;
  // When set, solve answers "no solution".
  bool solveFails = false;
  // When set, solve answers "found" but fills no group.
  bool solveEmpty = false;
  bool motionPresent = true;
  bool hiroNxPresent = true;
  long controllerId = 0;
  ObjectEstimate estimate;

  std::vector<IkQuery> reachQueries;
  std::vector<IkQuery> solveQueries;
  std::vector<Trajectory> trajectories;
};

}  // namespace pickplace::fakes
