#pragma once
// A plain in-process stand-in for the outside world: IK answers from a rule, a controller
// that records trajectories. For tests of the planners and the conversion, and for benches.

#include <functional>
#include <vector>

#include "cell_links.h"

namespace pickplace_fakes {

struct IkQuery {
  pickplace::Arm arm;
  pickplace::HandPose pose;
  double chest_rad;
};

// A made-up but deterministic arm solution that differs from pose to pose.
std::vector<double> armSolutionFor(const pickplace::HandPose& pose, double chest_rad);

class FakeCellLinks : public pickplace::CellLinks {
 public:
  pickplace::IkStatus isSolutionFound(pickplace::Arm arm, const pickplace::HandPose& pose,
                                      double chest_rad) override;
  pickplace::IkStatus solve(pickplace::Arm arm, const pickplace::HandPose& pose, double chest_rad,
                            pickplace::JointAngles& solution) override;

  bool motionConnected() override { return motionPresent; }
  bool hiroNxConnected() override { return hiroNxPresent; }
  bool briskoConnected() override { return true; }
  bool estimatorConnected() override { return true; }

  pickplace::CallStatus moveJoints(const pickplace::Trajectory& trajectory, long& id) override;
  pickplace::CallStatus engageProtectiveStop() override { return pickplace::CallStatus::ok; }
  pickplace::CallStatus disengageProtectiveStop() override { return pickplace::CallStatus::ok; }
  pickplace::CallStatus estimateObject(const pickplace::HandPose& world,
                                       pickplace::ObjectEstimate& estimate) override;

  // Reachability rule; every pose is reachable by default.
  std::function<bool(const IkQuery&)> reachable = [](const IkQuery&) { return true; };
  // When set, solve answers "no solution".
  bool solveFails = false;
  // When set, solve answers "found" but fills no group.
  bool solveEmpty = false;
  bool motionPresent = true;
  bool hiroNxPresent = true;
  long controllerId = 0;
  pickplace::ObjectEstimate estimate;

  std::vector<IkQuery> reachQueries;
  std::vector<IkQuery> solveQueries;
  std::vector<pickplace::Trajectory> trajectories;
};

}  // namespace pickplace_fakes
