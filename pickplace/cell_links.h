#pragma once
// What the coordinator needs of the outside world: the gateway's IK queries, the robot
// controller, the robot's protective stop and the object pose estimation. The component
// implements it over CORBA; tests and benchmarks plug in their own.
//
// A call whose service is not connected is not made. A call the peer fails (an ORB exception)
// is reported by the implementation as one line on the error stream naming the call, and
// answered with the `callFailed` status so that the task ends at once.

#include <array>
#include <vector>

#include "hand_pose.h"
#include "joint_angles.h"

namespace pickplace {

enum class IkStatus { found, notFound, callFailed };

enum class CallStatus { ok, notConnected, callFailed };

// One joint trajectory for the controller: points of kControllerPointSize degrees and the
// seconds to reach each.
struct Trajectory {
  std::vector<std::vector<double>> points_deg;
  std::vector<double> times_s;
};

// An answer of the estimation gateway.
struct ObjectEstimate {
  long result = -1;  // -1: no object
  long classId = 0;
  std::array<double, 3> size_m{};  // unused, width, height
  HandPose pose;                   // in R; yaw as orientation y
};

class ArmIk {
 public:
  virtual ~ArmIk() = default;
  // Whether `arm` reaches `pose` (frame R) with the chest turned by chest_rad. notFound also
  // when the gateway is not connected.
  virtual IkStatus isSolutionFound(Arm arm, const HandPose& pose, double chest_rad) = 0;
  // The arm's joint angles for `pose`, in the arm's group of `solution`.
  virtual IkStatus solve(Arm arm, const HandPose& pose, double chest_rad,
                         JointAngles& solution) = 0;
};

class CellLinks : public ArmIk {
 public:
  virtual bool motionConnected() = 0;
  virtual bool hiroNxConnected() = 0;
  virtual bool briskoConnected() = 0;
  virtual bool estimatorConnected() = 0;

  // Moves the robot through the trajectory; returns when the motion has ended or a
  // protective stop ended it. `id` is the controller's result, 0 success.
  virtual CallStatus moveJoints(const Trajectory& trajectory, long& id) = 0;
  virtual CallStatus engageProtectiveStop() = 0;
  virtual CallStatus disengageProtectiveStop() = 0;
  // `world` is the vision frame's pose in R.
  virtual CallStatus estimateObject(const HandPose& world, ObjectEstimate& estimate) = 0;
};

}  // namespace pickplace
