#include "fake_controller_services.h"

#include <algorithm>
#include <thread>

namespace fakes {

// ---- motion span ----

void MotionSpan::start(double time_s) {
  if (!followTimes_) return;
  end_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>(std::max(time_s, 0.0)));
}

bool MotionSpan::busyAtPoll() {
  if (followTimes_) return Clock::now() < end_;
  if (busyPolls_ <= 0) return false;
  --busyPolls_;
  return true;
}

// ---- motion queue ----

void FakeMotionQueue::setBusyPolls(int polls) {
  std::lock_guard<std::mutex> lock(mutex_);
  span_.setBusyPolls(polls);
}

void FakeMotionQueue::followMotionTimes() {
  std::lock_guard<std::mutex> lock(mutex_);
  span_.followMotionTimes();
}

void FakeMotionQueue::motionCommanded(double time_s) {
  std::lock_guard<std::mutex> lock(mutex_);
  span_.start(time_s);
}

std::vector<std::string> FakeMotionQueue::isEmptyCalls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return isEmptyCalls_;
}

bool FakeMotionQueue::isEmpty(CORBA::Octet mask, CORBA::Boolean blocking) {
  std::unique_lock<std::mutex> lock(mutex_);
  isEmptyCalls_.push_back(std::to_string(mask) + (blocking ? ":block" : ":poll"));
  if (!blocking) return !span_.busyAtPoll();
  if (span_.followsMotionTimes()) {
    const Clock::time_point end = span_.end();
    lock.unlock();
    std::this_thread::sleep_until(end);
    return true;
  }
  span_.setBusyPolls(0);
  return true;
}

// ---- robot hardware ----

void FakeRobotHardware::setAngles(const std::vector<double>& angles_rad) {
  std::lock_guard<std::mutex> lock(mutex_);
  angles_rad_ = angles_rad;
}

void FakeRobotHardware::refuseServo(const std::string& group) {
  std::lock_guard<std::mutex> lock(mutex_);
  refusedGroup_ = group;
}

void FakeRobotHardware::setProtectiveStopResult(CORBA::Long result) {
  std::lock_guard<std::mutex> lock(mutex_);
  protectiveStopResult_ = result;
}

std::vector<std::string> FakeRobotHardware::servoCalls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return servoCalls_;
}

int FakeRobotHardware::statusCalls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statusCalls_;
}

int FakeRobotHardware::protectiveStopCalls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return protectiveStopCalls_;
}

void FakeRobotHardware::getStatus(OpenHRP::RobotHardwareService::RobotState_out rs) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++statusCalls_;
  OpenHRP::RobotHardwareService::RobotState* state = new OpenHRP::RobotHardwareService::RobotState;
  state->angle.length(static_cast<CORBA::ULong>(angles_rad_.size()));
  for (CORBA::ULong i = 0; i < angles_rad_.size(); ++i) state->angle[i] = angles_rad_[i];
  state->voltage = 0.0;
  state->current = 0.0;
  rs = state;
}

CORBA::Boolean FakeRobotHardware::servo(const char* name, OpenHRP::SwitchStatus ss) {
  std::lock_guard<std::mutex> lock(mutex_);
  servoCalls_.push_back(std::string(name) + (ss == OpenHRP::SWITCH_ON ? ":on" : ":off"));
  return refusedGroup_ != name;
}

CORBA::Boolean FakeRobotHardware::power(const char*, OpenHRP::SwitchStatus) { return true; }
void FakeRobotHardware::calibrateJoint(const char*) {}
void FakeRobotHardware::calibrateSensor() {}

CORBA::Long FakeRobotHardware::engageProtectiveStop() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++protectiveStopCalls_;
  return protectiveStopResult_;
}

CORBA::Long FakeRobotHardware::disengageProtectiveStop() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++protectiveStopCalls_;
  return protectiveStopResult_;
}

void FakeRobotHardware::getJointPartNames(OpenHRP::StrSequence_out names) {
  names = new OpenHRP::StrSequence;
}

void FakeRobotHardware::getJointNamesInPart(const char*, OpenHRP::StrSequence_out names) {
  names = new OpenHRP::StrSequence;
}

// ---- sequence player ----

std::vector<FakeSequencePlayer::JointCommand> FakeSequencePlayer::commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

CORBA::Long FakeSequencePlayer::setJointAngles(const OpenHRP::SequencePlayerService::KeyPose& pose,
                                               CORBA::Double time_s, CORBA::Double& reached_s) {
  std::lock_guard<std::mutex> lock(mutex_);
  JointCommand command{{}, time_s};
  for (CORBA::ULong g = 0; g < pose.length(); ++g) {
    command.groups.emplace_back(pose[g].get_buffer(), pose[g].get_buffer() + pose[g].length());
  }
  commands_.push_back(command);
  queue_.motionCommanded(time_s);
  reached_s = time_s;
  report("SequencePlayerService::setJointAngles");
  return 0;
}

CORBA::Long FakeSequencePlayer::setJointAngle(const char*, CORBA::Double, CORBA::Double) {
  return 0;
}
CORBA::Boolean FakeSequencePlayer::loadTrajectory(const char*) { return true; }
void FakeSequencePlayer::clearBuffer() {}

CORBA::Boolean FakeSequencePlayer::isEmpty(CORBA::Octet mask, CORBA::Boolean blocking) {
  report("SequencePlayerService::isEmpty");
  return queue_.isEmpty(mask, blocking);
}

// ---- arm control ----

void FakeArmControl::setCurrentConfiguration(const Target& pose) {
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = pose;
}

void FakeArmControl::setBusyChecks(int checks) {
  std::lock_guard<std::mutex> lock(mutex_);
  span_.setBusyPolls(checks);
}

void FakeArmControl::followMotionTimes() {
  std::lock_guard<std::mutex> lock(mutex_);
  span_.followMotionTimes();
}

std::vector<FakeArmControl::Target> FakeArmControl::targets() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return targets_;
}

int FakeArmControl::statusChecks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statusChecks_;
}

OpenHRP::ArmControlService::ArmState FakeArmControl::checkStatus() {
  report("ArmControlService::checkStatus");
  std::lock_guard<std::mutex> lock(mutex_);
  ++statusChecks_;
  return span_.busyAtPoll() ? OpenHRP::ArmControlService::ArmBusyState
                            : OpenHRP::ArmControlService::IDLE;
}

CORBA::Double FakeArmControl::setTargetAngular(CORBA::Double x, CORBA::Double y, CORBA::Double z,
                                               CORBA::Double r, CORBA::Double p, CORBA::Double yaw,
                                               CORBA::Double time_s) {
  std::lock_guard<std::mutex> lock(mutex_);
  targets_.push_back({x, y, z, r, p, yaw, time_s});
  span_.start(time_s);
  report("ArmControlService::setTargetAngular");
  return time_s;
}

CORBA::Boolean FakeArmControl::getCurrentConfiguration(CORBA::Double& x, CORBA::Double& y,
                                                       CORBA::Double& z, CORBA::Double& r,
                                                       CORBA::Double& p, CORBA::Double& yaw) {
  std::lock_guard<std::mutex> lock(mutex_);
  x = current_.x;
  y = current_.y;
  z = current_.z;
  r = current_.r;
  p = current_.p;
  yaw = current_.yaw;
  return true;
}

CORBA::Double FakeArmControl::setTargetsSpline(
    const OpenHRP::ArmControlService::SplineNodeSequence&) {
  return 0.0;
}

// ---- grasper ----

std::vector<FakeGrasper::FingerCommand> FakeGrasper::commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

CORBA::Long FakeGrasper::setJointAngles(const char* hand, const OpenHRP::DblSequence& angles,
                                        CORBA::Double time_s, CORBA::Double& reached_s) {
  std::lock_guard<std::mutex> lock(mutex_);
  commands_.push_back(
      {hand, std::vector<double>(angles.get_buffer(), angles.get_buffer() + angles.length()),
       time_s});
  queue_.motionCommanded(time_s);
  reached_s = time_s;
  report("GrasperService::setJointAngles");
  return 0;
}

CORBA::Long FakeGrasper::setJointAngle(const char*, CORBA::Long, CORBA::Double, CORBA::Double) {
  return 0;
}

CORBA::Boolean FakeGrasper::isEmpty(CORBA::Octet mask, CORBA::Boolean blocking) {
  report("GrasperService::isEmpty");
  return queue_.isEmpty(mask, blocking);
}

}  // namespace fakes
