#include "cell_components.h"

#include <shell/component_shell.h>

#include <array>

#include "process_cell.h"

namespace hirosim {
namespace {

// The profile of every component of the simulator; only the type and description differ.
using ProfileTable = std::array<const char*, 23>;

constexpr ProfileTable simulatorProfile(const char* typeName, const char* description) {
  // clang-format off
  return {
      "implementation_id", typeName,
      "type_name",         typeName,
      "description",       description,
      "version",           "1.0.0",
      "vendor",            "Kesta.Orvn",
      "category",          "Simulator",
      "activity_type",     "PERIODIC",
      "kind",              "DataFlowComponent",
      "max_instance",      "1",
      "language",          "C++",
      "lang_type",         "compile",
      ""};
  // clang-format on
}

constexpr ProfileTable kRobotControllerProfile =
    simulatorProfile("RobotController", "Simulated HIRO robot controller services");
constexpr ProfileTable kHiroControllerProfile =
    simulatorProfile("HIROController", "Simulated HIROController");
constexpr ProfileTable kHiroNXProfile =
    simulatorProfile("HiroNX", "Simulated HiroNX robot service");
constexpr ProfileTable kLumerisProfile =
    simulatorProfile("Lumeris", "Simulated object pose estimation gateway");

constexpr const char* kControllerInstance = "service0";

}  // namespace

RTC::ReturnCode_t CellComponentBase::onFinalize() {
  processCell().shutdown();
  return RTC::RTC_OK;
}

RobotControllerComponent::RobotControllerComponent(RTC::Manager* manager)
    : CellComponentBase(manager),
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

HiroControllerComponent::HiroControllerComponent(RTC::Manager* manager)
    : CellComponentBase(manager),
      hiroPort_("HIRO"),
      common_(processCell()),
      motion_(processCell()) {}

RTC::ReturnCode_t HiroControllerComponent::onInitialize() {
  hiroPort_.registerProvider("common", "CommonCommands", common_);
  hiroPort_.registerProvider("motion", "MotionCommands", motion_);
  addPort(hiroPort_);
  return RTC::RTC_OK;
}

HiroNXComponent::HiroNXComponent(RTC::Manager* manager)
    : CellComponentBase(manager), hiroNxPort_("HiroNX"), manipulator_(processCell()) {}

RTC::ReturnCode_t HiroNXComponent::onInitialize() {
  hiroNxPort_.registerProvider("manipulator", "HiroNX", manipulator_);
  addPort(hiroNxPort_);
  return RTC::RTC_OK;
}

LumerisComponent::LumerisComponent(RTC::Manager* manager)
    : CellComponentBase(manager), lumerisPort_("LumerisService"), lumeris_(processCell()) {}

RTC::ReturnCode_t LumerisComponent::onInitialize() {
  lumerisPort_.registerProvider("LumerisSvcIF", "LumerisRTC::LumerisService", lumeris_);
  addPort(lumerisPort_);
  return RTC::RTC_OK;
}

}  // namespace hirosim

extern "C" {

void RobotControllerInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, hirosim::kRobotControllerProfile.data(),
                                  shell::createComponent<hirosim::RobotControllerComponent>,
                                  shell::destroyComponent);
}

void HIROControllerInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, hirosim::kHiroControllerProfile.data(),
                                  shell::createComponent<hirosim::HiroControllerComponent>,
                                  shell::destroyComponent);
}

void HiroNXInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, hirosim::kHiroNXProfile.data(),
                                  shell::createComponent<hirosim::HiroNXComponent>,
                                  shell::destroyComponent);
}

void LumerisInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, hirosim::kLumerisProfile.data(),
                                  shell::createComponent<hirosim::LumerisComponent>,
                                  shell::destroyComponent);
}

}  // extern "C"
