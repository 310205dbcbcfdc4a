#pragma once
// The simulated base in its building, shared between the component's execution thread
// (commands, integration, odometry) and the ORB threads that ask for the map and the status.
// Every member function locks; each first brings the simulation up to the clock's time.

#include <mutex>
#include <string>
#include <vector>

#include "drive_base.h"
#include "floor_plan.h"
#include "relative_map.h"
#include "sim_clock.h"

namespace basesim {

struct BaseStatus {
  int collisions = 0;
  double travelled_m = 0.0;
  WorldPose pose;         // true pose in the building
  BaseVelocity velocity;  // true velocity
  double time_s = 0.0;    // simulated seconds since the world started
};

struct Odometry {
  WorldPose pose;  // from the start pose, as the wheels report it
  BaseVelocity velocity;
};

class BaseWorld {
 public:
  BaseWorld(const FloorPlan& plan, const DriveBaseParams& base, const RangeSensorParams& sensor,
            const SimClock& clock);
  BaseWorld(const BaseWorld&) = delete;
  BaseWorld& operator=(const BaseWorld&) = delete;

  void command(const BaseVelocity& target);
  // Brings the simulation to the clock's time; returns the events since the last call.
  std::vector<BaseEvent> update();
  Odometry odometry();
  BaseStatus status();
  std::vector<float> senseMap();

  // The building as loaded; fixed for the world's life.
  const FloorPlan& plan() const { return plan_; }
  double footprintRadius_m() const { return footprintRadius_m_; }

 private:
  void catchUp();

  const FloorPlan plan_;
  const double footprintRadius_m_;
  const double start_s_;
  const RangeSensorParams sensor_;
  const SimClock& clock_;
  std::mutex mutex_;
  DriveBase base_;
  std::vector<BaseEvent> pendingEvents_;
};

// Empty when the base fits at the plan's start; otherwise why not (one line). The parameters
// themselves are checked where they are set.
std::string checkWorldSetup(const FloorPlan& plan, const DriveBaseParams& base);

// The line printed for an event, e.g. "collision #1 at x=1.200 y=0.000 heading=90.0 deg".
std::string describeEvent(const BaseEvent& event);

}  // namespace basesim
