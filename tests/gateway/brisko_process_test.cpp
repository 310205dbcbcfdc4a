// BriskoComp as a process: connected to a fake controller process with rtctl, asked by this
// test process over CORBA.
#include <chrono>
#include <csignal>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "brisko_client.h"
#include "orb_environment.h"
#include "tests/support/test_support.h"

namespace {

using namespace std::chrono_literals;
using test_support::ChildProcess;
using test_support::NameServer;

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180.0;
constexpr CORBA::Long kWaitGivenUp = -5;
// A motion time the fake controller never sees the end of.
constexpr double kEndlessMotion_s = 1e6;

RTC::Pose3D handDownPose(double x, double y, double z) {
  RTC::Pose3D pose;
  pose.position.x = x;
  pose.position.y = y;
  pose.position.z = z;
  pose.orientation.r = 0.0;
  pose.orientation.p = -kPi / 2;
  pose.orientation.y = 0.0;
  return pose;
}

class BriskoProcess : public ::testing::Test {
 protected:
  BriskoProcess()
      : conf_(test_support::writeRtcConf(
            dir_.path(),
            {names_.address(), "127.0.0.1:", 10.0, "INFO", {{"naming.formats", "%n.rtc"}}})),
        brisko_(test_support::binPath("BriskoComp"), {"-f", conf_}),
        controller_(test_support::binPath("fake_hiro_controller"), {"-f", conf_}) {}

  void rtctl(const std::vector<std::string>& arguments) {
    const test_support::RunResult result = test_support::runRtctl(names_, arguments, 30s);
    ASSERT_TRUE(!result.timedOut && result.status.exitedWith(0))
        << "rtctl " << arguments[0] << ": " << result.out << result.err;
  }

  void startBoth() {
    ASSERT_TRUE(names_.waitForBinding("Brisko0.rtc", 20s)) << brisko_.output();
    ASSERT_TRUE(names_.waitForBinding("FakeHiroController0.rtc", 20s)) << controller_.output();
    ASSERT_TRUE(brisko_.waitForOutput("<< Brisko::onInitialize()", 10s)) << brisko_.output();
  }

  BriskoRTC::BriskoService_ptr service() {
    return connectToBriskoService(fakes::testOrb(), names_.corbaloc(), "Brisko0");
  }

  NameServer names_;
  test_support::TempDir dir_;
  std::string conf_;
  ChildProcess brisko_;
  ChildProcess controller_;
};

TEST_F(BriskoProcess, servesIkQueriesAndTheControllersJointAngles) {
  ASSERT_TRUE(names_.waitForBinding("Brisko0.rtc", 20s)) << brisko_.output();
  ASSERT_TRUE(names_.waitForBinding("FakeHiroController0.rtc", 20s)) << controller_.output();
  ASSERT_TRUE(brisko_.waitForOutput("<< Brisko::onInitialize()", 10s)) << brisko_.output();

  rtctl({"activate", "Brisko0"});
  ASSERT_TRUE(brisko_.waitForOutput(">> Brisko::onActivated()", 10s)) << brisko_.output();
  ASSERT_TRUE(brisko_.waitForOutput("│ RobotH/W □", 10s)) << brisko_.output();
  ASSERT_TRUE(brisko_.waitForOutput("│  Grasper □\n└─────┘\n", 10s)) << brisko_.output();
  EXPECT_NE(brisko_.standardOutput().find(">> Brisko::onActivated()\n<< Brisko::onActivated()\n"),
            std::string::npos);
  // Nothing connected: the box alone, no angle lines.
  EXPECT_EQ(brisko_.countInOutput("[Body/Head]"), 0);

  rtctl({"connect", "Brisko0:RobotHWSvc", "FakeHiroController0:RobotHWSvc"});
  ASSERT_TRUE(brisko_.waitForOutput("│ RobotH/W ■", 10s)) << brisko_.output();
  ASSERT_TRUE(brisko_.waitForOutput("[Body/Head]:  +0,  +0, +25\n", 10s)) << brisko_.output();
  EXPECT_TRUE(brisko_.waitForOutput("[ Arm   L ]: +23,  -7, -156,  -7, +22,  -3\n", 10s));

  BriskoRTC::BriskoService_var service =
      connectToBriskoService(fakes::testOrb(), names_.corbaloc(), "Brisko0");
  ASSERT_FALSE(CORBA::is_nil(service));

  BriskoRTC::BriskoService::JointAngles_var angles;
  ASSERT_EQ(service->getJointAngles(angles.out()), 0);
  ASSERT_EQ(angles->length(), 5u);
  ASSERT_EQ(angles[2].length(), 6u);
  EXPECT_DOUBLE_EQ(angles[0][0], -0.9 * kDeg);
  EXPECT_DOUBLE_EQ(angles[2][2], -156.2 * kDeg);
  EXPECT_EQ(angles[4].length(), 4u);

  EXPECT_TRUE(service->isIKSolutionFoundL(handDownPose(0.35, 0.1, 0.2), 0.0));
  EXPECT_FALSE(service->isIKSolutionFoundL(handDownPose(1.5, 0.1, 0.2), 0.0));
  EXPECT_TRUE(brisko_.waitForOutput(
      "BriskoServiceSVC_impl::isIKSolutionFound(): IK solution not found.", 10s));
  // The arm controllers are not connected.
  RTC::Pose3D pose;
  EXPECT_EQ(service->getHandPoseL(pose), -2147483647 - 1);

  rtctl({"deactivate", "Brisko0"});
  ASSERT_TRUE(brisko_.waitForOutput("<< Brisko::onDeactivated()", 10s)) << brisko_.output();
  EXPECT_NE(
      brisko_.standardOutput().find(">> Brisko::onDeactivated()\n<< Brisko::onDeactivated()\n"),
      std::string::npos);
}

TEST_F(BriskoProcess, poseDbTakesAFileNameAndRefusesAnEmptyOne) {
  startBoth();
  const test_support::RunResult refused =
      test_support::runRtctl(names_, {"conf", "Brisko0", "set", "PoseDB", ""}, 30s);
  EXPECT_TRUE(refused.status.exitedWith(1)) << refused.status.describe();
  EXPECT_NE(refused.err.find("must name a file"), std::string::npos) << refused.err;
  rtctl({"conf", "Brisko0", "set", "PoseDB", "poses.csv"});
  const test_support::RunResult shown = test_support::runRtctl(names_, {"conf", "Brisko0"}, 30s);
  EXPECT_NE(shown.out.find("PoseDB = poses.csv"), std::string::npos) << shown.out;
}

TEST_F(BriskoProcess, aCallWaitingForAMotionThatNeverEndsGivesWayWhenTheGatewayIsDeactivated) {
  startBoth();
  rtctl({"connect", "Brisko0:SeqPlayerSvc", "FakeHiroController0:SeqPlayerSvc"});
  rtctl({"activate", "Brisko0"});
  BriskoRTC::BriskoService_var gateway = service();
  ASSERT_FALSE(CORBA::is_nil(gateway));
  BriskoRTC::BriskoService::JointAngles target;
  target.length(5);
  target[0].length(3);
  for (CORBA::ULong j = 0; j < 3; ++j) target[0][j] = 0.1;

  std::future<CORBA::Long> waiting = std::async(
      std::launch::async, [&] { return gateway->setJointAngles(target, kEndlessMotion_s, true); });
  // The gateway asks the controller whether the motion has ended: it is inside its wait.
  ASSERT_TRUE(controller_.waitForOutput("SequencePlayerService::isEmpty", 20s))
      << controller_.output();
  rtctl({"deactivate", "Brisko0"});
  ASSERT_EQ(waiting.wait_for(20s), std::future_status::ready);
  EXPECT_EQ(waiting.get(), kWaitGivenUp);
  EXPECT_TRUE(
      brisko_.waitForOutput("stopped waiting for the end of a motion: the gateway is "
                            "being deactivated; the robot may still be moving",
                            10s));
  // Inactive, the gateway still serves.
  EXPECT_EQ(gateway->setJointAngles(target, 1.0, false), 0);
}

TEST_F(BriskoProcess, sigtermEndsTheProcessWhileACallWaitsForAMotionThatNeverEnds) {
  startBoth();
  rtctl({"connect", "Brisko0:ArmCtrlSvcL", "FakeHiroController0:ArmCtrlSvcL"});
  rtctl({"activate", "Brisko0"});
  BriskoRTC::BriskoService_var gateway = service();
  ASSERT_FALSE(CORBA::is_nil(gateway));

  std::future<CORBA::Long> waiting = std::async(std::launch::async, [&] {
    return gateway->setHandPoseL(handDownPose(0.35, 0.1, 0.2), kEndlessMotion_s, true);
  });
  ASSERT_TRUE(controller_.waitForOutput("ArmControlService::checkStatus", 20s))
      << controller_.output();
  ASSERT_TRUE(brisko_.sendSignal(SIGTERM));
  const auto status = brisko_.waitForExit(20s);
  ASSERT_TRUE(status && status->exitedWith(0))
      << (status ? status->describe() : "still running") << "\n"
      << brisko_.output();
  ASSERT_EQ(waiting.wait_for(20s), std::future_status::ready);
  EXPECT_EQ(waiting.get(), kWaitGivenUp);
  // Shutting down deactivates the active component first, which ends the wait.
  EXPECT_NE(brisko_.output().find("stopped waiting for the end of a motion"), std::string::npos);
  EXPECT_TRUE(names_.waitForUnbinding("Brisko0.rtc", 10s));
}

TEST_F(BriskoProcess, exitEndsTheComponentWhileBothHandsWaitForFingersThatNeverStop) {
  startBoth();
  rtctl({"connect", "Brisko0:GrasperSvc", "FakeHiroController0:GrasperSvc"});
  BriskoRTC::BriskoService_var gateway = service();
  ASSERT_FALSE(CORBA::is_nil(gateway));

  std::future<CORBA::Long> waiting = std::async(std::launch::async, [&] {
    return gateway->setFingerDistanceLR(40.0, 50.0, kEndlessMotion_s, true);
  });
  ASSERT_TRUE(controller_.waitForOutput("GrasperService::isEmpty", 20s)) << controller_.output();
  rtctl({"exit", "Brisko0"});
  ASSERT_EQ(waiting.wait_for(20s), std::future_status::ready);
  EXPECT_EQ(waiting.get(), kWaitGivenUp);
  EXPECT_TRUE(brisko_.waitForOutput("the gateway is shutting down", 10s));
}

}  // namespace
