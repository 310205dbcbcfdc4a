#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <OpenHRP.hh>

// Stand-ins for the robot controller's four OpenHRP services: real servants that record the
// calls they receive and answer with what the test set. Calls arrive on ORB threads, so every
// record is guarded.
namespace fakes {

using Clock = std::chrono::steady_clock;

// How long a commanded motion keeps a fake busy: a set number of polls (the default, for tests
// that count calls), or, as on a controller, the motion time itself on the wall clock.
class MotionSpan {
 public:
  // From now on a motion lasts its motion time.
  void followMotionTimes() { followTimes_ = true; }
  // A motion of time_s seconds starts now.
  void start(double time_s);
  // Busy at this poll: counts a poll down, or compares the clock with the motion's end.
  bool busyAtPoll();
  void setBusyPolls(int polls) { busyPolls_ = polls; }
  // The wall-clock end of the motion, when motions last their motion time.
  bool followsMotionTimes() const { return followTimes_; }
  Clock::time_point end() const { return end_; }

 private:
  bool followTimes_ = false;
  int busyPolls_ = 0;
  Clock::time_point end_{};
};

// Reports each call a fake receives as one line ("ArmControlService::checkStatus"), when told
// where before the fake is reachable. The fake controller process prints them, so that a
// cross-process test can wait for a call to have arrived.
class ReportsCalls {
 public:
  void reportCallsTo(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }

 protected:
  void report(const std::string& call) const {
    if (sink_) sink_(call);
  }

 private:
  std::function<void(const std::string&)> sink_;
};

// A controller's motion queue as isEmpty reports it: busy while the motion lasts (MotionSpan);
// a blocking call returns once it is empty.
class FakeMotionQueue {
 public:
  void setBusyPolls(int polls);
  void followMotionTimes();
  void motionCommanded(double time_s);
  std::vector<std::string> isEmptyCalls() const;  // "31:block", "31:poll"
  bool isEmpty(CORBA::Octet mask, CORBA::Boolean blocking);

 private:
  mutable std::mutex mutex_;
  MotionSpan span_;
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

class FakeSequencePlayer : public virtual POA_OpenHRP::SequencePlayerService, public ReportsCalls {
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

class FakeArmControl : public virtual POA_OpenHRP::ArmControlService, public ReportsCalls {
 public:
  struct Target {
    double x, y, z, r, p, yaw, time_s;
  };
  void setCurrentConfiguration(const Target& pose);
  // checkStatus() answers ArmBusyState this many times before IDLE.
  void setBusyChecks(int checks);
  // From now on checkStatus() answers ArmBusyState for as long as the last target's motion
  // time.
  void followMotionTimes();
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
  MotionSpan span_;
  int statusChecks_ = 0;
  std::vector<Target> targets_;
};

class FakeGrasper : public virtual POA_OpenHRP::GrasperService, public ReportsCalls {
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
