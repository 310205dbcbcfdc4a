#pragma once

#include <cstdint>

#include "path_record.h"

// Reading odometry into the planner frame and predicting the pose one period ahead.
namespace planner {

constexpr float kWheelTread_mm = 538.8f;

// Odometry as the ports carry it: metres, radians, m/s, rad/s.
struct OdometryPose {
  double x_m = 0.0;
  double y_m = 0.0;
  double heading_rad = 0.0;
};
struct OdometryVelocity {
  double vx_mps = 0.0;
  double va_radps = 0.0;
};

// Measured motion in the planner's units, kept between the reads and the prediction.
struct MeasuredMotion {
  double x_mm = 0.0;
  double y_mm = 0.0;
  double heading_deg = 0.0;  // in [-180, 180)
  float v_mmps = 0.0f;
  float w_radps = 0.0f;
  float leftWheel_mmps = 0.0f;
  float rightWheel_mmps = 0.0f;

  void takePose(const OdometryPose& pose);
  void takeVelocity(const OdometryVelocity& velocity);
};

// The planner frame: the odometry frame moved to the start pose, with its y axis and its
// angle sense mirrored.
class PlannerFrame {
 public:
  explicit PlannerFrame(const PlannerPose& start = PlannerPose{});
  const PlannerPose& start() const { return start_; }
  PlannerPose fromOdometry(double x_mm, double y_mm, double heading_deg) const;

 private:
  PlannerPose start_;
  double cos0_;
  double sin0_;
};

// Pose summary handed to the subgoal selection and the drawing.
struct RobotState {
  GridCell robotCell{kRobotCell, kRobotCell};
  PlannerPose current;
  GridCell predictedCell;
  PlannerPose predicted;
};

// Puts the measured pose into path[step] and the pose after one period of the command in
// path[step+1] (from the mean of measured and commanded wheel speeds).
RobotState predictPose(PathBook& path, const PlannerFrame& frame, const MeasuredMotion& motion,
                       double loopTime_s);

// Wheel speeds (left, right) that a command (v, r) asks for, the tread honoured at any radius.
struct WheelSpeeds {
  float left_mmps;
  float right_mmps;
};
WheelSpeeds commandedWheelSpeeds(float v_mmps, float r_mm);

// Wheel speeds of a motion primitive: radii below half the tread turn on the spot.
WheelSpeeds primitiveWheelSpeeds(float v_mmps, float r_mm);

}  // namespace planner
