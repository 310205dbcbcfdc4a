#pragma once
// The supervisor's side of the planner's route: send "ROBOT_START", wait for "ROBOT_ARRIVED",
// run the work at the station, send "ROBOT_GO_BACK", wait for "ROBOT_FINISH". Each wait has
// its own time-out, and a wait for the planner can be given up earlier with a reason
// (route_watch.h finds it). Time is passed in (seconds on a monotonic clock); the caller moves the
// words and runs the work.

#include <string>

namespace routesupervisor {

constexpr const char* kWordStart = "ROBOT_START";
constexpr const char* kWordArrived = "ROBOT_ARRIVED";
constexpr const char* kWordGoBack = "ROBOT_GO_BACK";
constexpr const char* kWordFinish = "ROBOT_FINISH";

enum class RoutePhase {
  NotStarted,
  WaitingForPorts,  // the caller starts the route once its ports are connected
  WaitingForArrival,
  AtStation,  // arrived; the caller runs the station work, then calls stationWorkDone
  WaitingForFinish,
  Finished,
  Failed,
};

struct RouteTimeouts {
  double connect_s = 60.0;
  double arrival_s = 300.0;
  double finish_s = 300.0;
};

class RouteProtocol {
 public:
  explicit RouteProtocol(const RouteTimeouts& timeouts) : timeouts_(timeouts) {}

  // Begins the wait for the ports' connections.
  void awaitPorts(double now_s);
  // Returns the word to send now ("ROBOT_START"); empty once the route has begun.
  std::string start(double now_s);
  // A word from the planner. True when it was the awaited one; anything else is ignored.
  bool received(const std::string& word);
  // After the work at the station: on success returns "ROBOT_GO_BACK" to send; on failure
  // the route fails with `failure` as its reason and nothing is to be sent.
  std::string stationWorkDone(bool succeeded, const std::string& failure, double now_s);
  // Checks the running wait against its time-out; true when it has just expired.
  bool checkTimeout(double now_s);
  // Ends a running wait as failed, with `reason`; false when no wait runs.
  bool giveUp(const std::string& reason);
  // True while a route word is awaited from the planner.
  bool awaitingPlanner() const;

  RoutePhase phase() const { return phase_; }
  // Why the route failed, one line; empty unless failed.
  const std::string& failure() const { return failure_; }

 private:
  const RouteTimeouts timeouts_;
  RoutePhase phase_ = RoutePhase::NotStarted;
  double deadline_s_ = 0.0;
  std::string failure_;
};

}  // namespace routesupervisor
