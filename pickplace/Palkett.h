#pragma once
// The pick-and-place coordinator component. It reads command words on "input", runs one
// manipulation task at a time on its worker thread and writes result words on "output"; the
// work itself is the Coordinator's, this class moves data between ports, consumers and it.
//
// Lifecycle: onInitialize adds ports and consumers, binds the parameters and lays out the
// placing slots; onActivated moves the robot to its initial pose; onExecute is one command
// cycle. A deactivation, exit() and SIGTERM/SIGINT all pass through onDeactivated while the
// ports and consumers are still connected: a running task is halted there with the
// protective stop and answered with its STOPPED word, so the robot never goes on moving for
// a coordinator that has gone. onFinalize does the same for a task that would still run.

// The port data types come first: the ports' templates find their Any operators only when
// these are declared before them.
#include <rtm/idl/BasicDataTypeSkel.h>

#include <rtm/CorbaConsumer.h>
#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>

#include <BriskoRTC.hh>
#include <CommonCommands.hh>
#include <HiroNX.hh>
#include <LumerisRTC.hh>
#include <MotionCommands.hh>

#include "cell_config.h"
#include "console.h"
#include "coordinator.h"
#include "corba_cell_links.h"

class Palkett : public RTC::DataFlowComponentBase {
 public:
  explicit Palkett(RTC::Manager* manager);
  ~Palkett() override;
  Palkett(const Palkett&) = delete;
  Palkett& operator=(const Palkett&) = delete;

  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onFinalize() override;
  RTC::ReturnCode_t onActivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;

 private:
  // Halts a running task and writes its word, as the component goes inactive or away.
  void endRunningTask();
  void writeResult(const std::string& result);

  RTC::TimedStringSeq input_;
  RTC::InPort<RTC::TimedStringSeq> inputIn_;
  RTC::TimedStringSeq output_;
  RTC::OutPort<RTC::TimedStringSeq> outputOut_;

  RTC::CorbaPort lumerisServicePort_;
  RTC::CorbaPort briskoServicePort_;
  RTC::CorbaPort hiroNXPort_;
  RTC::CorbaPort hiroPort_;
  RTC::CorbaConsumer<LumerisRTC::LumerisService> lumerisSvcIF_;
  RTC::CorbaConsumer<BriskoRTC::BriskoService> briskoSvcIF_;
  RTC::CorbaConsumer<HiroNX> manipulator_;
  RTC::CorbaConsumer<CommonCommands> common_;
  RTC::CorbaConsumer<MotionCommands> motion_;

  // Written by the middleware's configuration; a task takes a copy when it starts.
  pickplace::CellConfig config_;
  pickplace::Console console_;
  pickplace::CorbaCellLinks links_;
  pickplace::Coordinator coordinator_;
};

extern "C" void PalkettInit(RTC::Manager* manager);
