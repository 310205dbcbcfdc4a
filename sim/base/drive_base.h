#pragma once
// The simulated differential-drive base: follows the last velocity command within its
// acceleration limits, integrated in fixed time steps, stops on a wall contact and when
// commands stop coming, and keeps a wheel odometry that may drift (seeded noise).
//
// Not thread-safe; BaseWorld guards it. Time is passed in (seconds on any monotonic clock) so
// that tests can drive it step by step.

#include <random>
#include <vector>

#include "floor_plan.h"

namespace basesim {

struct DriveBaseParams {
  double tread_m = 0.5388;          // distance between the wheels
  double footprintRadius_m = 0.15;  // round outline that touches walls
  double maxLinearAccel_mps2 = 0.8;
  double maxAngularAccel_radps2 = 2.0;
  // No command for longer than this stops the base: the velocity-command time-out common on
  // differential-drive bases.
  double watchdog_s = 0.5;
  double integrationStep_s = 0.005;
  double odometryNoise = 0.0;  // relative standard deviation of each wheel's travel
  unsigned noiseSeed = 1;
};

struct BaseVelocity {
  double vx_mps = 0.0;
  double va_radps = 0.0;  // positive counter-clockwise
};

// Something the base did on its own that its operator should see: a wall contact, or the
// watchdog bringing a moving base to rest (reported once it is at rest, so a lapse that the
// next command ends is no event).
struct BaseEvent {
  enum class Kind { Collision, WatchdogStop };
  Kind kind;
  double time_s;
  WorldPose pose;               // world pose at the event
  int collisionNumber = 0;      // 1 for the first collision, ...; 0 for other events
  double sinceCommand_s = 0.0;  // WatchdogStop: from the last command to rest
};

class DriveBase {
 public:
  DriveBase(const DriveBaseParams& params, std::vector<WallSegment> walls, const WorldPose& start,
            double start_s);

  // Sets the velocity to follow from now on; non-finite values are taken as a stop.
  void command(const BaseVelocity& target, double now_s);

  // Integrates up to `now_s` in whole integration steps and returns what happened meanwhile.
  std::vector<BaseEvent> advanceTo(double now_s);

  WorldPose pose() const { return pose_; }
  // The base's own estimate: starts at (0, 0, 0) at the start pose.
  WorldPose odometryPose() const { return odometry_; }
  BaseVelocity velocity() const { return velocity_; }
  int collisionCount() const { return collisionCount_; }
  double travelled_m() const { return travelled_m_; }
  bool inContact() const { return inContact_; }
  const DriveBaseParams& params() const { return params_; }

 private:
  void integrateOneStep(double stepEnd_s, std::vector<BaseEvent>& events);

  const DriveBaseParams params_;
  const std::vector<WallSegment> walls_;
  WorldPose pose_;
  WorldPose odometry_;
  BaseVelocity velocity_;
  BaseVelocity target_;
  const double start_s_;
  long long stepsDone_ = 0;
  double lastCommand_s_;
  bool watchdogTripped_ = false;
  bool watchdogBraking_ = false;  // tripped while moving, not yet at rest
  bool inContact_ = false;
  int collisionCount_ = 0;
  double travelled_m_ = 0.0;
  std::mt19937 noiseSource_;
  std::normal_distribution<double> noise_{0.0, 1.0};
};

// Moves `pose` along an arc of `distance_m` that turns by `turn_rad` (exact for constant
// wheel speeds).
WorldPose moveAlongArc(const WorldPose& pose, double distance_m, double turn_rad);

}  // namespace basesim
