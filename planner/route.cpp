#include "route.h"

#include <cmath>
#include <cstdio>

#include "wall_probes.h"

namespace planner {
namespace {

// Front distance below which the corridor turns keep rotating.
constexpr float kTurnClearance_mm = 1500.0f;
constexpr float kBackOutFront_mm = 1000.0f;
constexpr float kReturnFront_mm = 500.0f;
constexpr float kWallBand_mm = 100.0f;
constexpr float kRadPerDeg = 0.017453293f;
constexpr float kPi = 3.1415926f;
constexpr float kTwoPi = 6.2831852f;
constexpr double kHeadingTolerance_rad = 0.08726646111111111;
constexpr double kFullRateAbove_rad = 0.5235987666666666;
constexpr double kFullTurnRate_radps = 0.523;

// The route prints every distance it measures: the operator's view of what it sees.
float printedFront(const LocalGrid& grid) {
  const float distance = frontDistance(grid);
  std::printf("distance %.2lf \n", static_cast<double>(distance));
  return distance;
}

float printedLeftWall(const LocalGrid& grid) {
  const float distance = leftWallDistance(grid);
  std::printf("distance wall left %.2lf \n", static_cast<double>(distance));
  return distance;
}

float printedRightWall(const LocalGrid& grid) {
  const float distance = rightWallDistance(grid);
  std::printf("distance wall right %.2lf \n", static_cast<double>(distance));
  return distance;
}

// Radius that brings the wall back to `keep`: `radiusWhenFar` when the wall is at least 100 mm
// farther, its opposite when at least 100 mm nearer, straight in between.
float followRadius(float wall_mm, float keep_mm, float radiusWhenFar_mm) {
  if (wall_mm >= keep_mm + kWallBand_mm) return radiusWhenFar_mm;
  if (wall_mm <= keep_mm - kWallBand_mm) return -radiusWhenFar_mm;
  return 0.0f;
}

void plan(PathBook& path, float v_mmps, float r_mm) {
  path.planned().v_mmps = v_mmps;
  path.planned().r_mm = r_mm;
}

RouteOutcome goOn() { return RouteOutcome{}; }

RouteOutcome direct(double vx_mps, double va_radps, AfterRouteStep then) {
  RouteOutcome outcome;
  outcome.then = then;
  outcome.direct = BaseVelocity{vx_mps, va_radps};
  return outcome;
}

RouteOutcome resumePlanned() {
  RouteOutcome outcome;
  outcome.resumePlanned = true;
  return outcome;
}

RouteOutcome report(const std::string& word) {
  RouteOutcome outcome;
  outcome.report = word;
  return outcome;
}

}  // namespace

void Route::reset(float maxSpeed_mmps) {
  state_ = RouteState::WaitForStart;
  maxSpeed_mmps_ = maxSpeed_mmps;
}

RouteOutcome Route::step(const LocalGrid& grid, PathBook& path, WordInbox& inbox) {
  const Input in{grid, path, inbox};
  switch (state_) {
    case RouteState::WaitForStart:
      return waitForStart(in);
    case RouteState::ApproachWall:
      return approachWall(in);
    case RouteState::StopAtWall:
      return stopAtWall(in);
    case RouteState::TurnIntoCorridor:
      return turnIntoCorridor(in);
    case RouteState::RotateUntilCorridorClear:
      return rotateUntilCorridorClear(in);
    case RouteState::StopBeforeCorridor:
      return stopBeforeCorridor(in);
    case RouteState::FollowLeftWall:
      return followLeftWall(in);
    case RouteState::ReportArrival:
      return reportArrival();
    case RouteState::WaitForGoBack:
      return waitForGoBack(in);
    case RouteState::SpinAtStation:
      return spinAtStation();
    case RouteState::BackOutOfStation:
      return backOutOfStation(in);
    case RouteState::TurnBack:
      return turnBack(in);
    case RouteState::BackAwayFromWall:
      return backAwayFromWall(in);
    case RouteState::RotateUntilReturnClear:
      return rotateUntilReturnClear(in);
    case RouteState::FollowRightWallBack:
      return followRightWallBack(in);
    case RouteState::TurnToLastLeg:
      return turnToLastLeg(in);
    case RouteState::RotateUntilLastLegClear:
      return rotateUntilLastLegClear(in);
    case RouteState::FollowLastLeg:
      return followLastLeg(in);
    case RouteState::TurnToStartSide:
      return turnToStartSide(in);
    case RouteState::TurnToStartHeading:
      return turnToStartHeading(in);
    case RouteState::ReportFinish:
      return reportFinish();
    case RouteState::RotateUntilStartClear:
      return rotateUntilStartClear(in);
    case RouteState::EndOfRoute:
      break;
  }
  return endRoute(in);
}

// State 0: the start word begins the route.
RouteOutcome Route::waitForStart(const Input& in) {
  return waitForWord(in.inbox, kRobotStart, RouteState::ApproachWall);
}

// State 1: straight ahead at full speed until the front wall is at CHECKPOINT_1.
RouteOutcome Route::approachWall(const Input& in) {
  const bool reached = printedFront(in.grid) <= thresholds_.checkpoint1_mm;
  plan(in.path, reached ? 0.0f : maxSpeed_mmps_, 0.0f);
  if (reached) state_ = RouteState::StopAtWall;
  return goOn();
}

// State 2.
RouteOutcome Route::stopAtWall(const Input& in) {
  return stopAndGoTo(in.path, RouteState::TurnIntoCorridor);
}

// State 3: a quarter turn clockwise in odometry terms.
RouteOutcome Route::turnIntoCorridor(const Input& in) {
  return turnToHeading(in.path, 90.0f, RouteState::RotateUntilCorridorClear);
}

// State 4.
RouteOutcome Route::rotateUntilCorridorClear(const Input& in) {
  return rotateUntilClear(in.grid, -kSlowTurn_radps, RouteState::StopBeforeCorridor);
}

// State 5.
RouteOutcome Route::stopBeforeCorridor(const Input& in) {
  return stopAndGoTo(in.path, RouteState::FollowLeftWall);
}

// State 6: the first corridor leg keeps the left wall at SETPOINT_1 up to CHECKPOINT_2.
RouteOutcome Route::followLeftWall(const Input& in) {
  const float front = printedFront(in.grid);
  const float wall = printedLeftWall(in.grid);
  return followWall(in.path, front, thresholds_.checkpoint2_mm, wall, thresholds_.setpoint1_mm,
                    -kCorrectionRadius_mm, RouteState::ReportArrival);
}

// State 7.
RouteOutcome Route::reportArrival() {
  state_ = RouteState::WaitForGoBack;
  return report(kRobotArrived);
}

// State 8: at the station until the order to go back.
RouteOutcome Route::waitForGoBack(const Input& in) {
  return waitForWord(in.inbox, kRobotGoBack, RouteState::SpinAtStation);
}

// State 9: one fast spin command; the cycle goes on.
RouteOutcome Route::spinAtStation() {
  state_ = RouteState::BackOutOfStation;
  return direct(0.0, kFastTurn_radps, AfterRouteStep::Continue);
}

// State 10: backwards until 1 m is free in front.
RouteOutcome Route::backOutOfStation(const Input& in) {
  const bool clear = printedFront(in.grid) >= kBackOutFront_mm;
  plan(in.path, clear ? 0.0f : -maxSpeed_mmps_, 0.0f);
  if (clear) state_ = RouteState::TurnBack;
  return resumePlanned();
}

// State 110: back to the start heading.
RouteOutcome Route::turnBack(const Input& in) {
  return turnToHeading(in.path, 0.0f, RouteState::BackAwayFromWall);
}

// State 120: backwards until 500 mm are free in front.
RouteOutcome Route::backAwayFromWall(const Input& in) {
  const bool clear = printedFront(in.grid) >= kReturnFront_mm;
  plan(in.path, clear ? 0.0f : -maxSpeed_mmps_, 0.0f);
  if (clear) state_ = RouteState::RotateUntilReturnClear;
  return resumePlanned();
}

// State 12.
RouteOutcome Route::rotateUntilReturnClear(const Input& in) {
  return rotateUntilClear(in.grid, kSlowTurn_radps, RouteState::FollowRightWallBack);
}

// State 13: the way back keeps the right wall at CHECKPOINT_3 up to CHECKPOINT_1.
RouteOutcome Route::followRightWallBack(const Input& in) {
  const float front = printedFront(in.grid);
  const float wall = printedRightWall(in.grid);
  return followWall(in.path, front, thresholds_.checkpoint1_mm, wall, thresholds_.checkpoint3_mm,
                    kCorrectionRadius_mm, RouteState::TurnToLastLeg);
}

// State 14.
RouteOutcome Route::turnToLastLeg(const Input& in) {
  return turnToHeading(in.path, -180.0f, RouteState::RotateUntilLastLegClear);
}

// State 15.
RouteOutcome Route::rotateUntilLastLegClear(const Input& in) {
  return rotateUntilClear(in.grid, kSlowTurn_radps, RouteState::FollowLastLeg);
}

// State 16: the last leg keeps the right wall at SETPOINT_2 up to CHECKPOINT_4.
RouteOutcome Route::followLastLeg(const Input& in) {
  const float front = printedFront(in.grid);
  const float wall = printedRightWall(in.grid);
  return followWall(in.path, front, thresholds_.checkpoint4_mm, wall, thresholds_.setpoint2_mm,
                    kCorrectionRadius_mm, RouteState::TurnToStartSide);
}

// State 17.
RouteOutcome Route::turnToStartSide(const Input& in) {
  return turnToHeading(in.path, -90.0f, RouteState::TurnToStartHeading);
}

// State 18.
RouteOutcome Route::turnToStartHeading(const Input& in) {
  return turnToHeading(in.path, 0.0f, RouteState::ReportFinish);
}

// State 19.
RouteOutcome Route::reportFinish() {
  state_ = RouteState::RotateUntilStartClear;
  return report(kRobotFinish);
}

// State 20.
RouteOutcome Route::rotateUntilStartClear(const Input& in) {
  return rotateUntilClear(in.grid, -kSlowTurn_radps, RouteState::EndOfRoute);
}

// State 21: the route can run again without a new activation.
RouteOutcome Route::endRoute(const Input& in) {
  return stopAndGoTo(in.path, RouteState::WaitForStart);
}

// Takes the waiting words oldest first up to the awaited one, which moves the route on; the
// others are consumed and ignored, and the words after it wait for a later state. With no
// word at all the base gets a zero command and the cycle ends.
RouteOutcome Route::waitForWord(WordInbox& inbox, const std::string& word, RouteState next) {
  std::string text;
  if (!inbox.takeMessage(text)) return direct(0.0, 0.0, AfterRouteStep::EndCycle);
  while (text != word) {
    if (!inbox.takeMessage(text)) return goOn();
  }
  state_ = next;
  return resumePlanned();
}

// One control step of a turn in place towards a planner-frame heading. Within 5 degrees the
// turn is done and the route goes on; otherwise the base turns and holds position.
RouteOutcome Route::turnToHeading(PathBook& path, float target_deg, RouteState next) {
  float error = target_deg * kRadPerDeg - path.current().pose.theta_rad;
  while (error > kPi) error -= kTwoPi;
  while (error < -kPi) error += kTwoPi;
  if (std::fabs(error) <= kHeadingTolerance_rad) {
    plan(path, 0.0f, 0.0f);
    state_ = next;
    return resumePlanned();
  }
  double rate_radps;
  if (error > kFullRateAbove_rad)
    rate_radps = -kFullTurnRate_radps;
  else if (error < -kFullRateAbove_rad)
    rate_radps = kFullTurnRate_radps;
  else
    rate_radps = -error / 2;
  return direct(0.0, rate_radps, AfterRouteStep::HoldPosition);
}

// A corridor turn: rotate in place until the front is clear, then go on.
RouteOutcome Route::rotateUntilClear(const LocalGrid& grid, double rate_radps, RouteState next) {
  if (printedFront(grid) <= kTurnClearance_mm)
    return direct(0.0, rate_radps, AfterRouteStep::EndCycle);
  state_ = next;
  return resumePlanned();
}

RouteOutcome Route::followWall(PathBook& path, float front_mm, float stopAt_mm, float wall_mm,
                               float keep_mm, float radiusWhenFar_mm, RouteState next) {
  if (front_mm <= stopAt_mm) return stopAndGoTo(path, next);
  plan(path, maxSpeed_mmps_, followRadius(wall_mm, keep_mm, radiusWhenFar_mm));
  return goOn();
}

RouteOutcome Route::stopAndGoTo(PathBook& path, RouteState next) {
  plan(path, 0.0f, 0.0f);
  state_ = next;
  return goOn();
}

}  // namespace planner
