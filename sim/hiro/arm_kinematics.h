#pragma once
// The arm model the simulated controller moves its hands with. The program uses the
// gateway's HIRO arm model, so that the gateway's IK and the simulator's forward
// kinematics agree.

#include <optional>

#include "cell_world.h"
#include "gateway/geometry/frame.h"
#include "joint_layout.h"

namespace hirosim {

class ArmKinematics {
 public:
  virtual ~ArmKinematics() = default;

  // Hand pose in the robot frame R for the arm's six joints (radians) with the chest
  // turned by chestYaw_rad.
  virtual geometry::Frame handPose(Side side, const ArmJoints& joints,
                                   double chestYaw_rad) const = 0;

  // Arm joints that put the hand at `target` (robot frame R) with the chest turned by
  // chestYaw_rad, the solution nearest to `current` when there are several; nothing when the
  // arm cannot reach it.
  virtual std::optional<ArmJoints> solve(Side side, const geometry::Pose6& target,
                                         double chestYaw_rad, const ArmJoints& current) const = 0;

  // The approach and opening directions in the hand pose's own frame.
  virtual HandAxes handAxes() const = 0;
};

}  // namespace hirosim
