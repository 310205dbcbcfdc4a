#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "local_grid.h"
#include "path_record.h"

// The route: drive up to a wall, turn, follow the corridor, report arrival, wait for the order
// to go back, back out, turn, follow the walls back, report the end. One step per cycle, after
// the grid was rebuilt and the pose predicted.
namespace planner {

// Route words on the supervisor ports.
inline const std::string kRobotStart = "ROBOT_START";
inline const std::string kRobotGoBack = "ROBOT_GO_BACK";
inline const std::string kRobotArrived = "ROBOT_ARRIVED";
inline const std::string kRobotFinish = "ROBOT_FINISH";

// Distance thresholds in millimetres, read each time the route uses them.
struct RouteThresholds {
  float setpoint1_mm = 800.0f;
  float setpoint2_mm = 1500.0f;
  float checkpoint1_mm = 1000.0f;
  float checkpoint2_mm = 1500.0f;
  float checkpoint3_mm = 1000.0f;
  float checkpoint4_mm = 1000.0f;
};

// The supervisor's words that wait to be read, oldest first.
class WordInbox {
 public:
  virtual ~WordInbox() = default;
  // Takes the oldest waiting word; false when none waits.
  virtual bool takeMessage(std::string& text) = 0;
};

// The route's states with the numbers the operator knows them by. The way back passes 10,
// 110, 120 and then 12; there is no 11.
enum class RouteState : std::int32_t {
  WaitForStart = 0,
  ApproachWall = 1,
  StopAtWall = 2,
  TurnIntoCorridor = 3,
  RotateUntilCorridorClear = 4,
  StopBeforeCorridor = 5,
  FollowLeftWall = 6,
  ReportArrival = 7,
  WaitForGoBack = 8,
  SpinAtStation = 9,
  BackOutOfStation = 10,
  TurnBack = 110,
  BackAwayFromWall = 120,
  RotateUntilReturnClear = 12,
  FollowRightWallBack = 13,
  TurnToLastLeg = 14,
  RotateUntilLastLegClear = 15,
  FollowLastLeg = 16,
  TurnToStartSide = 17,
  TurnToStartHeading = 18,
  ReportFinish = 19,
  RotateUntilStartClear = 20,
  EndOfRoute = 21,
};

constexpr std::int32_t numberOf(RouteState state) { return static_cast<std::int32_t>(state); }

// A velocity command for the base, m/s and rad/s.
struct BaseVelocity {
  double vx_mps = 0.0;
  double va_radps = 0.0;
};

// How the cycle goes on after a route step.
enum class AfterRouteStep {
  Continue,      // goal area, collision check, subgoal, image, step advance
  EndCycle,      // the state's command stands for this cycle
  HoldPosition,  // both look-ahead records stop, the step advances, the picture is published
};

// What one route step asks of the cycle besides the command it planned into the path.
struct RouteOutcome {
  AfterRouteStep then = AfterRouteStep::Continue;
  // Written straight to the base at once; the planned commands stay off until a state
  // resumes them (or the cycle completes).
  std::optional<BaseVelocity> direct;
  // The planned command of the path goes out again from the next cycle on.
  bool resumePlanned = false;
  // A route word for the supervisor.
  std::optional<std::string> report;
};

// Rotation rates in place, rad/s (pi taken as 3.1415926).
constexpr double kSlowTurn_radps = 0.2617993833333333;
constexpr double kFastTurn_radps = 0.5235987666666666;
// Radius of the wall-following corrections, mm; positive turns clockwise.
constexpr float kCorrectionRadius_mm = 3000.0f;

class Route {
 public:
  explicit Route(const RouteThresholds& thresholds) : thresholds_(thresholds) {}

  // Starts over: waiting for the start word.
  void reset(float maxSpeed_mmps);

  // Does the current state's work: plans into path[step+2], prints the distances it
  // measures, and, when it waits for a supervisor word, takes every word that waits, up to
  // the one it waits for.
  RouteOutcome step(const LocalGrid& grid, PathBook& path, WordInbox& inbox);

  RouteState state() const { return state_; }

 private:
  struct Input {
    const LocalGrid& grid;
    PathBook& path;
    WordInbox& inbox;
  };

  RouteOutcome waitForStart(const Input& in);
  RouteOutcome approachWall(const Input& in);
  RouteOutcome stopAtWall(const Input& in);
  RouteOutcome turnIntoCorridor(const Input& in);
  RouteOutcome rotateUntilCorridorClear(const Input& in);
  RouteOutcome stopBeforeCorridor(const Input& in);
  RouteOutcome followLeftWall(const Input& in);
  RouteOutcome reportArrival();
  RouteOutcome waitForGoBack(const Input& in);
  RouteOutcome spinAtStation();
  RouteOutcome backOutOfStation(const Input& in);
  RouteOutcome turnBack(const Input& in);
  RouteOutcome backAwayFromWall(const Input& in);
  RouteOutcome rotateUntilReturnClear(const Input& in);
  RouteOutcome followRightWallBack(const Input& in);
  RouteOutcome turnToLastLeg(const Input& in);
  RouteOutcome rotateUntilLastLegClear(const Input& in);
  RouteOutcome followLastLeg(const Input& in);
  RouteOutcome turnToStartSide(const Input& in);
  RouteOutcome turnToStartHeading(const Input& in);
  RouteOutcome reportFinish();
  RouteOutcome rotateUntilStartClear(const Input& in);
  RouteOutcome endRoute(const Input& in);

  // The shapes the states share.
  RouteOutcome waitForWord(WordInbox& inbox, const std::string& word, RouteState next);
  RouteOutcome turnToHeading(PathBook& path, float target_deg, RouteState next);
  RouteOutcome rotateUntilClear(const LocalGrid& grid, double rate_radps, RouteState next);
  RouteOutcome followWall(PathBook& path, float front_mm, float stopAt_mm, float wall_mm,
                          float keep_mm, float radiusWhenFar_mm, RouteState next);
  RouteOutcome stopAndGoTo(PathBook& path, RouteState next);

  const RouteThresholds& thresholds_;
  RouteState state_ = RouteState::WaitForStart;
  float maxSpeed_mmps_ = 0.0f;
};

}  // namespace planner
