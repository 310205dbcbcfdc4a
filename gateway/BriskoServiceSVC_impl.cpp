#include "gateway/BriskoServiceSVC_impl.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gateway/console_text.h"
#include "gateway/display/joint_vector_lines.h"
#include "gateway/ik/waist_compensation.h"
#include "gateway/ikfast/ik_hiro_arms.h"
#include "gateway/motion/arm_motion_time.h"
#include "gateway/motion/finger_opening.h"

namespace {

constexpr std::chrono::milliseconds kWaitPollPeriod{50};
// Queue mask the controller's isEmpty is asked with.
constexpr CORBA::Octet kAllQueues = 31;
constexpr int kGroupCount = joint_lines::kGroupCount;
constexpr int kBodyGroup = 0;
constexpr int kRightArmGroup = 1;
constexpr int kLeftArmGroup = 2;
const char* const kLeftHand = "LHAND";
const char* const kRightHand = "RHAND";
// Highlight of the IK failure message: black on yellow.
constexpr int kHighlightForeground = 0;
constexpr int kHighlightBackground = 14;

geometry::Pose6 toPose6(const RTC::Pose3D& pose) {
  return {pose.position.x,    pose.position.y,    pose.position.z,
          pose.orientation.r, pose.orientation.p, pose.orientation.y};
}

void printJointAngles(const BriskoServiceSVC_impl::JointAngles& angles) {
  std::string text;
  for (CORBA::ULong g = 0; g < angles.length() && g < kGroupCount; ++g) {
    text += joint_lines::degreesLine(static_cast<int>(g), angles[g].get_buffer(),
                                     static_cast<int>(angles[g].length()));
  }
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

void reportNoIkSolution() {
  processConsole().setAttribute(kHighlightForeground, kHighlightBackground);
  std::fputs("\aBriskoServiceSVC_impl::isIKSolutionFound(): IK solution not found.", stdout);
  std::fflush(stdout);
  processConsole().setAttribute(ConsoleText::kNormalForeground, ConsoleText::kNormalBackground);
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

void stopOnJointCountMismatch(int jointCount, const char* message) {
  if (jointCount == hiro::kArmJointCount) return;
  std::fprintf(stderr, "%s\n", message);
  std::fputs("Press 'return' key to exit...", stdout);
  std::fflush(stdout);
  std::getchar();
  std::exit(1);
}

}  // namespace

// ---- IK wrappers ----

BriskoServiceSVC_impl::IKBase::IKBase(int armGroup) {
  jointAngles_.length(kGroupCount);
  jointAngles_[armGroup].length(hiro::kArmJointCount);
}

int BriskoServiceSVC_impl::IKBase::solveWith(const ArmIkCalls& arm,
                                             const geometry::Pose6& pose_chest) {
  return solveAdmissible(arm, pose_chest, solutions_, admissible_, chosen_rad_);
}

void BriskoServiceSVC_impl::IKBase::fillGroup(int armGroup) {
  for (int j = 0; j < hiro::kArmJointCount; ++j) jointAngles_[armGroup][j] = chosen_rad_[j];
}

BriskoServiceSVC_impl::IKL::IKL() : IKBase(kLeftArmGroup) {}
void BriskoServiceSVC_impl::IKL::fill() { fillGroup(kLeftArmGroup); }
int BriskoServiceSVC_impl::IKL::solve(const geometry::Pose6& pose_chest) {
  return solveWith(leftArmIk(), pose_chest);
}

BriskoServiceSVC_impl::IKR::IKR() : IKBase(kRightArmGroup) {}
void BriskoServiceSVC_impl::IKR::fill() { fillGroup(kRightArmGroup); }
int BriskoServiceSVC_impl::IKR::solve(const geometry::Pose6& pose_chest) {
  return solveWith(rightArmIk(), pose_chest);
}

// ---- servant ----

BriskoServiceSVC_impl::BriskoServiceSVC_impl(
    RTC::CorbaConsumer<OpenHRP::RobotHardwareService>& robotHardware,
    RTC::CorbaConsumer<OpenHRP::SequencePlayerService>& sequencePlayer,
    RTC::CorbaConsumer<OpenHRP::ArmControlService>& armControlL,
    RTC::CorbaConsumer<OpenHRP::ArmControlService>& armControlR,
    RTC::CorbaConsumer<OpenHRP::GrasperService>& grasper)
    : robotHardware_(robotHardware),
      sequencePlayer_(sequencePlayer),
      armControlL_(armControlL),
      armControlR_(armControlR),
      grasper_(grasper) {
  stopOnJointCountMismatch(getNumJointsL(),
                           "BriskoServiceSVC_impl: constructor: # joints of L arm not match.");
  stopOnJointCountMismatch(getNumJointsR(),
                           "BriskoServiceSVC_impl: constructor: # joints of R arm not match.");
}

CORBA::Long BriskoServiceSVC_impl::getHandPose(OpenHRP::ArmControlService_ptr arm,
                                               RTC::Pose3D& pose) {
  if (CORBA::is_nil(arm)) return kNotConnected;
  arm->getCurrentConfiguration(pose.position.x, pose.position.y, pose.position.z,
                               pose.orientation.r, pose.orientation.p, pose.orientation.y);
  return 0;
}

CORBA::Long BriskoServiceSVC_impl::getHandPoseL(RTC::Pose3D& pose) {
  return getHandPose(armControlL_._ptr(), pose);
}

CORBA::Long BriskoServiceSVC_impl::getHandPoseR(RTC::Pose3D& pose) {
  return getHandPose(armControlR_._ptr(), pose);
}

CORBA::Long BriskoServiceSVC_impl::getJointAngles(JointAngles_out angles) {
  OpenHRP::RobotHardwareService_ptr robot = robotHardware_._ptr();
  if (CORBA::is_nil(robot)) {
    angles = new JointAngles;
    return kNotConnected;
  }
  OpenHRP::RobotHardwareService::RobotState_var status;
  robot->getStatus(status.out());
  // A status with fewer angles raises the sequence bound-check error to the caller.
  JointAngles_var result = new JointAngles;
  result->length(kGroupCount);
  CORBA::ULong index = 0;
  for (int g = 0; g < kGroupCount; ++g) {
    result[g].length(joint_lines::kGroupSizes[g]);
    for (int j = 0; j < joint_lines::kGroupSizes[g]; ++j) result[g][j] = status->angle[index++];
  }
  angles = result._retn();
  return 0;
}

CORBA::Long BriskoServiceSVC_impl::setHandPose(OpenHRP::ArmControlService_ptr arm,
                                               const RTC::Pose3D& pose, CORBA::Double time_s,
                                               CORBA::Boolean wait) {
  if (CORBA::is_nil(arm)) return kNotConnected;
  arm->setTargetAngular(pose.position.x, pose.position.y, pose.position.z, pose.orientation.r,
                        pose.orientation.p, pose.orientation.y, time_s);
  if (wait && !waitForMotionEnd(
                  [&] { return arm->checkStatus() == OpenHRP::ArmControlService::ArmBusyState; })) {
    return kWaitGivenUp;
  }
  return 0;
}

CORBA::Long BriskoServiceSVC_impl::setHandPoseL(const RTC::Pose3D& pose, CORBA::Double time_s,
                                                CORBA::Boolean wait) {
  return setHandPose(armControlL_._ptr(), pose, time_s, wait);
}

CORBA::Long BriskoServiceSVC_impl::setHandPoseR(const RTC::Pose3D& pose, CORBA::Double time_s,
                                                CORBA::Boolean wait) {
  return setHandPose(armControlR_._ptr(), pose, time_s, wait);
}

CORBA::Long BriskoServiceSVC_impl::setJointAngles(const JointAngles& angles, CORBA::Double time_s,
                                                  CORBA::Boolean wait) {
  OpenHRP::SequencePlayerService_ptr player = sequencePlayer_._ptr();
  if (CORBA::is_nil(player)) return kNotConnected;
  OpenHRP::SequencePlayerService::KeyPose keyPose;
  keyPose.length(angles.length());
  for (CORBA::ULong g = 0; g < angles.length(); ++g) {
    keyPose[g].length(angles[g].length());
    for (CORBA::ULong j = 0; j < angles[g].length(); ++j) keyPose[g][j] = angles[g][j];
  }
  CORBA::Double reached_s = 0.0;
  player->setJointAngles(keyPose, time_s, reached_s);
  if (wait && !waitForMotionEnd([&] { return !player->isEmpty(kAllQueues, false); })) {
    return kWaitGivenUp;
  }
  return 0;
}

CORBA::Long BriskoServiceSVC_impl::setFingerAngles(const char* hand, const FingerAngles& angles,
                                                   CORBA::Double time_s, CORBA::Boolean wait) {
  OpenHRP::GrasperService_ptr grasper = grasper_._ptr();
  if (CORBA::is_nil(grasper)) return kNotConnected;
  OpenHRP::DblSequence fingers;
  fingers.length(4);
  for (CORBA::ULong i = 0; i < 4; ++i) fingers[i] = angles[i];
  CORBA::Double reached_s = 0.0;
  grasper->setJointAngles(hand, fingers, time_s, reached_s);
  if (wait && !waitForMotionEnd([&] { return !grasper->isEmpty(kAllQueues, false); })) {
    return kWaitGivenUp;
  }
  return 0;
}

CORBA::Long BriskoServiceSVC_impl::setFingerAnglesL(const FingerAngles& angles,
                                                    CORBA::Double time_s, CORBA::Boolean wait) {
  return setFingerAngles(kLeftHand, angles, time_s, wait);
}

CORBA::Long BriskoServiceSVC_impl::setFingerAnglesR(const FingerAngles& angles,
                                                    CORBA::Double time_s, CORBA::Boolean wait) {
  return setFingerAngles(kRightHand, angles, time_s, wait);
}

CORBA::Long BriskoServiceSVC_impl::setFingerDistance(const char* hand, CORBA::Double distance_mm,
                                                     CORBA::Double time_s, CORBA::Boolean wait) {
  finger::HandAngles angles_rad;
  if (!finger::anglesForOpening(distance_mm, angles_rad)) return kFingerOpeningOutOfRange;
  FingerAngles angles(4, 4, angles_rad.data(), false);
  return setFingerAngles(hand, angles, time_s, wait);
}

CORBA::Long BriskoServiceSVC_impl::setFingerDistanceL(CORBA::Double distance_mm,
                                                      CORBA::Double time_s, CORBA::Boolean wait) {
  return setFingerDistance(kLeftHand, distance_mm, time_s, wait);
}

CORBA::Long BriskoServiceSVC_impl::setFingerDistanceR(CORBA::Double distance_mm,
                                                      CORBA::Double time_s, CORBA::Boolean wait) {
  return setFingerDistance(kRightHand, distance_mm, time_s, wait);
}

CORBA::Boolean BriskoServiceSVC_impl::isHandMoving(OpenHRP::ArmControlService_ptr arm) {
  if (CORBA::is_nil(arm)) return true;
  return arm->checkStatus() == OpenHRP::ArmControlService::ArmBusyState;
}

CORBA::Boolean BriskoServiceSVC_impl::isHandMovingL() { return isHandMoving(armControlL_._ptr()); }

CORBA::Boolean BriskoServiceSVC_impl::isHandMovingR() { return isHandMoving(armControlR_._ptr()); }

CORBA::Boolean BriskoServiceSVC_impl::isJointMoving() {
  OpenHRP::SequencePlayerService_ptr player = sequencePlayer_._ptr();
  if (CORBA::is_nil(player)) return true;
  return !player->isEmpty(kAllQueues, false);
}

// The grasper has one queue for both hands, so left and right ask the same.
CORBA::Boolean BriskoServiceSVC_impl::isFingerMoving() {
  OpenHRP::GrasperService_ptr grasper = grasper_._ptr();
  if (CORBA::is_nil(grasper)) return true;
  return !grasper->isEmpty(kAllQueues, false);
}

CORBA::Boolean BriskoServiceSVC_impl::isFingerMovingL() { return isFingerMoving(); }

CORBA::Boolean BriskoServiceSVC_impl::isFingerMovingR() { return isFingerMoving(); }

CORBA::Long BriskoServiceSVC_impl::setHandPoseLR(const RTC::Pose3D& poseL, const RTC::Pose3D& poseR,
                                                 CORBA::Double speedFactor, CORBA::Boolean wait) {
  if (!arm_motion::isUsableSpeedFactor(speedFactor)) return kSpeedFactorRefused;
  JointAngles_var current;
  if (getJointAngles(current.out()) != 0) return kNotConnected;
  const double waistYaw_rad = current[kBodyGroup][0];

  geometry::Pose6 chestL, chestR;
  compensateWaist(toPose6(poseL), waistYaw_rad, chestL);
  compensateWaist(toPose6(poseR), waistYaw_rad, chestR);
  IKL ikL;
  IKR ikR;
  const bool solvedL = ikL.solve(chestL) > 0;
  const bool solvedR = ikR.solve(chestR) > 0;
  if (!solvedL && !solvedR) return kNoSolutionEither;
  if (!solvedL) return ikL.failureCode();
  if (!solvedR) return ikR.failureCode();
  ikL.fill();
  ikR.fill();

  JointAngles target;
  target.length(kGroupCount);
  target[kRightArmGroup] = ikR.jointAngles()[kRightArmGroup];
  target[kLeftArmGroup] = ikL.jointAngles()[kLeftArmGroup];
  const double time_s = arm_motion::twoArmTime_s(
      current[kRightArmGroup].get_buffer(), target[kRightArmGroup].get_buffer(),
      current[kLeftArmGroup].get_buffer(), target[kLeftArmGroup].get_buffer(), speedFactor);
  return setJointAngles(target, time_s, wait);
}

CORBA::Long BriskoServiceSVC_impl::setFingerDistanceLR(CORBA::Double distanceL_mm,
                                                       CORBA::Double distanceR_mm,
                                                       CORBA::Double time_s, CORBA::Boolean wait) {
  finger::HandAngles left_rad, right_rad;
  if (!finger::anglesForOpening(distanceL_mm, left_rad) ||
      !finger::anglesForOpening(distanceR_mm, right_rad)) {
    return kFingerOpeningsOutOfRange;
  }
  OpenHRP::GrasperService_ptr grasper = grasper_._ptr();
  const OpenHRP::DblSequence left(4, 4, left_rad.data(), false);
  const OpenHRP::DblSequence right(4, 4, right_rad.data(), false);
  CORBA::Double reached_s = 0.0;
  grasper->setJointAngles(kLeftHand, left, time_s, reached_s);
  grasper->setJointAngles(kRightHand, right, time_s, reached_s);
  if (wait && !waitForMotionEnd([&] {
        const bool movingL = isFingerMovingL();
        const bool movingR = isFingerMovingR();
        return movingL || movingR;
      })) {
    return kWaitGivenUp;
  }
  return 0;
}

CORBA::Long BriskoServiceSVC_impl::engageProtectiveStop() {
  OpenHRP::RobotHardwareService_ptr robot = robotHardware_._ptr();
  if (CORBA::is_nil(robot)) return kRobotHardwareMissing;
  return robot->engageProtectiveStop() != 0 ? kRefusedByController : 0;
}

CORBA::Long BriskoServiceSVC_impl::disengageProtectiveStop() {
  OpenHRP::RobotHardwareService_ptr robot = robotHardware_._ptr();
  if (CORBA::is_nil(robot)) return kRobotHardwareMissing;
  return robot->disengageProtectiveStop() != 0 ? kRefusedByController : 0;
}

CORBA::Long BriskoServiceSVC_impl::turnServo(CORBA::Boolean body, CORBA::Boolean armL,
                                             CORBA::Boolean armR, CORBA::Boolean handL,
                                             CORBA::Boolean handR) {
  OpenHRP::RobotHardwareService_ptr robot = robotHardware_._ptr();
  if (CORBA::is_nil(robot)) return kRobotHardwareMissing;
  struct Group {
    const char* name;
    bool on;
    CORBA::Long refusedCode;
  };
  const Group groups[] = {{"BODY", body != 0, -2},
                          {"RARM", armR != 0, -3},
                          {"LARM", armL != 0, -4},
                          {"RHAND", handR != 0, -5},
                          {"LHAND", handL != 0, -6}};
  for (const Group& group : groups) {
    if (!robot->servo(group.name, group.on ? OpenHRP::SWITCH_ON : OpenHRP::SWITCH_OFF)) {
      return group.refusedCode;
    }
  }
  return 0;
}

bool BriskoServiceSVC_impl::waitForMotionEnd(const std::function<bool()>& stillMoving) {
  const MotionWaitGate::Entry entry = waitGate_.enter();
  while (stillMoving()) {
    if (const auto release = waitGate_.pause(entry, kWaitPollPeriod)) {
      std::fprintf(
          stderr,
          "BriskoServiceSVC_impl: stopped waiting for the end of a motion: the gateway %s; "
          "the robot may still be moving\n",
          *release == MotionWaitGate::Release::Deactivated ? "is being deactivated"
                                                           : "is shutting down");
      std::fflush(stderr);
      return false;
    }
  }
  return true;
}

void BriskoServiceSVC_impl::releaseWaits() { waitGate_.releaseWaits(); }

void BriskoServiceSVC_impl::endWaits() { waitGate_.shutDown(); }

CORBA::Long BriskoServiceSVC_impl::setPose(CORBA::Long, CORBA::Double, CORBA::Boolean) { return 0; }

bool BriskoServiceSVC_impl::solveQuery(IKBase& ik, const RTC::Pose3D& pose_base,
                                       CORBA::Double waistYaw_rad) {
  geometry::Pose6 pose_chest;
  compensateWaist(toPose6(pose_base), waistYaw_rad, pose_chest);
  if (ik.solve(pose_chest) > 0) return true;
  reportNoIkSolution();
  return false;
}

CORBA::Boolean BriskoServiceSVC_impl::getIKSolution(IKBase& ik, const RTC::Pose3D& pose_base,
                                                    CORBA::Double waistYaw_rad,
                                                    JointAngles_out solution) {
  if (!solveQuery(ik, pose_base, waistYaw_rad)) {
    solution = new JointAngles;
    return false;
  }
  ik.fill();
  JointAngles* copy = new JointAngles(ik.jointAngles());
  printJointAngles(ik.jointAngles());
  printJointAngles(*copy);
  solution = copy;
  return true;
}

CORBA::Boolean BriskoServiceSVC_impl::getIKSolutionL(const RTC::Pose3D& pose,
                                                     CORBA::Double waistYaw_rad,
                                                     JointAngles_out solution) {
  IKL ik;
  return getIKSolution(ik, pose, waistYaw_rad, solution);
}

CORBA::Boolean BriskoServiceSVC_impl::getIKSolutionR(const RTC::Pose3D& pose,
                                                     CORBA::Double waistYaw_rad,
                                                     JointAngles_out solution) {
  IKR ik;
  return getIKSolution(ik, pose, waistYaw_rad, solution);
}

CORBA::Boolean BriskoServiceSVC_impl::isIKSolutionFoundL(const RTC::Pose3D& pose,
                                                         CORBA::Double waistYaw_rad) {
  IKL ik;
  return solveQuery(ik, pose, waistYaw_rad);
}

CORBA::Boolean BriskoServiceSVC_impl::isIKSolutionFoundR(const RTC::Pose3D& pose,
                                                         CORBA::Double waistYaw_rad) {
  IKR ik;
  return solveQuery(ik, pose, waistYaw_rad);
}
