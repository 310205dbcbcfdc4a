#include "drive_base.h"

#include <algorithm>
#include <cmath>

#include "wall_geometry.h"

namespace basesim {
namespace {

// Leaving contact needs this much room beyond the footprint, so that a base pushed against a
// wall does not count a new collision for every step.
constexpr double kContactRelease_m = 0.01;
constexpr double kStraightTurn_rad = 1e-9;
constexpr double kTimeTolerance_s = 1e-9;

double approach(double current, double target, double maxChange) {
  return current + std::clamp(target - current, -maxChange, maxChange);
}

double normalizedAngle(double angle_rad) { return std::remainder(angle_rad, 2.0 * M_PI); }

}  // namespace

WorldPose moveAlongArc(const WorldPose& pose, double distance_m, double turn_rad) {
  WorldPose next = pose;
  if (std::fabs(turn_rad) < kStraightTurn_rad) {
    next.x_m += distance_m * std::cos(pose.heading_rad);
    next.y_m += distance_m * std::sin(pose.heading_rad);
  } else {
    const double radius = distance_m / turn_rad;
    next.x_m += radius * (std::sin(pose.heading_rad + turn_rad) - std::sin(pose.heading_rad));
    next.y_m += radius * (std::cos(pose.heading_rad) - std::cos(pose.heading_rad + turn_rad));
  }
  next.heading_rad = normalizedAngle(pose.heading_rad + turn_rad);
  return next;
}

DriveBase::DriveBase(const DriveBaseParams& params, std::vector<WallSegment> walls,
                     const WorldPose& start, double start_s)
    : params_(params),
      walls_(std::move(walls)),
      pose_(start),
      start_s_(start_s),
      lastCommand_s_(start_s),
      noiseSource_(params.noiseSeed) {}

void DriveBase::command(const BaseVelocity& target, double now_s) {
  const bool finite = std::isfinite(target.vx_mps) && std::isfinite(target.va_radps);
  target_ = finite ? target : BaseVelocity{};
  lastCommand_s_ = now_s;
  watchdogTripped_ = false;
  watchdogBraking_ = false;
}

std::vector<BaseEvent> DriveBase::advanceTo(double now_s) {
  std::vector<BaseEvent> events;
  // Step ends are counted from the start, so rounding does not accumulate over a long run.
  while (start_s_ + (stepsDone_ + 1) * params_.integrationStep_s <= now_s + kTimeTolerance_s) {
    ++stepsDone_;
    integrateOneStep(start_s_ + stepsDone_ * params_.integrationStep_s, events);
  }
  return events;
}

void DriveBase::integrateOneStep(double stepEnd_s, std::vector<BaseEvent>& events) {
  const double dt = params_.integrationStep_s;
  if (!watchdogTripped_ && stepEnd_s - lastCommand_s_ > params_.watchdog_s) {
    watchdogTripped_ = true;
    watchdogBraking_ = target_.vx_mps != 0.0 || target_.va_radps != 0.0;
    target_ = BaseVelocity{};
  }
  const BaseVelocity start = velocity_;
  velocity_.vx_mps = approach(velocity_.vx_mps, target_.vx_mps, params_.maxLinearAccel_mps2 * dt);
  velocity_.va_radps =
      approach(velocity_.va_radps, target_.va_radps, params_.maxAngularAccel_radps2 * dt);
  // Trapezoidal: the mean speed over the step, as the wheels ramp linearly.
  const double distance_m = 0.5 * (start.vx_mps + velocity_.vx_mps) * dt;
  const double turn_rad = 0.5 * (start.va_radps + velocity_.va_radps) * dt;

  const WorldPose candidate = moveAlongArc(pose_, distance_m, turn_rad);
  const double clearance_m = clearanceToWalls_m(walls_, {candidate.x_m, candidate.y_m});
  if (clearance_m < params_.footprintRadius_m) {
    velocity_ = BaseVelocity{};
    target_ = BaseVelocity{};
    watchdogBraking_ = false;  // the wall stopped it
    if (!inContact_) {
      inContact_ = true;
      ++collisionCount_;
      events.push_back({BaseEvent::Kind::Collision, stepEnd_s, pose_, collisionCount_});
    }
    return;
  }
  if (clearance_m > params_.footprintRadius_m + kContactRelease_m) inContact_ = false;
  pose_ = candidate;
  travelled_m_ += std::fabs(distance_m);

  // Each wheel's travel carries its own relative error; the odometry integrates what the
  // wheels report.
  const double halfTread_m = 0.5 * params_.tread_m;
  double left_m = distance_m - turn_rad * halfTread_m;
  double right_m = distance_m + turn_rad * halfTread_m;
  if (params_.odometryNoise > 0.0) {
    left_m *= 1.0 + params_.odometryNoise * noise_(noiseSource_);
    right_m *= 1.0 + params_.odometryNoise * noise_(noiseSource_);
  }
  odometry_ =
      moveAlongArc(odometry_, 0.5 * (left_m + right_m), (right_m - left_m) / params_.tread_m);

  if (watchdogBraking_ && velocity_.vx_mps == 0.0 && velocity_.va_radps == 0.0) {
    watchdogBraking_ = false;
    events.push_back(
        {BaseEvent::Kind::WatchdogStop, stepEnd_s, pose_, 0, stepEnd_s - lastCommand_s_});
  }
}

}  // namespace basesim
