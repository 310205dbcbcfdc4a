#include "cell_components.h"

#include <shell/component_shell.h>

#include "process_cell.h"

namespace hirosim {
namespace {

const char* const kRobotControllerProfile[] = {
    "implementation_id", "RobotController", "type_name", "RobotController",
    "description", "Simulated HIRO robot controller services", "version", "1.0.0",
    "vendor", "Kesta.Orvn", "category", "Simulator", "activity_type", "PERIODIC",
    "kind", "DataFlowComponent", "max_instance", "1", "language", "C++",
    "lang_type", "compile", ""};

const char* const kHiroControllerProfile[] = {
    "implementation_id", "HIROController", "type_name", "HIROController",
    "description", "Simulated HIROController", "version", "1.0.0",
    "vendor", "Kesta.Orvn", "category", "Simulator", "activity_type", "PERIODIC",
    "kind", "DataFlowComponent", "max_instance", "1", "language", "C++",
    "lang_type", "compile", ""};

const char* const kHiroNXProfile[] = {
    "implementation_id", "HiroNX", "type_name", "HiroNX",
    "description", "Simulated HiroNX robot service", "version", "1.0.0",
    "vendor", "Kesta.Orvn", "category", "Simulator", "activity_type", "PERIODIC",
    "kind", "DataFlowComponent", "max_instance", "1", "language", "C++",
    "lang_type", "compile", ""};

const char* const kLumerisProfile[] = {
    "implementation_id", "Lumeris", "type_name", "Lumeris",
    "description", "Simulated object pose estimation gateway", "version", "1.0.0",
    "vendor", "Kesta.Orvn", "category", "Simulator", "activity_type", "PERIODIC",
    "kind", "DataFlowComponent", "max_instance", "1", "language", "C++",
    "lang_type", "compile", ""};

constexpr const char* kControllerInstance = "service0";

RTC::ReturnCode_t shutDownCell() {
  processCell().shutdown();
  return RTC::RTC_OK;
}

}  // namespace

RobotControllerComponent::RobotControllerComponent(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      hardwarePort_("RobotHWSvc"),
      sequencePort_("SeqPlayerSvc"),
      leftArmPort_("ArmCtrlSvcL"),
      rightArmPort_("ArmCtrlSvcR"),
      grasperPort_("GrasperSvc"),
      cellStatePort_("CellState"),
      hardware_(processCell()),
      sequence_(processCell()),
      leftArm_(processCell(), Side::Left),
      rightArm_(processCell(), Side::Right),
      grasper_(processCell()),
      cellState_(processCell()) {}

RTC::ReturnCode_t RobotControllerComponent::onInitialize() {
  hardwarePort_.registerProvider(kControllerInstance, "RobotHardwareService", hardware_);
  sequencePort_.registerProvider(kControllerInstance, "SequencePlayerService", sequence_);
  leftArmPort_.registerProvider(kControllerInstance, "ArmControlService", leftArm_);
  rightArmPort_.registerProvider(kControllerInstance, "ArmControlService", rightArm_);
  grasperPort_.registerProvider(kControllerInstance, "GrasperService", grasper_);
  cellStatePort_.registerProvider("cellState", "HiroSim::CellState", cellState_);
  addPort(hardwarePort_);
  addPort(sequencePort_);
  addPort(leftArmPort_);
  addPort(rightArmPort_);
  addPort(grasperPort_);
  addPort(cellStatePort_);
  return RTC::RTC_OK;
}

RTC::ReturnCode_t RobotControllerComponent::onFinalize() { return shutDownCell(); }

HiroControllerComponent::HiroControllerComponent(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      hiroPort_("HIRO"),
      common_(processCell()),
      motion_(processCell()) {}

RTC::ReturnCode_t HiroControllerComponent::onInitialize() {
  hiroPort_.registerProvider("common", "CommonCommands", common_);
  hiroPort_.registerProvider("motion", "MotionCommands", motion_);
  addPort(hiroPort_);
  return RTC::RTC_OK;
}

RTC::ReturnCode_t HiroControllerComponent::onFinalize() { return shutDownCell(); }

HiroNXComponent::HiroNXComponent(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager), hiroNxPort_("HiroNX"), manipulator_(processCell()) {}

RTC::ReturnCode_t HiroNXComponent::onInitialize() {
  hiroNxPort_.registerProvider("manipulator", "HiroNX", manipulator_);
  addPort(hiroNxPort_);
  return RTC::RTC_OK;
}

RTC::ReturnCode_t HiroNXComponent::onFinalize() { return shutDownCell(); }

LumerisComponent::LumerisComponent(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager), lumerisPort_("LumerisService"), lumeris_(processCell()) {}

RTC::ReturnCode_t LumerisComponent::onInitialize() {
  lumerisPort_.registerProvider("LumerisSvcIF", "LumerisRTC::LumerisService", lumeris_);
  addPort(lumerisPort_);
  return RTC::RTC_OK;
}

RTC::ReturnCode_t LumerisComponent::onFinalize() { return shutDownCell(); }

}  // namespace hirosim

extern "C" {

void RobotControllerInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, hirosim::kRobotControllerProfile,
                                  shell::createComponent<hirosim::RobotControllerComponent>,
                                  shell::destroyComponent);
}

void HIROControllerInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, hirosim::kHiroControllerProfile,
                                  shell::createComponent<hirosim::HiroControllerComponent>,
                                  shell::destroyComponent);
}

void HiroNXInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, hirosim::kHiroNXProfile,
                                  shell::createComponent<hirosim::HiroNXComponent>,
                                  shell::destroyComponent);
}

void LumerisInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, hirosim::kLumerisProfile,
                                  shell::createComponent<hirosim::LumerisComponent>,
                                  shell::destroyComponent);
}

}  // extern "C"
