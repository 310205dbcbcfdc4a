#pragma once
// The RT-components of HiroSimComp, each a thin host of service ports on the process's
// simulated cell (process_cell.h):
//   "RobotController": the robot controller's OpenHRP services, one port each ("RobotHWSvc",
//       "SeqPlayerSvc", "ArmCtrlSvcL", "ArmCtrlSvcR", "GrasperSvc"), instance "service0";
//       and the cell's own "CellState" port (instance "cellState", HiroSim::CellState).
//   "HIROController": port "HIRO" with "common" (CommonCommands) and "motion"
//       (MotionCommands).
//   "HiroNX": port "HiroNX" with "manipulator" (HiroNX).
//   "Lumeris": the object pose estimation, port "LumerisService" with "LumerisSvcIF"
//       (LumerisRTC::LumerisService).
// The first component to be finalized shuts the cell down, so that calls blocked in it
// return before the middleware takes the ORB down.

#include <rtm/CorbaPort.h>
#include <rtm/DataFlowComponentBase.h>
#include <rtm/Manager.h>

#include "controller_services.h"
#include "openhrp_services.h"

namespace hirosim {

// Shuts the process's cell down when finalized.
class CellComponentBase : public RTC::DataFlowComponentBase {
 public:
  explicit CellComponentBase(RTC::Manager* manager) : RTC::DataFlowComponentBase(manager) {}
  RTC::ReturnCode_t onFinalize() override;
};

class RobotControllerComponent : public CellComponentBase {
 public:
  explicit RobotControllerComponent(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;

 private:
  RTC::CorbaPort hardwarePort_;
  RTC::CorbaPort sequencePort_;
  RTC::CorbaPort leftArmPort_;
  RTC::CorbaPort rightArmPort_;
  RTC::CorbaPort grasperPort_;
  RTC::CorbaPort cellStatePort_;
  RobotHardwareServiceSVC_impl hardware_;
  SequencePlayerServiceSVC_impl sequence_;
  ArmControlServiceSVC_impl leftArm_;
  ArmControlServiceSVC_impl rightArm_;
  GrasperServiceSVC_impl grasper_;
  CellStateSVC_impl cellState_;
};

class HiroControllerComponent : public CellComponentBase {
 public:
  explicit HiroControllerComponent(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;

 private:
  RTC::CorbaPort hiroPort_;
  CommonCommandsSVC_impl common_;
  MotionCommandsSVC_impl motion_;
};

class HiroNXComponent : public CellComponentBase {
 public:
  explicit HiroNXComponent(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;

 private:
  RTC::CorbaPort hiroNxPort_;
  HiroNXSVC_impl manipulator_;
};

class LumerisComponent : public CellComponentBase {
 public:
  explicit LumerisComponent(RTC::Manager* manager);
  RTC::ReturnCode_t onInitialize() override;

 private:
  RTC::CorbaPort lumerisPort_;
  LumerisServiceSVC_impl lumeris_;
};

}  // namespace hirosim

extern "C" {
void RobotControllerInit(RTC::Manager* manager);
void HIROControllerInit(RTC::Manager* manager);
void HiroNXInit(RTC::Manager* manager);
void LumerisInit(RTC::Manager* manager);
}
