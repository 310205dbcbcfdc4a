#include "base_world.h"

#include <cmath>
#include <cstdio>

#include "wall_geometry.h"

namespace basesim {

BaseWorld::BaseWorld(const FloorPlan& plan, const DriveBaseParams& base,
                     const RangeSensorParams& sensor, const SimClock& clock)
    : plan_(plan),
      footprintRadius_m_(base.footprintRadius_m),
      start_s_(clock.now_s()),
      sensor_(sensor),
      clock_(clock),
      base_(base, plan.walls, plan.start, start_s_) {}

void BaseWorld::catchUp() {
  const auto events = base_.advanceTo(clock_.now_s());
  pendingEvents_.insert(pendingEvents_.end(), events.begin(), events.end());
}

void BaseWorld::command(const BaseVelocity& target) {
  std::lock_guard<std::mutex> lock(mutex_);
  catchUp();
  base_.command(target, clock_.now_s());
}

std::vector<BaseEvent> BaseWorld::update() {
  std::lock_guard<std::mutex> lock(mutex_);
  catchUp();
  std::vector<BaseEvent> events;
  events.swap(pendingEvents_);
  return events;
}

Odometry BaseWorld::odometry() {
  std::lock_guard<std::mutex> lock(mutex_);
  catchUp();
  return {base_.odometryPose(), base_.velocity()};
}

BaseStatus BaseWorld::status() {
  std::lock_guard<std::mutex> lock(mutex_);
  catchUp();
  return {base_.collisionCount(), base_.travelled_m(), base_.pose(), base_.velocity(),
          clock_.now_s() - start_s_};
}

std::vector<float> BaseWorld::senseMap() {
  WorldPose pose;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    catchUp();
    pose = base_.pose();
  }
  return senseRelativeMap(plan_.walls, pose, sensor_);
}

std::string checkWorldSetup(const FloorPlan& plan, const DriveBaseParams& base) {
  const double clearance_m = clearanceToWalls_m(plan.walls, {plan.start.x_m, plan.start.y_m});
  if (clearance_m < base.footprintRadius_m) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "the start pose is %.3f m from a wall, inside the %.3f m footprint", clearance_m,
                  base.footprintRadius_m);
    return text;
  }
  return "";
}

std::string describeEvent(const BaseEvent& event) {
  char text[200];
  const double heading_deg = event.pose.heading_rad * 180.0 / M_PI;
  if (event.kind == BaseEvent::Kind::Collision) {
    std::snprintf(text, sizeof text, "collision #%d at x=%.3f y=%.3f heading=%.1f deg",
                  event.collisionNumber, event.pose.x_m, event.pose.y_m, heading_deg);
  } else {
    std::snprintf(text, sizeof text,
                  "no command for %.2f s: the watchdog brought the base to rest at x=%.3f y=%.3f",
                  event.sinceCommand_s, event.pose.x_m, event.pose.y_m);
  }
  return text;
}

}  // namespace basesim
