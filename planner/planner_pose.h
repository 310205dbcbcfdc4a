#pragma once

// Points and poses in the planner frame: the odometry frame moved to the start pose, with its
// y axis and its angle sense mirrored (see PlannerFrame). Millimetres and radians, single
// precision as the planner computes them.
namespace planner {

struct PlannerPoint {
  float x_mm = 0.0f;
  float y_mm = 0.0f;
};

struct PlannerPose {
  float x_mm = 0.0f;
  float y_mm = 0.0f;
  float theta_rad = 0.0f;

  PlannerPoint position() const { return PlannerPoint{x_mm, y_mm}; }
};

}  // namespace planner
