#include "FakeHiroController.h"

#include <cstdio>
#include <vector>

namespace {
constexpr double kDeg = 3.141592653589793 / 180.0;
const char* const kProviderInstance = "service0";

void printCall(const std::string& call) {
  std::printf("%s\n", call.c_str());
  std::fflush(stdout);
}
}  // namespace

// Waist -0.9 degrees (shown as "+0" on the panel), then the coordinator's initial arm pose.
const double FakeHiroController::kReportedAngles_rad[23] = {
    -0.9 * kDeg, 0.0,         25.8 * kDeg, -23.3 * kDeg, -7.2 * kDeg, -156.2 * kDeg,
    7.2 * kDeg,  22.5 * kDeg, 3.2 * kDeg,  23.3 * kDeg,  -7.2 * kDeg, -156.2 * kDeg,
    -7.2 * kDeg, 22.5 * kDeg, -3.2 * kDeg, 0.0,          0.0,         0.0,
    0.0,         0.0,         0.0,         0.0,          0.0};

FakeHiroController::FakeHiroController(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      robotHardwarePort_("RobotHWSvc"),
      sequencePlayerPort_("SeqPlayerSvc"),
      armControlLPort_("ArmCtrlSvcL"),
      armControlRPort_("ArmCtrlSvcR"),
      grasperPort_("GrasperSvc") {
  robotHardware_.setAngles(std::vector<double>(kReportedAngles_rad, kReportedAngles_rad + 23));
  sequencePlayer_.queue().followMotionTimes();
  armControlL_.followMotionTimes();
  armControlR_.followMotionTimes();
  grasper_.queue().followMotionTimes();
  sequencePlayer_.reportCallsTo(printCall);
  armControlL_.reportCallsTo(printCall);
  armControlR_.reportCallsTo(printCall);
  grasper_.reportCallsTo(printCall);
}

FakeHiroController::~FakeHiroController() = default;

RTC::ReturnCode_t FakeHiroController::onInitialize() {
  robotHardwarePort_.registerProvider(kProviderInstance, "RobotHardwareService", robotHardware_);
  sequencePlayerPort_.registerProvider(kProviderInstance, "SequencePlayerService", sequencePlayer_);
  armControlLPort_.registerProvider(kProviderInstance, "ArmControlService", armControlL_);
  armControlRPort_.registerProvider(kProviderInstance, "ArmControlService", armControlR_);
  grasperPort_.registerProvider(kProviderInstance, "GrasperService", grasper_);
  addPort(robotHardwarePort_);
  addPort(sequencePlayerPort_);
  addPort(armControlLPort_);
  addPort(armControlRPort_);
  addPort(grasperPort_);
  return RTC::RTC_OK;
}
