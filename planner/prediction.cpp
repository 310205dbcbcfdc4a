#include "prediction.h"

#include <cmath>

namespace planner {
namespace {

constexpr double kDegPerRadOdometry = 57.29577951;
constexpr double kRadPerDegFrame = 0.017453292222222222;
constexpr double kHalfTurn_deg = 180.0;
constexpr double kFullTurn_deg = 360.0;
constexpr double kMmPerM = 1000.0;

}  // namespace

void MeasuredMotion::takePose(const OdometryPose& pose) {
  x_mm = pose.x_m * kMmPerM;
  y_mm = pose.y_m * kMmPerM;
  heading_deg = pose.heading_rad * kDegPerRadOdometry;
  while (heading_deg >= kHalfTurn_deg) heading_deg -= kFullTurn_deg;
  while (heading_deg < -kHalfTurn_deg) heading_deg += kFullTurn_deg;
}

void MeasuredMotion::takeVelocity(const OdometryVelocity& velocity) {
  v_mmps = static_cast<float>(velocity.vx_mps * kMmPerM);
  w_radps = static_cast<float>(velocity.va_radps);
  leftWheel_mmps = v_mmps - w_radps * kWheelTread_mm / 2;
  rightWheel_mmps = v_mmps + w_radps * kWheelTread_mm / 2;
}

PlannerFrame::PlannerFrame(const PlannerPose& start)
    : start_(start), cos0_(std::cos(start.theta_rad)), sin0_(std::sin(start.theta_rad)) {}

PlannerPose PlannerFrame::fromOdometry(double x_mm, double y_mm, double heading_deg) const {
  PlannerPose pose;
  pose.x_mm = start_.x_mm + static_cast<float>(x_mm * cos0_ - y_mm * sin0_);
  pose.y_mm = start_.y_mm + static_cast<float>(-y_mm * cos0_ - x_mm * sin0_);
  pose.theta_rad = static_cast<float>(start_.theta_rad - heading_deg * kRadPerDegFrame);
  return pose;
}

WheelSpeeds commandedWheelSpeeds(float v_mmps, float r_mm) {
  if (r_mm == 0.0f) return WheelSpeeds{v_mmps, v_mmps};
  return WheelSpeeds{v_mmps * (1 + kWheelTread_mm / (2 * r_mm)),
                     v_mmps * (1 - kWheelTread_mm / (2 * r_mm))};
}

WheelSpeeds primitiveWheelSpeeds(float v_mmps, float r_mm) {
  const float halfTread_mm = kWheelTread_mm / 2;
  if (std::fabs(r_mm) >= halfTread_mm)
    return WheelSpeeds{v_mmps * (r_mm + halfTread_mm) / r_mm,
                       v_mmps * (r_mm - halfTread_mm) / r_mm};
  if (r_mm != 0.0f) return WheelSpeeds{v_mmps, -v_mmps};
  return WheelSpeeds{v_mmps, v_mmps};
}

RobotState predictPose(PathBook& path, const PlannerFrame& frame, const MeasuredMotion& motion,
                       double loopTime_s) {
  PathRecord& now = path.current();
  PathRecord& next = path.executing();
  now.pose = frame.fromOdometry(motion.x_mm, motion.y_mm, motion.heading_deg);

  const WheelSpeeds commanded = commandedWheelSpeeds(next.v_mmps, next.r_mm);
  const float left = (motion.leftWheel_mmps + commanded.left_mmps) / 2;
  const float right = (motion.rightWheel_mmps + commanded.right_mmps) / 2;
  const double turn_rad = (left - right) / kWheelTread_mm * loopTime_s;
  double chord_mm;
  if (left == right) {
    chord_mm = right * loopTime_s;
  } else {
    const double turnRadius_mm = (kWheelTread_mm / 2) * (right + left) / (left - right);
    chord_mm = 2 * turnRadius_mm * std::sin(turn_rad / 2);
  }
  const double heading_rad = now.pose.theta_rad + turn_rad / 2;
  next.pose.theta_rad = static_cast<float>(now.pose.theta_rad + turn_rad);
  next.pose.x_mm = static_cast<float>(now.pose.x_mm + chord_mm * std::cos(heading_rad));
  next.pose.y_mm = static_cast<float>(now.pose.y_mm + chord_mm * std::sin(heading_rad));

  RobotState state;
  state.current = now.pose;
  state.predicted = next.pose;
  state.predictedCell = worldToCell(now.pose, next.pose.position());
  return state;
}

}  // namespace planner
