#pragma once
// While the supervisor waits for a route word, it watches what the system shows: whether the
// planner answers and is active, whether the planner's map service is there, and whether the
// base gets anywhere. A fault that lasts its time-out, or a base that stays in one place for
// the progress time-out, is a route that cannot go on: giveUpReason() then says why. Time is
// passed in (seconds on a monotonic clock); the caller gathers the observations.

#include <optional>
#include <string>

namespace routesupervisor {

// The base must get this far from where it was for the route to count as going on.
constexpr double kProgressDistance_m = 0.1;

struct WatchTimeouts {
  double fault_s = 5.0;  // planner silent or its map service missing
  double progress_s = 30.0;
};

enum class PlannerCondition {
  Unknown,     // nothing to judge (not connected, not asked yet)
  Running,     // answers, active, its map service answers (or it has none)
  Silent,      // does not answer, or is not active
  MapMissing,  // its map service is not connected or does not answer
};

struct PlannerFinding {
  PlannerCondition condition = PlannerCondition::Unknown;
  std::string detail;  // for Silent and MapMissing: what was seen, e.g. "Torvane0 is INACTIVE"
};

class RouteWatch {
 public:
  explicit RouteWatch(const WatchTimeouts& timeouts) : timeouts_(timeouts) {}

  // A new wait begins: what was seen before no longer counts.
  void restart(double now_s);
  // What was seen at `seen_s`; observations from before the last restart are ignored.
  void planner(const PlannerFinding& finding, double seen_s);
  // The base's position in any fixed frame (metres).
  void basePosition(double x_m, double y_m, double seen_s);

  // Why the route cannot go on, e.g. "map service missing for 5.0 s: ..."; empty while it can.
  std::string giveUpReason(double now_s) const;

 private:
  struct Position {
    double x_m;
    double y_m;
  };

  const WatchTimeouts timeouts_;
  double restarted_s_ = 0.0;  // observations made before this belong to an earlier wait
  PlannerFinding fault_;      // the planner's condition while it is a fault
  double faultSince_s_ = 0.0;
  std::optional<Position> anchor_;  // where the base was when it last made progress
  double anchorSince_s_ = 0.0;
};

}  // namespace routesupervisor
