#include "openhrp_services.h"

#include <iostream>

namespace hirosim {
namespace {

// Refusal values of the long and double operations: the outcome code, negated.
CORBA::Long refusalValue(const Outcome& outcome) {
  return outcome.ok() ? 0 : -static_cast<CORBA::Long>(outcome.code);
}

constexpr CORBA::Long kUnsupported = -static_cast<CORBA::Long>(OutcomeCode::Unsupported);

void notSimulated(const std::string& operation, const std::string& what) {
  std::cerr << operation << " refused: " << what << std::endl;
}

const std::vector<Channel> kSequence{Channel::Sequence};
const std::vector<Channel> kHands{Channel::RightHand, Channel::LeftHand};

// Controller joint names per servo group.
std::vector<std::string> jointNamesOf(JointGroup group) {
  if (group == JointGroup::BodyHead) return {"CHEST_JOINT0", "HEAD_JOINT0", "HEAD_JOINT1"};
  const GroupSpan span = groupSpan(group);
  std::vector<std::string> names;
  for (int k = 0; k < span.size; ++k) {
    names.push_back(std::string(servoName(group)) + "_JOINT" + std::to_string(k));
  }
  return names;
}

OpenHRP::StrSequence* toStrSequence(const std::vector<std::string>& names) {
  auto* sequence = new OpenHRP::StrSequence;
  sequence->length(static_cast<CORBA::ULong>(names.size()));
  for (std::size_t i = 0; i < names.size(); ++i) {
    (*sequence)[static_cast<CORBA::ULong>(i)] = names[i].c_str();
  }
  return sequence;
}

}  // namespace

void RobotHardwareServiceSVC_impl::getStatus(OpenHRP::RobotHardwareService::RobotState_out rs) {
  auto* state = new OpenHRP::RobotHardwareService::RobotState;
  const JointVector joints = cell_.joints();
  state->angle.length(kJointCount);
  state->command.length(kJointCount);
  state->servoState.length(kJointCount);
  for (int g = 0; g < kGroupCount; ++g) {
    const JointGroup group = static_cast<JointGroup>(g);
    const GroupSpan span = groupSpan(group);
    const bool on = cell_.servoOn(group);
    for (int k = 0; k < span.size; ++k) state->servoState[span.offset + k] = on ? 1 : 0;
  }
  for (int i = 0; i < kJointCount; ++i) {
    state->angle[i] = joints[i];
    state->command[i] = joints[i];
  }
  state->voltage = 0.0;
  state->current = 0.0;
  rs = state;
}

CORBA::Boolean RobotHardwareServiceSVC_impl::servo(const char* name, OpenHRP::SwitchStatus ss) {
  return cell_.switchServo(name, ss == OpenHRP::SWITCH_ON).ok();
}

CORBA::Boolean RobotHardwareServiceSVC_impl::power(const char* name, OpenHRP::SwitchStatus ss) {
  if (!groupFromServoName(name)) {
    notSimulated("power", std::string("unknown joint group \"") + name + "\"");
    return false;
  }
  if (ss == OpenHRP::SWITCH_OFF) {
    notSimulated("power", "the simulated robot's power stays on; switch the servos instead");
  }
  return true;
}

void RobotHardwareServiceSVC_impl::calibrateJoint(const char*) {
  std::cerr << "calibrateJoint: the simulated joints are always calibrated" << std::endl;
}

void RobotHardwareServiceSVC_impl::calibrateSensor() {
  std::cerr << "calibrateSensor: the simulated robot has no sensors to calibrate" << std::endl;
}

CORBA::Long RobotHardwareServiceSVC_impl::engageProtectiveStop() {
  cell_.engageProtectiveStop();
  return 0;
}

CORBA::Long RobotHardwareServiceSVC_impl::disengageProtectiveStop() {
  cell_.disengageProtectiveStop();
  return 0;
}

void RobotHardwareServiceSVC_impl::getJointPartNames(OpenHRP::StrSequence_out names) {
  std::vector<std::string> parts;
  for (int g = 0; g < kGroupCount; ++g) parts.push_back(servoName(static_cast<JointGroup>(g)));
  names = toStrSequence(parts);
}

void RobotHardwareServiceSVC_impl::getJointNamesInPart(const char* part,
                                                       OpenHRP::StrSequence_out names) {
  const std::optional<JointGroup> group = groupFromServoName(part);
  names = toStrSequence(group ? jointNamesOf(*group) : std::vector<std::string>{});
}

CORBA::Long SequencePlayerServiceSVC_impl::setJointAngles(
    const OpenHRP::SequencePlayerService::KeyPose& pose, CORBA::Double time_s,
    CORBA::Double& reached_s) {
  std::vector<std::vector<double>> groups(pose.length());
  for (CORBA::ULong g = 0; g < pose.length(); ++g) {
    groups[g].assign(pose[g].get_buffer(), pose[g].get_buffer() + pose[g].length());
  }
  const Outcome outcome = cell_.setJointAngles(groups, time_s);
  reached_s = outcome.ok() ? time_s : 0.0;
  return refusalValue(outcome);
}

CORBA::Long SequencePlayerServiceSVC_impl::setJointAngle(const char* name, CORBA::Double,
                                                         CORBA::Double) {
  notSimulated("setJointAngle", std::string("joint \"") + name +
                                    "\": single joints are not simulated; use setJointAngles");
  return kUnsupported;
}

CORBA::Boolean SequencePlayerServiceSVC_impl::loadTrajectory(const char* fileName) {
  notSimulated("loadTrajectory",
               std::string("\"") + fileName + "\": trajectory files are not simulated");
  return false;
}

void SequencePlayerServiceSVC_impl::clearBuffer() { cell_.clearQueue(Channel::Sequence); }

CORBA::Boolean SequencePlayerServiceSVC_impl::isEmpty(CORBA::Octet, CORBA::Boolean blocking) {
  return blocking ? cell_.waitIdle(kSequence) : cell_.idle(kSequence);
}

OpenHRP::ArmControlService::ArmState ArmControlServiceSVC_impl::checkStatus() {
  return cell_.armBusy(side_) ? OpenHRP::ArmControlService::ArmBusyState
                              : OpenHRP::ArmControlService::IDLE;
}

CORBA::Double ArmControlServiceSVC_impl::setTargetAngular(CORBA::Double x, CORBA::Double y,
                                                          CORBA::Double z, CORBA::Double r,
                                                          CORBA::Double p, CORBA::Double yaw,
                                                          CORBA::Double time_s) {
  return refusalValue(cell_.setHandTarget(side_, {x, y, z, r, p, yaw}, time_s));
}

CORBA::Boolean ArmControlServiceSVC_impl::getCurrentConfiguration(
    CORBA::Double& x, CORBA::Double& y, CORBA::Double& z, CORBA::Double& r, CORBA::Double& p,
    CORBA::Double& yaw) {
  const geometry::Pose6 pose = cell_.handPose(side_);
  x = pose.x_m;
  y = pose.y_m;
  z = pose.z_m;
  r = pose.roll_rad;
  p = pose.pitch_rad;
  yaw = pose.yaw_rad;
  return true;
}

CORBA::Double ArmControlServiceSVC_impl::setTargetsSpline(
    const OpenHRP::ArmControlService::SplineNodeSequence&) {
  notSimulated("setTargetsSpline", "spline targets are not simulated; use setTargetAngular");
  return kUnsupported;
}

CORBA::Long GrasperServiceSVC_impl::setJointAngles(const char* hand,
                                                   const OpenHRP::DblSequence& angles,
                                                   CORBA::Double time_s, CORBA::Double& reached_s) {
  const std::vector<double> values(angles.get_buffer(), angles.get_buffer() + angles.length());
  const Outcome outcome = cell_.setFingerAngles(hand, values, time_s);
  reached_s = outcome.ok() ? time_s : 0.0;
  return refusalValue(outcome);
}

CORBA::Long GrasperServiceSVC_impl::setJointAngle(const char* hand, CORBA::Long finger,
                                                  CORBA::Double angle_rad, CORBA::Double time_s) {
  const std::optional<Side> side = sideFromHandName(hand);
  // The cell refuses an unknown hand name with its message.
  if (!side) return refusalValue(cell_.setFingerAngles(hand, {}, time_s));
  if (finger < 0 || finger >= kFingerJointCount) {
    std::cerr << "GrasperService::setJointAngle refused: finger " << finger
              << " does not exist (0 to 3)" << std::endl;
    return -static_cast<CORBA::Long>(OutcomeCode::InvalidArgument);
  }
  const JointVector joints = cell_.joints();
  const GroupSpan span = groupSpan(handGroup(*side));
  std::vector<double> values(joints.begin() + span.offset,
                             joints.begin() + span.offset + span.size);
  values[finger] = angle_rad;
  return refusalValue(cell_.setFingerAngles(hand, values, time_s));
}

CORBA::Boolean GrasperServiceSVC_impl::isEmpty(CORBA::Octet, CORBA::Boolean blocking) {
  return blocking ? cell_.waitIdle(kHands) : cell_.idle(kHands);
}

}  // namespace hirosim
