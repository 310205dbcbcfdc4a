#pragma once

#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/Manager.h>

#include "fake_controller_services.h"

// A robot controller for cross-process tests: the four OpenHRP services on provider ports of
// the names the gateway's consumer ports carry, instance "service0". The robot hardware
// reports fixed joint angles (kReportedAngles_rad); a motion keeps its arm or queue busy for
// its motion time, as on the robot; every call of the sequence player, the arm controls and
// the grasper is printed on standard output as one line ("ArmControlService::checkStatus").
class FakeHiroController : public RTC::DataFlowComponentBase {
 public:
  static const double kReportedAngles_rad[23];

  explicit FakeHiroController(RTC::Manager* manager);
  ~FakeHiroController() override;
  FakeHiroController(const FakeHiroController&) = delete;
  FakeHiroController& operator=(const FakeHiroController&) = delete;

  RTC::ReturnCode_t onInitialize() override;

 private:
  RTC::CorbaPort robotHardwarePort_;
  RTC::CorbaPort sequencePlayerPort_;
  RTC::CorbaPort armControlLPort_;
  RTC::CorbaPort armControlRPort_;
  RTC::CorbaPort grasperPort_;
  fakes::FakeRobotHardware robotHardware_;
  fakes::FakeSequencePlayer sequencePlayer_;
  fakes::FakeArmControl armControlL_;
  fakes::FakeArmControl armControlR_;
  fakes::FakeGrasper grasper_;
};
