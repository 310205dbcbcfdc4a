#pragma once

#include <planner/planner_cycle.h>

namespace planner::fakes {

// What a planner started without configuration of its own runs with: the default set of the
// component's profile.
inline PlannerSettings profileSettings() {
  PlannerSettings settings;
  settings.loopTime_s = 0.5;
  settings.robotMaxSpeed_mps = 0.3;
  settings.route.setpoint1_mm = 300;
  settings.route.setpoint2_mm = 800;
  settings.route.checkpoint1_mm = 500;
  settings.route.checkpoint2_mm = 800;
  settings.route.checkpoint3_mm = 1000;
  settings.route.checkpoint4_mm = 1000;
  return settings;
}

}  // namespace planner::fakes
