#include "gateway/Brisko.h"

#include <cstdio>

#include <rtm/ParameterCheck.h>
#include <shell/console_encoding.h>

#include "gateway/status_panel_text.h"

namespace {

const char* const kConsumerInstance = "service0";

// The pose database is named by a file: any text but the empty one.
RTC::ParameterCheck<std::string> namesAFile() {
  return [](const std::string& value) -> std::string {
    return value.empty() ? "must name a file" : "";
  };
}

void logLine(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

}  // namespace

Brisko::Brisko(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      robotHardwarePort_("RobotHWSvc"),
      sequencePlayerPort_("SeqPlayerSvc"),
      armControlLPort_("ArmCtrlSvcL"),
      armControlRPort_("ArmCtrlSvcR"),
      grasperPort_("GrasperSvc"),
      servicePort_("BriskoService"),
      service_(robotHardware_, sequencePlayer_, armControlL_, armControlR_, grasper_) {}

Brisko::~Brisko() = default;

RTC::ReturnCode_t Brisko::onInitialize() {
  logLine(">> Brisko::onInitialize()");
  servicePort_.registerProvider("BriskoSvcIF", "BriskoRTC::BriskoService", service_);
  robotHardwarePort_.registerConsumer(kConsumerInstance, "RobotHardwareService", robotHardware_);
  sequencePlayerPort_.registerConsumer(kConsumerInstance, "SequencePlayerService", sequencePlayer_);
  armControlLPort_.registerConsumer(kConsumerInstance, "ArmControlService", armControlL_);
  armControlRPort_.registerConsumer(kConsumerInstance, "ArmControlService", armControlR_);
  grasperPort_.registerConsumer(kConsumerInstance, "GrasperService", grasper_);
  addPort(robotHardwarePort_);
  addPort(sequencePlayerPort_);
  addPort(armControlLPort_);
  addPort(armControlRPort_);
  addPort(grasperPort_);
  addPort(servicePort_);
  bindParameter("PoseDB", PoseDB_, "pose-db.csv", namesAFile());
  logLine("<< Brisko::onInitialize()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Brisko::onFinalize() {
  logLine(">> Brisko::onFinalize()");
  service_.endWaits();
  logLine("<< Brisko::onFinalize()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Brisko::onActivated(RTC::UniqueId) {
  logLine(">> Brisko::onActivated()");
  logLine("<< Brisko::onActivated()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Brisko::onDeactivated(RTC::UniqueId) {
  logLine(">> Brisko::onDeactivated()");
  service_.releaseWaits();
  logLine("<< Brisko::onDeactivated()");
  return RTC::RTC_OK;
}

RTC::ReturnCode_t Brisko::onExecute(RTC::UniqueId) {
  ServiceConnections connected;
  connected.grasper = !CORBA::is_nil(grasper_._ptr());
  connected.armControlR = !CORBA::is_nil(armControlR_._ptr());
  connected.armControlL = !CORBA::is_nil(armControlL_._ptr());
  connected.sequencePlayer = !CORBA::is_nil(sequencePlayer_._ptr());
  connected.robotHardware = !CORBA::is_nil(robotHardware_._ptr());
  const std::string panel = shell::consoleText(statusPanelText(connected, service_));
  std::fputs(panel.c_str(), stdout);
  std::fflush(stdout);
  return RTC::RTC_OK;
}
