#pragma once

#include <cstdint>
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

// What the route does to the world besides planning into the path.
class RouteActions {
 public:
  virtual ~RouteActions() = default;
  // The oldest unread supervisor word; false when none is new.
  virtual bool takeMessage(std::string& text) = 0;
  virtual void sendMessage(const std::string& text) = 0;
  // Writes a velocity command straight to the base (m/s, rad/s).
  virtual void sendVelocity(double vx_mps, double va_radps) = 0;
  // Stops both look-ahead records at the current pose, advances the step and publishes the
  // planning image of a held cycle.
  virtual void holdPosition() = 0;
};

// Free distances in the grid, counting only occupied cells as walls. They print their value.
float frontDistance(const LocalGrid& grid);
float leftWallDistance(const LocalGrid& grid);
float rightWallDistance(const LocalGrid& grid);

// Rotation rates in place, rad/s (pi taken as 3.1415926).
constexpr double kSlowTurn_radps = 0.2617993833333333;
constexpr double kFastTurn_radps = 0.5235987666666666;
// Radius of the wall-following corrections, mm; positive turns clockwise.
constexpr float kCorrectionRadius_mm = 3000.0f;

class Route {
 public:
  Route(const RouteThresholds& thresholds, RouteActions& actions)
      : thresholds_(thresholds), actions_(actions) {}

  // Starts over: state 0, waiting for the start word.
  void reset(float maxSpeed_mmps);

  // Runs the current state. `directCommand` is the flag that keeps the next cycle from
  // overwriting a command written straight to the base. Returns true when the cycle ends here.
  bool step(const LocalGrid& grid, PathBook& path, bool& directCommand);

  std::int32_t state() const { return state_; }

 private:
  // One control step of a turn in place towards a planner-frame heading; true when the cycle
  // ends (still turning).
  bool turnToHeading(float target_deg, std::int32_t nextState, PathBook& path, bool& directCommand);
  void plan(PathBook& path, float v_mmps, float r_mm) const;
  void direct(double vx_mps, double va_radps, bool& directCommand);
  float followRadius(float wall_mm, float keep_mm, float radiusWhenFar_mm) const;

  const RouteThresholds& thresholds_;
  RouteActions& actions_;
  std::int32_t state_ = 0;
  float maxSpeed_mmps_ = 0.0f;
};

}  // namespace planner
