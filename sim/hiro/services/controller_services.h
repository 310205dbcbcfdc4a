#pragma once
// The HIROController's CommonCommands and MotionCommands, the robot's HiroNX service, the
// object pose estimation's LumerisService and the cell's own CellState, each a thin servant
// on the HiroCell. Refusals come back as a non-zero id with a comment saying why.

#include <CommonCommands.hh>
#include <HiroNX.hh>
#include <HiroSimCell.hh>
#include <LumerisRTC.hh>
#include <MotionCommands.hh>

#include "hiro_cell.h"

namespace hirosim {

class CommonCommandsSVC_impl : public virtual POA_CommonCommands {
 public:
  explicit CommonCommandsSVC_impl(HiroCell& cell) : cell_(cell) {}

  CommonCommands::RETURN_ID* servoOFF() override;
  CommonCommands::RETURN_ID* servoON() override;
  CommonCommands::RETURN_ID* servoOFFArm() override;
  CommonCommands::RETURN_ID* servoOFFHand() override;
  CommonCommands::RETURN_ID* servoONArm() override;
  CommonCommands::RETURN_ID* servoONHand() override;

 private:
  CommonCommands::RETURN_ID* switchServos(const std::vector<JointGroup>& groups, bool on);

  HiroCell& cell_;
};

class MotionCommandsSVC_impl : public virtual POA_MotionCommands {
 public:
  explicit MotionCommandsSVC_impl(HiroCell& cell) : cell_(cell) {}

  // Blocks until the motion has ended, a protective stop or a servo switch has halted it, or
  // the simulator shuts down.
  MotionCommands::RETURN_ID* movePTPJointAbsSeq(const MotionCommands::JointPosSeq& points,
                                                const MotionCommands::DoubleSeq& times) override;

  // Not simulated: refused with id 8 and a comment.
  MotionCommands::RETURN_ID* closeGripper() override;
  MotionCommands::RETURN_ID* moveGripper(MotionCommands::ULONG angleRatio) override;
  MotionCommands::RETURN_ID* moveLinearCartesianAbs(
      const MotionCommands::CarPosWithElbow& carPoint) override;
  MotionCommands::RETURN_ID* moveLinearCartesianRel(
      const MotionCommands::CarPosWithElbow& carPoint) override;
  MotionCommands::RETURN_ID* movePTPJointAbs(const MotionCommands::JointPos& jointPoint) override;
  MotionCommands::RETURN_ID* movePTPJointRel(const MotionCommands::JointPos& jointPoint) override;
  MotionCommands::RETURN_ID* openGripper() override;
  MotionCommands::RETURN_ID* setSpeedCartesian(MotionCommands::ULONG speedRatio) override;
  MotionCommands::RETURN_ID* setSpeedJoint(MotionCommands::ULONG speedRatio) override;

 private:
  HiroCell& cell_;
};

class HiroNXSVC_impl : public virtual POA_HiroNX {
 public:
  explicit HiroNXSVC_impl(HiroCell& cell) : cell_(cell) {}

  void setupRobot() override;
  void restart() override;
  // Joint moves to the initial pose and the off pose (all joints 0); they return when the
  // motion has ended or has been halted.
  void goInitial() override;
  void goOffPose() override;
  void servoOn() override;
  void servoOff() override;
  void calibrateJoint() override;
  void servoOnHands() override;
  void servoOffHands() override;
  void reboot() override;
  void shutdown() override;
  void rhandOpen() override;
  void rhandClose() override;
  void lhandOpen() override;
  void lhandClose() override;
  void EngageProtectiveStop() override;
  void DisengageProtectiveStop() override;

 private:
  void moveFingers(const char* hand, double opening_mm);
  void moveTo(const JointVector& joints_rad);

  HiroCell& cell_;
};

class LumerisServiceSVC_impl : public virtual POA_LumerisRTC::LumerisService {
 public:
  explicit LumerisServiceSVC_impl(HiroCell& cell) : cell_(cell) {}

  // -1 and id -1 when no object is left on the table; otherwise 0.
  CORBA::Long getLastEstimatedResult(const RTC::Pose3D& world, CORBA::Long& id, RTC::Size3D& size,
                                     RTC::Pose3D& pose) override;

 private:
  HiroCell& cell_;
};

class CellStateSVC_impl : public virtual POA_HiroSim::CellState {
 public:
  explicit CellStateSVC_impl(HiroCell& cell) : cell_(cell) {}

  HiroSim::ObjectPlaceSeq* getObjectPlaces() override;
  HiroSim::TrayPlace getTrayPlace() override;
  HiroSim::CellView* getCellView() override;

 private:
  HiroCell& cell_;
};

// The robot's initial pose (radians): the pose the coordinator starts every task from,
// hands at finger angle 0.
JointVector initialPose();

}  // namespace hirosim
