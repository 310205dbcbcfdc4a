#pragma once
// The simulated robot controller's OpenHRP services, each a thin servant on the HiroCell.
// Refused commands return a non-zero value (the cell prints why); nothing throws.

#include <OpenHRP.hh>

#include "hiro_cell.h"

namespace hirosim {

class RobotHardwareServiceSVC_impl : public virtual POA_OpenHRP::RobotHardwareService {
 public:
  explicit RobotHardwareServiceSVC_impl(HiroCell& cell) : cell_(cell) {}

  void getStatus(OpenHRP::RobotHardwareService::RobotState_out rs) override;
  CORBA::Boolean servo(const char* name, OpenHRP::SwitchStatus ss) override;
  CORBA::Boolean power(const char* name, OpenHRP::SwitchStatus ss) override;
  void calibrateJoint(const char* name) override;
  void calibrateSensor() override;
  CORBA::Long engageProtectiveStop() override;
  CORBA::Long disengageProtectiveStop() override;
  void getJointPartNames(OpenHRP::StrSequence_out names) override;
  void getJointNamesInPart(const char* part, OpenHRP::StrSequence_out names) override;

 private:
  HiroCell& cell_;
};

class SequencePlayerServiceSVC_impl : public virtual POA_OpenHRP::SequencePlayerService {
 public:
  explicit SequencePlayerServiceSVC_impl(HiroCell& cell) : cell_(cell) {}

  CORBA::Long setJointAngles(const OpenHRP::SequencePlayerService::KeyPose& pose,
                             CORBA::Double time_s, CORBA::Double& reached_s) override;
  CORBA::Long setJointAngle(const char* name, CORBA::Double angle_rad,
                            CORBA::Double time_s) override;
  CORBA::Boolean loadTrajectory(const char* fileName) override;
  void clearBuffer() override;
  // The group mask is not looked at: the player has one queue.
  CORBA::Boolean isEmpty(CORBA::Octet mask, CORBA::Boolean blocking) override;

 private:
  HiroCell& cell_;
};

class ArmControlServiceSVC_impl : public virtual POA_OpenHRP::ArmControlService {
 public:
  ArmControlServiceSVC_impl(HiroCell& cell, Side side) : cell_(cell), side_(side) {}

  OpenHRP::ArmControlService::ArmState checkStatus() override;
  CORBA::Double setTargetAngular(CORBA::Double x, CORBA::Double y, CORBA::Double z, CORBA::Double r,
                                 CORBA::Double p, CORBA::Double yaw, CORBA::Double time_s) override;
  CORBA::Boolean getCurrentConfiguration(CORBA::Double& x, CORBA::Double& y, CORBA::Double& z,
                                         CORBA::Double& r, CORBA::Double& p,
                                         CORBA::Double& yaw) override;
  CORBA::Double setTargetsSpline(
      const OpenHRP::ArmControlService::SplineNodeSequence& nodes) override;

 private:
  HiroCell& cell_;
  Side side_;
};

class GrasperServiceSVC_impl : public virtual POA_OpenHRP::GrasperService {
 public:
  explicit GrasperServiceSVC_impl(HiroCell& cell) : cell_(cell) {}

  CORBA::Long setJointAngles(const char* hand, const OpenHRP::DblSequence& angles,
                             CORBA::Double time_s, CORBA::Double& reached_s) override;
  CORBA::Long setJointAngle(const char* hand, CORBA::Long finger, CORBA::Double angle_rad,
                            CORBA::Double time_s) override;
  // The group mask is not looked at: both hands are waited for.
  CORBA::Boolean isEmpty(CORBA::Octet mask, CORBA::Boolean blocking) override;

 private:
  HiroCell& cell_;
};

}  // namespace hirosim
