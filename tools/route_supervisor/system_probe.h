#pragma once
// What the supervisor cannot see on its ports, looked at over CORBA about once a second on a
// thread of its own, so that a peer that does not answer never holds up the execution context:
//
// - the planner: the component that owns the port behind the supervisor's command port. It
//   answers and is active, or not; its required "Zemla::RelativeMapService" port is connected
//   to a provider that answers, or not (what the planner itself checks every cycle);
// - the base's position, from the simulated base's status service when the supervisor's
//   "BaseStatusService" port is connected to it.
//
// The execution context takes the latest round with take(). start() and requestStop() come
// from the execution context's thread (activation; deactivation and the route's end).
// requestStop() does not wait; start() returns once the first round is done (2 s at most), so
// that a planner that answers at activation is known by name should it fall silent before it
// takes its first word; stop() (finalisation, destruction, a new start) returns once the
// thread has ended, at most one call time-out (0.5 s) later.

#include <SimBase.hh>

#include <rtm/CorbaConsumer.h>
#include <rtm/PortBase.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "route_watch.h"

namespace routesupervisor {

struct BasePosition {
  double x_m;
  double y_m;
};

struct ProbeRound {
  PlannerFinding planner;
  std::optional<BasePosition> base;  // none when the status service is not connected or silent
  double time_s = 0.0;               // steady clock, when the round ended
};

// Names the planner's condition from its port behind `commandPort`'s connections. Remembers
// the names it learns while peers answer, so that a peer that has gone can still be named.
class PlannerLook {
 public:
  PlannerFinding look(RTC::PortBase& commandPort);

 private:
  PlannerFinding lookAtPlanner(RTC::PortService_ptr peer);
  PlannerFinding lookAtMapPort(RTC::PortService_ptr mapPort, const std::string& mapPortName);

  std::string plannerName_;
  std::vector<RTC::PortService_var> lastPeers_;       // behind the command port when last seen
  std::map<std::string, std::string> providerNames_;  // by connector id
};

class SystemProbe {
 public:
  SystemProbe(RTC::PortBase& commandPort,
              RTC::CorbaConsumer<SimBase::BaseStatusService>& baseStatus);
  ~SystemProbe();
  SystemProbe(const SystemProbe&) = delete;
  SystemProbe& operator=(const SystemProbe&) = delete;

  void start();
  void requestStop();
  void stop();
  // The round finished since the last call, if any.
  std::optional<ProbeRound> take();

 private:
  void run();
  bool stopping();
  std::optional<BasePosition> basePosition();

  RTC::PortBase& commandPort_;
  RTC::CorbaConsumer<SimBase::BaseStatusService>& baseStatus_;
  PlannerLook planner_;  // used by the probe's thread only
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  unsigned rounds_ = 0;  // since start()
  std::optional<ProbeRound> latest_;
};

}  // namespace routesupervisor
