#pragma once
// RouteSupervisor: speaks the route words with the planner. Its out-port `route_command`
// (connect it to the planner's `in_message`) carries "ROBOT_START" and "ROBOT_GO_BACK"; its
// in-port `route_report` (connected from the planner's `message`) receives "ROBOT_ARRIVED"
// and "ROBOT_FINISH". Every word sent or received is printed with a time stamp. Its optional
// service port "BaseStatusService" (connected to the simulated base's) lets it see whether the
// base gets anywhere.
//
// Lifecycle: activation is the order to go: "ROBOT_START" goes out as soon as both ports are
// connected (so no word is written into nothing). onExecute, on the execution context's
// thread, does that (WordSender writes the word on a thread of its own), reads the reports, checks
// the time-outs and what SystemProbe saw of the planner and the base (a route that cannot go on is
// given up with the reason), and, at the station, runs the station command on a thread of its own
// and polls it. When the route has finished or failed, the component ends itself and with it the
// process; the program's exit status is 0 only when the route finished.

// The port data types come first: the middleware's port templates find their Any operators
// only when they are declared before them.
#include <rtm/idl/BasicDataTypeSkel.h>
#include <SimBase.hh>

#include <rtm/CorbaConsumer.h>
#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "route_protocol.h"
#include "route_watch.h"
#include "station_command.h"
#include "supervisor_options.h"
#include "system_probe.h"
#include "word_sender.h"

class RouteSupervisor : public RTC::DataFlowComponentBase {
 public:
  explicit RouteSupervisor(RTC::Manager* manager);
  ~RouteSupervisor() override;

  // Set by the program before the component is created.
  static void setSettings(const routesupervisor::SupervisorSettings& settings);
  // 0 when the route finished; 1 when it failed or never ran to its end.
  static int exitStatus();

  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onActivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onFinalize() override;

 private:
  void send(const std::string& word);
  void writeWord(const std::string& word);
  void handleStation();
  void watchRoute();
  void end();
  bool portsConnected() const;
  double now_s() const;

  RTC::TimedString command_;
  RTC::OutPort<RTC::TimedString> commandOut_;
  RTC::TimedString report_;
  RTC::InPort<RTC::TimedString> reportIn_;
  RTC::CorbaPort baseStatusPort_;
  RTC::CorbaConsumer<SimBase::BaseStatusService> baseStatus_;

  routesupervisor::RouteProtocol route_;
  routesupervisor::RouteWatch watch_;
  routesupervisor::SystemProbe probe_;
  routesupervisor::WordSender sender_;  // writes command_ on commandOut_
  std::thread stationWork_;
  std::atomic<bool> stationDone_{false};
  routesupervisor::CommandOutcome stationOutcome_;  // written by stationWork_ before stationDone_
  bool stationStarted_ = false;
  bool ended_ = false;
};

extern "C" void RouteSupervisorInit(RTC::Manager* manager);
