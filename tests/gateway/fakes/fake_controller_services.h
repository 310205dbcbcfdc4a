#pragma once

#include <mutex>
#include <string>
#include <vector>

#include <OpenHRP.hh>

// Stand-ins for the robot controller's four OpenHRP services: real servants that record the
// calls they receive and answer with what the test set. Calls arrive on ORB threads, so every
// record is guarded.
namespace fakes {

// A controller's motion queue as isEmpty reports it: busy for a set number of polls; a
// blocking call returns once it is empty.
class FakeMotionQueue {
 public:
  void setBusyPolls(int polls);
  std::vector<std::string> isEmptyCalls() const;  // "31:block", "31:poll"
  bool isEmpty(CORBA::Octet mask, CORBA::Boolean blocking);

 private:
  mutable std::mutex mutex_;
  int busyPolls_ = 0;
  std::vector<std::string> isEmptyCalls_;
};

class FakeRobotHardware : public virtual POA_OpenHRP::RobotHardwareService {
 public:
  void setAngles(const std::vector<double>& angles_rad);
  // servo() answers false for this group name (empty: accept all).
  void refuseServo(const std::string& group);
  void setProtectiveStopResult(CORBA::Long result);
  std::vector<std::string> servoCalls() const;  // "BODY:on", "RARM:off", ...
  int statusCalls() const;
  int protectiveStopCalls() const;

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
  mutable std::mutex mutex_;
  std::vector<double> angles_rad_ = std::vector<double>(23, 0.0);
  std::string refusedGroup_;
  CORBA::Long protectiveStopResult_ = 0;
  std::vector<std::string> servoCalls_;
  int statusCalls_ = 0;
  int protectiveStopCalls_ = 0;
};

class FakeSequencePlayer : public virtual POA_OpenHRP::SequencePlayerService {
 public:
  struct JointCommand {
    std::vector<std::vector<double>> groups;
    double time_s;
  };
  std::vector<JointCommand> commands() const;
  FakeMotionQueue& queue() { return queue_; }

  CORBA::Long setJointAngles(const OpenHRP::SequencePlayerService::KeyPose& pose,
                             CORBA::Double time_s, CORBA::Double& reached_s) override;
  CORBA::Long setJointAngle(const char* name, CORBA::Double angle_rad,
                            CORBA::Double time_s) override;
  CORBA::Boolean loadTrajectory(const char* fileName) override;
  void clearBuffer() override;
  CORBA::Boolean isEmpty(CORBA::Octet mask, CORBA::Boolean blocking) override;

 private:
  mutable std::mutex mutex_;
  std::vector<JointCommand> commands_;
  FakeMotionQueue queue_;
};

class FakeArmControl : public virtual POA_OpenHRP::ArmControlService {
 public:
  struct Target {
    double x, y, z, r, p, yaw, time_s;
  };
  void setCurrentConfiguration(const Target& pose);
  // checkStatus() answers ArmBusyState this many times before IDLE.
  void setBusyChecks(int checks);
  std::vector<Target> targets() const;
  int statusChecks() const;

  OpenHRP::ArmControlService::ArmState checkStatus() override;
  CORBA::Double setTargetAngular(CORBA::Double x, CORBA::Double y, CORBA::Double z, CORBA::Double r,
                                 CORBA::Double p, CORBA::Double yaw, CORBA::Double time_s) override;
  CORBA::Boolean getCurrentConfiguration(CORBA::Double& x, CORBA::Double& y, CORBA::Double& z,
                                         CORBA::Double& r, CORBA::Double& p,
                                         CORBA::Double& yaw) override;
  CORBA::Double setTargetsSpline(
      const OpenHRP::ArmControlService::SplineNodeSequence& nodes) override;

 private:
  mutable std::mutex mutex_;
  Target current_{};
  int busyChecks_ = 0;
  int statusChecks_ = 0;
  std::vector<Target> targets_;
};

class FakeGrasper : public virtual POA_OpenHRP::GrasperService {
 public:
  struct FingerCommand {
    std::string hand;
    std::vector<double> angles_rad;
    double time_s;
  };
  std::vector<FingerCommand> commands() const;
  FakeMotionQueue& queue() { return queue_; }

  CORBA::Long setJointAngles(const char* hand, const OpenHRP::DblSequence& angles,
                             CORBA::Double time_s, CORBA::Double& reached_s) override;
  CORBA::Long setJointAngle(const char* hand, CORBA::Long finger, CORBA::Double angle_rad,
                            CORBA::Double time_s) override;
  CORBA::Boolean isEmpty(CORBA::Octet mask, CORBA::Boolean blocking) override;

 private:
  mutable std::mutex mutex_;
  std::vector<FingerCommand> commands_;
  FakeMotionQueue queue_;
};

}  // namespace fakes
