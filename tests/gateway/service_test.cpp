// The gateway servant against fake controller services reached through real object references.
#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "fake_controller_services.h"
#include "gateway/BriskoServiceSVC_impl.h"
#include "gateway/kinematics/hiro_arm_kinematics.h"
#include "gateway/status_panel_text.h"
#include "orb_environment.h"

namespace {

using fakes::Activated;
using JointAngles = BriskoServiceSVC_impl::JointAngles;
using JointAngles_var = BriskoServiceSVC_impl::JointAngles_var;

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180.0;
constexpr CORBA::Long kNotConnected = -2147483647 - 1;
const std::string kNoSolutionMessage =
    "\aBriskoServiceSVC_impl::isIKSolutionFound(): IK solution not found.\n";

RTC::Pose3D pose3D(double x, double y, double z, double r, double p, double yaw) {
  RTC::Pose3D pose;
  pose.position.x = x;
  pose.position.y = y;
  pose.position.z = z;
  pose.orientation.r = r;
  pose.orientation.p = p;
  pose.orientation.y = yaw;
  return pose;
}

// Arm joints with the hand pointing straight down (no wrist twist; pitches sum to -pi/2),
// which the solver gives back first when the shoulder faces forward and the elbow folds forward.
hiro::ArmJoints handDownJoints(double q1, double q2, double q3, double q6) {
  return {q1, q2, q3, 0.0, -kPi / 2 - q2 - q3, q6};
}

// Base-frame hand pose of those joints with the waist turned by waistYaw_rad.
RTC::Pose3D baseFramePose(hiro::ArmSide side, const hiro::ArmJoints& joints, double waistYaw_rad) {
  const geometry::Frame chest = hiro::forwardKinematics(side, joints);
  const geometry::Vec3 base = geometry::rotationZ(waistYaw_rad) * chest.translation();
  return pose3D(base.x(), base.y(), base.z(), joints[0] + joints[5] + waistYaw_rad, -kPi / 2, 0.0);
}

const RTC::Pose3D kUnreachable = pose3D(1.5, 0.0, 0.2, 0.0, -kPi / 2, 0.0);

std::vector<double> robotAngles(double waistYaw_rad, const hiro::ArmJoints& right,
                                const hiro::ArmJoints& left) {
  std::vector<double> angles{waistYaw_rad, 0.1, 0.45};
  angles.insert(angles.end(), right.begin(), right.end());
  angles.insert(angles.end(), left.begin(), left.end());
  for (int i = 0; i < 8; ++i) angles.push_back(0.01 * i);
  return angles;
}

class GatewayService : public ::testing::Test {
 protected:
  GatewayService()
      : service_(new BriskoServiceSVC_impl(robotHardware_, sequencePlayer_, armControlL_,
                                           armControlR_, grasper_)) {}

  void connectAll() {
    robotHardware_.setObject(robotFake_.reference());
    sequencePlayer_.setObject(playerFake_.reference());
    armControlL_.setObject(armLFake_.reference());
    armControlR_.setObject(armRFake_.reference());
    grasper_.setObject(grasperFake_.reference());
  }

  bool nothingSent() const {
    return playerFake_->commands().empty() && grasperFake_->commands().empty() &&
           armLFake_->targets().empty() && armRFake_->targets().empty() &&
           robotFake_->servoCalls().empty();
  }

  Activated<fakes::FakeRobotHardware> robotFake_;
  Activated<fakes::FakeSequencePlayer> playerFake_;
  Activated<fakes::FakeArmControl> armLFake_;
  Activated<fakes::FakeArmControl> armRFake_;
  Activated<fakes::FakeGrasper> grasperFake_;

  RTC::CorbaConsumer<OpenHRP::RobotHardwareService> robotHardware_;
  RTC::CorbaConsumer<OpenHRP::SequencePlayerService> sequencePlayer_;
  RTC::CorbaConsumer<OpenHRP::ArmControlService> armControlL_;
  RTC::CorbaConsumer<OpenHRP::ArmControlService> armControlR_;
  RTC::CorbaConsumer<OpenHRP::GrasperService> grasper_;
  std::unique_ptr<BriskoServiceSVC_impl> service_;
};

// ---- services missing ----

TEST_F(GatewayService, operationsOnMissingServicesReturnTheirCodesAndSendNothing) {
  RTC::Pose3D pose;
  JointAngles_var angles;
  EXPECT_EQ(service_->getHandPoseL(pose), kNotConnected);
  EXPECT_EQ(service_->getHandPoseR(pose), kNotConnected);
  EXPECT_EQ(service_->getJointAngles(angles.out()), kNotConnected);
  EXPECT_EQ(service_->setHandPoseL(pose, 1.0, true), kNotConnected);
  EXPECT_EQ(service_->setHandPoseR(pose, 1.0, true), kNotConnected);
  JointAngles target;
  target.length(5);
  EXPECT_EQ(service_->setJointAngles(target, 1.0, true), kNotConnected);
  EXPECT_EQ(service_->setFingerDistanceL(10.0, 1.0, true), kNotConnected);
  EXPECT_EQ(service_->setFingerDistanceR(10.0, 1.0, true), kNotConnected);
  BriskoServiceSVC_impl::FingerAngles fingers;
  fingers.length(4);
  EXPECT_EQ(service_->setFingerAnglesL(fingers, 1.0, true), kNotConnected);
  EXPECT_EQ(service_->setFingerAnglesR(fingers, 1.0, true), kNotConnected);
  EXPECT_TRUE(service_->isHandMovingL());
  EXPECT_TRUE(service_->isHandMovingR());
  EXPECT_TRUE(service_->isJointMoving());
  EXPECT_TRUE(service_->isFingerMovingL());
  EXPECT_TRUE(service_->isFingerMovingR());
  EXPECT_EQ(service_->engageProtectiveStop(), -1);
  EXPECT_EQ(service_->disengageProtectiveStop(), -1);
  EXPECT_EQ(service_->turnServo(true, true, true, true, true), -1);
  EXPECT_EQ(service_->setPose(3, 1.0, true), 0);
  EXPECT_EQ(service_->setFingerDistanceLR(10.0, 200.0, 1.0, true), -100);
  EXPECT_TRUE(nothingSent());
  EXPECT_EQ(robotFake_->statusCalls(), 0);
}

TEST_F(GatewayService, twoArmMotionWithoutRobotHardwareReturnsNotConnected) {
  sequencePlayer_.setObject(playerFake_.reference());
  const RTC::Pose3D left =
      baseFramePose(hiro::ArmSide::Left, handDownJoints(0.1, -0.5, -1.2, 0.0), 0.0);
  const RTC::Pose3D right =
      baseFramePose(hiro::ArmSide::Right, handDownJoints(-0.1, -0.5, -1.2, 0.0), 0.0);
  EXPECT_EQ(service_->setHandPoseLR(left, right, 1.0, false), kNotConnected);
  EXPECT_TRUE(playerFake_->commands().empty());
}

TEST_F(GatewayService, speedFactorOfZeroOrBelowIsRefusedAndMovesNothing) {
  connectAll();
  robotFake_->setAngles(robotAngles(0.0, {}, {}));
  const RTC::Pose3D left =
      baseFramePose(hiro::ArmSide::Left, handDownJoints(0.1, -0.5, -1.2, 0.0), 0.0);
  const RTC::Pose3D right =
      baseFramePose(hiro::ArmSide::Right, handDownJoints(-0.1, -0.5, -1.2, 0.0), 0.0);
  EXPECT_EQ(service_->setHandPoseLR(left, right, 0.0, true), -4);
  EXPECT_EQ(service_->setHandPoseLR(left, right, -1.0, true), -4);
  EXPECT_TRUE(nothingSent());
  EXPECT_EQ(service_->setHandPoseLR(left, right, 1.0, false), 0);
  EXPECT_EQ(playerFake_->commands().size(), 1u);
}

// ---- reading the robot ----

TEST_F(GatewayService, jointAnglesComeInFiveGroupsInControllerOrder) {
  connectAll();
  std::vector<double> angles(23);
  for (int i = 0; i < 23; ++i) angles[i] = 0.1 * i;
  robotFake_->setAngles(angles);
  JointAngles_var result;
  ASSERT_EQ(service_->getJointAngles(result.out()), 0);
  ASSERT_EQ(result->length(), 5u);
  const CORBA::ULong sizes[] = {3, 6, 6, 4, 4};
  int index = 0;
  for (CORBA::ULong g = 0; g < 5; ++g) {
    ASSERT_EQ(result[g].length(), sizes[g]);
    for (CORBA::ULong j = 0; j < sizes[g]; ++j) EXPECT_DOUBLE_EQ(result[g][j], 0.1 * index++);
  }
}

TEST_F(GatewayService, handPoseIsTheArmControllersConfiguration) {
  connectAll();
  armRFake_->setCurrentConfiguration({0.3, -0.2, 0.25, 0.1, -1.5, 0.2, 0.0});
  RTC::Pose3D pose;
  ASSERT_EQ(service_->getHandPoseR(pose), 0);
  EXPECT_DOUBLE_EQ(pose.position.y, -0.2);
  EXPECT_DOUBLE_EQ(pose.orientation.p, -1.5);
  EXPECT_DOUBLE_EQ(pose.orientation.y, 0.2);
}

// ---- moving ----

TEST_F(GatewayService, handPoseWithWaitPollsUntilTheArmIsIdle) {
  connectAll();
  armLFake_->setBusyChecks(3);
  ASSERT_EQ(service_->setHandPoseL(pose3D(0.3, 0.2, 0.25, 0.1, -1.5, 0.2), 2.5, true), 0);
  ASSERT_EQ(armLFake_->targets().size(), 1u);
  EXPECT_DOUBLE_EQ(armLFake_->targets()[0].x, 0.3);
  EXPECT_DOUBLE_EQ(armLFake_->targets()[0].yaw, 0.2);
  EXPECT_DOUBLE_EQ(armLFake_->targets()[0].time_s, 2.5);
  EXPECT_EQ(armLFake_->statusChecks(), 4);
  EXPECT_TRUE(armRFake_->targets().empty());
}

TEST_F(GatewayService, jointAnglesKeepEmptyGroupsAndWaitPollsUntilThePlayerIsIdle) {
  connectAll();
  playerFake_->queue().setBusyPolls(2);
  JointAngles target;
  target.length(5);
  target[0].length(3);
  target[0][0] = 0.5;
  target[0][1] = 0.0;
  target[0][2] = -0.25;
  ASSERT_EQ(service_->setJointAngles(target, 3.0, true), 0);
  const auto commands = playerFake_->commands();
  ASSERT_EQ(commands.size(), 1u);
  const auto& command = commands[0];
  ASSERT_EQ(command.groups.size(), 5u);
  EXPECT_EQ(command.groups[0], (std::vector<double>{0.5, 0.0, -0.25}));
  EXPECT_TRUE(command.groups[1].empty());
  EXPECT_DOUBLE_EQ(command.time_s, 3.0);
  EXPECT_EQ(playerFake_->queue().isEmptyCalls(), std::vector<std::string>(3, "31:poll"));
}

TEST_F(GatewayService, movingQueriesAskTheControllers) {
  connectAll();
  playerFake_->queue().setBusyPolls(1);
  EXPECT_TRUE(service_->isJointMoving());
  EXPECT_FALSE(service_->isJointMoving());
  grasperFake_->queue().setBusyPolls(1);
  EXPECT_TRUE(service_->isFingerMovingR());
  EXPECT_FALSE(service_->isFingerMovingL());
  armRFake_->setBusyChecks(1);
  EXPECT_TRUE(service_->isHandMovingR());
  EXPECT_FALSE(service_->isHandMovingR());
  EXPECT_FALSE(service_->isHandMovingL());
}

// ---- fingers ----

TEST_F(GatewayService, fingerOpeningLawAtClosedMiddleAndWidest) {
  connectAll();
  ASSERT_EQ(service_->setFingerDistanceL(0.0, 0.4, false), 0);
  ASSERT_EQ(service_->setFingerDistanceR(32.0, 0.5, false), 0);
  ASSERT_EQ(service_->setFingerDistanceL(115.8, 0.6, true), 0);
  const auto commands = grasperFake_->commands();
  ASSERT_EQ(commands.size(), 3u);
  const double a = kPi / 2 - std::acos(-16.0 / 41.9);
  EXPECT_EQ(commands[0].hand, "LHAND");
  ASSERT_EQ(commands[0].angles_rad.size(), 4u);
  EXPECT_DOUBLE_EQ(commands[0].angles_rad[0], a);
  EXPECT_DOUBLE_EQ(commands[0].angles_rad[1], -a);
  EXPECT_DOUBLE_EQ(commands[0].angles_rad[2], -a);
  EXPECT_DOUBLE_EQ(commands[0].angles_rad[3], a);
  EXPECT_DOUBLE_EQ(commands[0].time_s, 0.4);
  EXPECT_EQ(commands[1].hand, "RHAND");
  for (double angle : commands[1].angles_rad) EXPECT_NEAR(angle, 0.0, 1e-15);
  EXPECT_NEAR(commands[2].angles_rad[0], kPi / 2, 1e-15);
  EXPECT_EQ(grasperFake_->queue().isEmptyCalls(), std::vector<std::string>{"31:poll"});
}

TEST_F(GatewayService, fingerOpeningJustOutsideTheRangeIsRefused) {
  connectAll();
  EXPECT_EQ(service_->setFingerDistanceL(115.81, 1.0, false), -2);
  EXPECT_EQ(service_->setFingerDistanceR(-0.01, 1.0, false), -2);
  EXPECT_TRUE(grasperFake_->commands().empty());
}

TEST_F(GatewayService, bothHandsSendNothingWhenOneOpeningIsOutOfRange) {
  connectAll();
  EXPECT_EQ(service_->setFingerDistanceLR(50.0, 115.81, 1.0, false), -100);
  EXPECT_EQ(service_->setFingerDistanceLR(-0.01, 50.0, 1.0, false), -100);
  EXPECT_TRUE(grasperFake_->commands().empty());
}

TEST_F(GatewayService, bothHandsGoLeftThenRightAndWaitUntilTheGrasperIsIdle) {
  connectAll();
  grasperFake_->queue().setBusyPolls(2);
  ASSERT_EQ(service_->setFingerDistanceLR(32.0, 0.0, 0.3, true), 0);
  const auto commands = grasperFake_->commands();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].hand, "LHAND");
  EXPECT_EQ(commands[1].hand, "RHAND");
  EXPECT_DOUBLE_EQ(commands[1].time_s, 0.3);
  // Left and right asked each round: busy, busy, then idle for both.
  EXPECT_EQ(grasperFake_->queue().isEmptyCalls(), std::vector<std::string>(4, "31:poll"));
}

TEST_F(GatewayService, fingerAnglesSendTheFirstFour) {
  connectAll();
  BriskoServiceSVC_impl::FingerAngles fingers;
  fingers.length(5);
  for (CORBA::ULong i = 0; i < 5; ++i) fingers[i] = 0.25 * (i + 1);
  ASSERT_EQ(service_->setFingerAnglesR(fingers, 0.2, false), 0);
  ASSERT_EQ(grasperFake_->commands().size(), 1u);
  EXPECT_EQ(grasperFake_->commands()[0].hand, "RHAND");
  EXPECT_EQ(grasperFake_->commands()[0].angles_rad, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
}

// ---- servo and protective stop ----

TEST_F(GatewayService, servoGroupsSwitchInBodyRightLeftOrder) {
  connectAll();
  ASSERT_EQ(service_->turnServo(true, false, true, false, true), 0);
  EXPECT_EQ(robotFake_->servoCalls(),
            (std::vector<std::string>{"BODY:on", "RARM:on", "LARM:off", "RHAND:on", "LHAND:off"}));
}

TEST_F(GatewayService, refusedServoGroupStopsTheSwitching) {
  connectAll();
  robotFake_->refuseServo("RARM");
  EXPECT_EQ(service_->turnServo(false, false, false, false, false), -3);
  EXPECT_EQ(robotFake_->servoCalls(), (std::vector<std::string>{"BODY:off", "RARM:off"}));
}

TEST_F(GatewayService, refusedGroupsGiveTheirOwnCodes) {
  connectAll();
  const std::pair<const char*, CORBA::Long> refusals[] = {
      {"BODY", -2}, {"LARM", -4}, {"RHAND", -5}, {"LHAND", -6}};
  for (const auto& refusal : refusals) {
    robotFake_->refuseServo(refusal.first);
    EXPECT_EQ(service_->turnServo(true, true, true, true, true), refusal.second) << refusal.first;
  }
}

TEST_F(GatewayService, protectiveStopRefusalIsMinusTwo) {
  connectAll();
  EXPECT_EQ(service_->engageProtectiveStop(), 0);
  robotFake_->setProtectiveStopResult(7);
  EXPECT_EQ(service_->engageProtectiveStop(), -2);
  EXPECT_EQ(service_->disengageProtectiveStop(), -2);
  EXPECT_EQ(robotFake_->protectiveStopCalls(), 3);
}

// ---- two-arm motion ----

class TwoArmMotion : public GatewayService {
 protected:
  const double waistYaw_rad_ = 30 * kDeg;
  const hiro::ArmJoints leftTarget_ = handDownJoints(0.2, -0.6, -1.3, 0.4);
  const hiro::ArmJoints rightTarget_ = handDownJoints(-0.15, -0.5, -1.1, -0.2);
  const RTC::Pose3D leftPose_ = baseFramePose(hiro::ArmSide::Left, leftTarget_, waistYaw_rad_);
  const RTC::Pose3D rightPose_ = baseFramePose(hiro::ArmSide::Right, rightTarget_, waistYaw_rad_);
};

TEST_F(TwoArmMotion, sendsBothArmsSolutionsTimedByTheSlowerArm) {
  connectAll();
  hiro::ArmJoints leftNow = leftTarget_, rightNow = rightTarget_;
  leftNow[1] -= 10 * kDeg;   // left arm: 10 degrees to go
  rightNow[2] += 26 * kDeg;  // right arm: 26 degrees to go
  robotFake_->setAngles(robotAngles(waistYaw_rad_, rightNow, leftNow));
  ASSERT_EQ(service_->setHandPoseLR(leftPose_, rightPose_, 2.0, true), 0);
  const auto commands = playerFake_->commands();
  ASSERT_EQ(commands.size(), 1u);
  const auto& command = commands[0];
  ASSERT_EQ(command.groups.size(), 5u);
  EXPECT_TRUE(command.groups[0].empty());
  EXPECT_TRUE(command.groups[3].empty());
  EXPECT_TRUE(command.groups[4].empty());
  ASSERT_EQ(command.groups[1].size(), 6u);
  ASSERT_EQ(command.groups[2].size(), 6u);
  for (int j = 0; j < 6; ++j) {
    EXPECT_NEAR(command.groups[1][j], rightTarget_[j], 1e-9);
    EXPECT_NEAR(command.groups[2][j], leftTarget_[j], 1e-9);
  }
  // 26 degrees at 260 * 0.005 * 2 = 2.6 deg/s.
  EXPECT_NEAR(command.time_s, 10.0, 1e-6);
  EXPECT_EQ(playerFake_->queue().isEmptyCalls(), std::vector<std::string>{"31:poll"});
}

TEST_F(TwoArmMotion, armThatDoesNotMoveTakesNoTime) {
  connectAll();
  hiro::ArmJoints leftNow = leftTarget_;
  leftNow[0] += 13 * kDeg;
  robotFake_->setAngles(robotAngles(waistYaw_rad_, rightTarget_, leftNow));
  ASSERT_EQ(service_->setHandPoseLR(leftPose_, rightPose_, 1.0, false), 0);
  ASSERT_EQ(playerFake_->commands().size(), 1u);
  EXPECT_NEAR(playerFake_->commands()[0].time_s, 10.0, 1e-6);
  EXPECT_TRUE(playerFake_->queue().isEmptyCalls().empty());
}

TEST_F(TwoArmMotion, unreachableHandsGiveTheirCodesAndMoveNothing) {
  connectAll();
  robotFake_->setAngles(robotAngles(waistYaw_rad_, rightTarget_, leftTarget_));
  EXPECT_EQ(service_->setHandPoseLR(kUnreachable, rightPose_, 1.0, false), -1);
  EXPECT_EQ(service_->setHandPoseLR(leftPose_, kUnreachable, 1.0, false), -2);
  EXPECT_EQ(service_->setHandPoseLR(kUnreachable, kUnreachable, 1.0, false), -3);
  EXPECT_TRUE(playerFake_->commands().empty());
}

// ---- waits give way ----

constexpr int kNeverIdle = std::numeric_limits<int>::max();
constexpr std::chrono::seconds kDeadline{20};

bool eventually(const std::function<bool()>& condition) {
  const auto giveUp = std::chrono::steady_clock::now() + kDeadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class WaitsGiveWay : public TwoArmMotion {
 protected:
  struct WaitingCall {
    const char* name;
    std::function<void()> keepBusy;     // the controller never ends the motion
    std::function<size_t()> pollCount;  // how often the call has asked the controller
    std::function<CORBA::Long()> call;
  };

  WaitsGiveWay() {
    connectAll();
    robotFake_->setAngles(robotAngles(waistYaw_rad_, rightTarget_, leftTarget_));
  }

  std::vector<WaitingCall> waitingCalls() {
    const RTC::Pose3D hand = pose3D(0.3, 0.2, 0.25, 0.1, -1.5, 0.2);
    JointAngles target;
    target.length(5);
    BriskoServiceSVC_impl::FingerAngles fingers;
    fingers.length(4);
    const auto armL = [this] { armLFake_->setBusyChecks(kNeverIdle); };
    const auto armR = [this] { armRFake_->setBusyChecks(kNeverIdle); };
    const auto player = [this] { playerFake_->queue().setBusyPolls(kNeverIdle); };
    const auto grasper = [this] { grasperFake_->queue().setBusyPolls(kNeverIdle); };
    const auto armLPolls = [this] { return static_cast<size_t>(armLFake_->statusChecks()); };
    const auto armRPolls = [this] { return static_cast<size_t>(armRFake_->statusChecks()); };
    const auto playerPolls = [this] { return playerFake_->queue().isEmptyCalls().size(); };
    const auto grasperPolls = [this] { return grasperFake_->queue().isEmptyCalls().size(); };
    return {
        {"setHandPoseL", armL, armLPolls, [=] { return service_->setHandPoseL(hand, 1.0, true); }},
        {"setHandPoseR", armR, armRPolls, [=] { return service_->setHandPoseR(hand, 1.0, true); }},
        {"setJointAngles", player, playerPolls,
         [=] { return service_->setJointAngles(target, 1.0, true); }},
        {"setHandPoseLR", player, playerPolls,
         [=] { return service_->setHandPoseLR(leftPose_, rightPose_, 1.0, true); }},
        {"setFingerAnglesL", grasper, grasperPolls,
         [=] { return service_->setFingerAnglesL(fingers, 1.0, true); }},
        {"setFingerDistanceR", grasper, grasperPolls,
         [=] { return service_->setFingerDistanceR(40.0, 1.0, true); }},
        {"setFingerDistanceLR", grasper, grasperPolls,
         [=] { return service_->setFingerDistanceLR(40.0, 50.0, 1.0, true); }},
    };
  }
};

TEST_F(WaitsGiveWay, everyWaitInProgressGivesWayWhenTheComponentIsDeactivated) {
  for (const WaitingCall& waiting : waitingCalls()) {
    waiting.keepBusy();
    const size_t pollsBefore = waiting.pollCount();
    std::future<CORBA::Long> result = std::async(std::launch::async, waiting.call);
    // Inside its wait once it has asked the controller.
    ASSERT_TRUE(eventually([&] { return waiting.pollCount() > pollsBefore; })) << waiting.name;
    testing::internal::CaptureStderr();
    service_->releaseWaits();
    ASSERT_EQ(result.wait_for(kDeadline), std::future_status::ready) << waiting.name;
    EXPECT_EQ(result.get(), BriskoServiceSVC_impl::kWaitGivenUp) << waiting.name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "BriskoServiceSVC_impl: stopped waiting for the end of a motion: the gateway is "
              "being deactivated; the robot may still be moving\n")
        << waiting.name;
  }
}

TEST_F(WaitsGiveWay, aCallAfterTheDeactivationWaitsAsBefore) {
  service_->releaseWaits();
  playerFake_->queue().setBusyPolls(2);
  JointAngles target;
  target.length(5);
  EXPECT_EQ(service_->setJointAngles(target, 1.0, true), 0);
  EXPECT_EQ(playerFake_->queue().isEmptyCalls().size(), 3u);
}

TEST_F(WaitsGiveWay, onceTheComponentExitsEveryWaitGivesWayAfterOnePoll) {
  service_->endWaits();
  testing::internal::CaptureStderr();
  for (const WaitingCall& waiting : waitingCalls()) {
    waiting.keepBusy();
    const size_t pollsBefore = waiting.pollCount();
    EXPECT_EQ(waiting.call(), BriskoServiceSVC_impl::kWaitGivenUp) << waiting.name;
    // setFingerDistanceLR asks for both hands in one round.
    EXPECT_LE(waiting.pollCount() - pollsBefore, 2u) << waiting.name;
  }
  EXPECT_NE(testing::internal::GetCapturedStderr().find(
                "stopped waiting for the end of a motion: the gateway is shutting down"),
            std::string::npos);
  // A call that does not wait is served as before.
  EXPECT_EQ(service_->setFingerDistanceL(40.0, 1.0, false), 0);
}

// ---- IK queries ----

TEST_F(TwoArmMotion, ikQueriesAnswerInTheArmsOwnGroup) {
  testing::internal::CaptureStdout();
  JointAngles_var left, right;
  ASSERT_TRUE(service_->getIKSolutionL(leftPose_, waistYaw_rad_, left.out()));
  ASSERT_TRUE(service_->getIKSolutionR(rightPose_, waistYaw_rad_, right.out()));
  const std::string printed = testing::internal::GetCapturedStdout();
  ASSERT_EQ(left->length(), 5u);
  ASSERT_EQ(right->length(), 5u);
  const CORBA::ULong leftSizes[] = {0, 0, 6, 0, 0}, rightSizes[] = {0, 6, 0, 0, 0};
  for (CORBA::ULong g = 0; g < 5; ++g) {
    EXPECT_EQ(left[g].length(), leftSizes[g]);
    EXPECT_EQ(right[g].length(), rightSizes[g]);
  }
  for (CORBA::ULong j = 0; j < 6; ++j) {
    EXPECT_NEAR(left[2][j], leftTarget_[j], 1e-9);
    EXPECT_NEAR(right[1][j], rightTarget_[j], 1e-9);
  }
  // Each solution is printed twice in degrees.
  char leftLine[128];
  std::snprintf(leftLine, sizeof leftLine,
                "[ Arm   L ]: %+6.1f, %+6.1f, %+6.1f, %+6.1f, %+6.1f, %+6.1f\n", left[2][0] / kDeg,
                left[2][1] / kDeg, left[2][2] / kDeg, left[2][3] / kDeg, left[2][4] / kDeg,
                left[2][5] / kDeg);
  EXPECT_EQ(printed.find(leftLine), 0u) << printed;
  EXPECT_NE(printed.find(leftLine, 1), std::string::npos) << printed;
  EXPECT_NE(printed.find("[ Arm   R ]: "), std::string::npos);
  EXPECT_EQ(printed.find("[Body/Head]"), std::string::npos);
  EXPECT_TRUE(service_->isIKSolutionFoundL(leftPose_, waistYaw_rad_));
  EXPECT_TRUE(service_->isIKSolutionFoundR(rightPose_, waistYaw_rad_));
}

TEST_F(TwoArmMotion, ikQueriesUseTheCallersWaistYaw) {
  // Asked with the waist at 0 instead of 30 degrees, the target lies 30 degrees further to the
  // left of the chest, so the shoulder has to turn further left.
  JointAngles_var turned;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(service_->getIKSolutionL(leftPose_, 0.0, turned.out()));
  testing::internal::GetCapturedStdout();
  EXPECT_GT(turned[2][0], leftTarget_[0] + 0.1);
}

TEST_F(TwoArmMotion, unreachableQueriesPrintTheHighlightedMessage) {
  testing::internal::CaptureStdout();
  JointAngles_var left, right;
  EXPECT_FALSE(service_->getIKSolutionL(kUnreachable, 0.0, left.out()));
  EXPECT_FALSE(service_->getIKSolutionR(kUnreachable, 0.0, right.out()));
  EXPECT_FALSE(service_->isIKSolutionFoundL(kUnreachable, 0.0));
  EXPECT_FALSE(service_->isIKSolutionFoundR(kUnreachable, 0.0));
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(left->length(), 0u);
  EXPECT_EQ(right->length(), 0u);
  EXPECT_EQ(printed,
            kNoSolutionMessage + kNoSolutionMessage + kNoSolutionMessage + kNoSolutionMessage);
}

TEST_F(TwoArmMotion, solutionOutsideTheJointLimitsIsNotFound) {
  // Within reach of the arm, but straight out beside the shoulder: the shoulder yaw would be
  // +90 or -90 degrees, beyond the 85 allowed.
  const RTC::Pose3D sideways = pose3D(hiro::kShoulderForward_m, 0.5, 0.3, 0.0, -kPi / 2, 0.0);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(service_->isIKSolutionFoundL(sideways, 0.0));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kNoSolutionMessage);
}

// ---- status panel ----

TEST_F(GatewayService, panelWithoutConnectionsShowsWhiteSquaresAndNoAngles) {
  const std::string panel = statusPanelText(ServiceConnections{}, *service_);
  EXPECT_EQ(panel,
            "┌─────┐\n"
            "│ RobotH/W □\n"
            "│ SeqPlayer□\n"
            "│ArmCtrl(L)□\n"
            "│ArmCtrl(R)□\n"
            "│  Grasper □\n"
            "└─────┘\n");
}

TEST_F(GatewayService, panelWithOnlyTheRobotHardwareShowsTheAngleLines) {
  robotHardware_.setObject(robotFake_.reference());
  std::vector<double> angles(23, 0.0);
  angles[0] = -0.9 * kDeg;
  angles[2] = 25.8 * kDeg;
  angles[3] = -23.3 * kDeg;
  angles[11] = -156.2 * kDeg;
  angles[22] = 1.0 * kDeg;
  robotFake_->setAngles(angles);
  ServiceConnections connected;
  connected.robotHardware = true;
  EXPECT_EQ(statusPanelText(connected, *service_),
            "┌─────┐\n"
            "│ RobotH/W ■\n"
            "│ SeqPlayer□\n"
            "│ArmCtrl(L)□\n"
            "│ArmCtrl(R)□\n"
            "│  Grasper □\n"
            "└─────┘\n"
            "[Body/Head]:  +0,  +0, +25\n"
            "[ Arm   R ]: -23,  +0,  +0,  +0,  +0,  +0\n"
            "[ Arm   L ]:  +0,  +0, -156,  +0,  +0,  +0\n"
            "[ Hand  R ]:  +0,  +0,  +0,  +0\n"
            "[ Hand  L ]:  +0,  +0,  +0,  +1\n");
}

TEST_F(GatewayService, panelShowsOnlyTheBoxWhenTheControllerSendsTooFewAngles) {
  robotHardware_.setObject(robotFake_.reference());
  robotFake_->setAngles(std::vector<double>(10, 0.0));
  ServiceConnections connected;
  connected.robotHardware = true;
  EXPECT_EQ(statusPanelText(connected, *service_), statusPanelBox(connected));
}

}  // namespace
