#pragma once

#include <string>

#include <rtm/CorbaConsumer.h>
#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/Manager.h>
#include <OpenHRP.hh>

#include "gateway/BriskoServiceSVC_impl.h"

// The robot gateway component. It serves BriskoService on the port "BriskoService" and reaches
// the robot controller's OpenHRP services through five consumer ports. Lifecycle:
// onInitialize registers ports, consumers and the PoseDB parameter; activation changes
// nothing; deactivation makes the servant's waits in progress give way, finalization every
// wait for good; onExecute, on the execution context's thread, prints the status panel while
// the servant answers on ORB threads.
class Brisko : public RTC::DataFlowComponentBase {
 public:
  explicit Brisko(RTC::Manager* manager);
  ~Brisko() override;
  Brisko(const Brisko&) = delete;
  Brisko& operator=(const Brisko&) = delete;

  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onFinalize() override;
  RTC::ReturnCode_t onActivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;

 private:
  // Bound to the parameter "PoseDB", a file name (not empty); nothing reads it.
  std::string PoseDB_;

  RTC::CorbaPort robotHardwarePort_;
  RTC::CorbaPort sequencePlayerPort_;
  RTC::CorbaPort armControlLPort_;
  RTC::CorbaPort armControlRPort_;
  RTC::CorbaPort grasperPort_;
  RTC::CorbaPort servicePort_;

  BriskoServiceSVC_impl service_;

  RTC::CorbaConsumer<OpenHRP::RobotHardwareService> robotHardware_;
  RTC::CorbaConsumer<OpenHRP::SequencePlayerService> sequencePlayer_;
  RTC::CorbaConsumer<OpenHRP::ArmControlService> armControlL_;
  RTC::CorbaConsumer<OpenHRP::ArmControlService> armControlR_;
  RTC::CorbaConsumer<OpenHRP::GrasperService> grasper_;
};
