// HiroSimComp as a process: real name server, real CORBA calls on loopback.

#include <gtest/gtest.h>

#include <HiroNX.hh>
#include <HiroSimCell.hh>
#include <MotionCommands.hh>
#include <OpenHRP.hh>
#include <cmath>
#include <csignal>
#include <fstream>
#include <future>

#include "provided_service.h"
#include "tests/support/test_support.h"

namespace hirosim {
namespace {

using test_support::Seconds;

constexpr Seconds kStartTimeout{20.0};
constexpr Seconds kCallTimeout{20.0};
constexpr double kRadPerDeg = M_PI / 180.0;

CORBA::ORB_ptr orb() {
  static CORBA::ORB_var instance = [] {
    int argc = 1;
    const char* argv[] = {"hirosimcomp_test"};
    return CORBA::ORB_init(argc, const_cast<char**>(argv));
  }();
  return instance.in();
}

std::string componentPath(test_support::NameServer& names, const std::string& binding) {
  for (const std::string& path : names.listBindings()) {
    if (path.size() >= binding.size() &&
        path.compare(path.size() - binding.size(), binding.size(), binding) == 0) {
      return path;
    }
  }
  return "";
}

MotionCommands::JointPos point(std::initializer_list<std::pair<int, double>> joints_deg) {
  MotionCommands::JointPos p;
  p.length(24);
  for (CORBA::ULong i = 0; i < 24; ++i) p[i] = 0.0;
  for (const auto& [index, value] : joints_deg) p[index] = value;
  return p;
}

class HiroSimCompTest : public ::testing::Test {
 protected:
  // The cell runs 20 times faster than the clock, as rtc.conf says.
  void start(const std::vector<std::string>& extra = {}) {
    const std::string conf = test_support::writeRtcConf(
        dir_.path(), {names_.address(),
                      "127.0.0.1:",
                      100.0,
                      "WARN",
                      {{"logger.file_name", "STDOUT"}, {"clock.time_scale", "20"}}});
    std::vector<std::string> args{"-f", conf};
    args.insert(args.end(), extra.begin(), extra.end());
    sim_ = std::make_unique<test_support::ChildProcess>(test_support::binPath("HiroSimComp"), args);
    for (const char* name :
         {"RobotController0.rtc", "HIROController0.rtc", "HiroNX0.rtc", "Lumeris0.rtc"}) {
      ASSERT_TRUE(names_.waitForBinding(name, kStartTimeout)) << sim_->output();
    }
  }

  CORBA::Object_ptr service(const std::string& component, const std::string& port,
                            const std::string& type, const std::string& instance) {
    return testing::providedService(
        orb(), names_.corbaloc(), componentPath(names_, component + ".rtc"), port, type, instance);
  }

  double chest_rad(OpenHRP::RobotHardwareService_ptr hardware) {
    OpenHRP::RobotHardwareService::RobotState_var state;
    hardware->getStatus(state.out());
    return state->angle.length() == 23 ? state->angle[0] : NAN;
  }

  // Ends the simulator with SIGTERM and returns what it printed.
  std::string stop() {
    EXPECT_TRUE(sim_->sendSignal(SIGTERM));
    const auto status = sim_->waitForExit(kStartTimeout);
    EXPECT_TRUE(status && status->exitedWith(0)) << (status ? status->describe() : "running");
    return sim_->standardOutput();
  }

  test_support::TempDir dir_;
  test_support::NameServer names_;
  std::unique_ptr<test_support::ChildProcess> sim_;
};

TEST_F(HiroSimCompTest, movesThroughTrajectoriesAndHaltsOnTheProtectiveStop) {
  start();
  CORBA::Object_var motionObject = service("HIROController0", "HIRO", "MotionCommands", "motion");
  CORBA::Object_var nxObject = service("HiroNX0", "HiroNX", "HiroNX", "manipulator");
  CORBA::Object_var hardwareObject =
      service("RobotController0", "RobotHWSvc", "RobotHardwareService", "service0");
  MotionCommands_var motion = MotionCommands::_narrow(motionObject);
  HiroNX_var nx = HiroNX::_narrow(nxObject);
  OpenHRP::RobotHardwareService_var hardware =
      OpenHRP::RobotHardwareService::_narrow(hardwareObject);
  ASSERT_FALSE(CORBA::is_nil(motion));
  ASSERT_FALSE(CORBA::is_nil(nx));
  ASSERT_FALSE(CORBA::is_nil(hardware));

  MotionCommands::JointPosSeq points;
  points.length(2);
  points[0] = point({{0, 20.0}, {2, 25.8}});
  points[1] = point({{0, -10.0}});
  MotionCommands::DoubleSeq times;
  times.length(2);
  times[0] = 2.0;
  times[1] = 2.0;
  MotionCommands::RETURN_ID_var done = motion->movePTPJointAbsSeq(points, times);
  EXPECT_EQ(done->id, 0) << done->comment.in();
  EXPECT_NEAR(chest_rad(hardware), -10.0 * kRadPerDeg, 1e-12);

  points[1] = point({{0, -10.0}, {11, 10.0}});  // left arm joint 3 beyond +3 degrees
  MotionCommands::RETURN_ID_var refused = motion->movePTPJointAbsSeq(points, times);
  EXPECT_NE(refused->id, 0);
  EXPECT_NE(std::string(refused->comment.in()).find("left arm joint 3"), std::string::npos);
  EXPECT_NEAR(chest_rad(hardware), -10.0 * kRadPerDeg, 1e-12);

  points.length(1);
  points[0] = point({{0, 90.0}});
  times.length(1);
  times[0] = 200.0;  // 10 s of wall time: the stop ends it long before
  auto call = std::async(std::launch::async, [&] {
    MotionCommands::RETURN_ID_var result = motion->movePTPJointAbsSeq(points, times);
    return std::make_pair(result->id, std::string(result->comment.in()));
  });
  const auto startBy = std::chrono::steady_clock::now() + kCallTimeout;
  while (chest_rad(hardware) <= -10.0 * kRadPerDeg + 1e-9) {
    ASSERT_NE(call.wait_for(std::chrono::milliseconds(5)), std::future_status::ready);
    ASSERT_LT(std::chrono::steady_clock::now(), startBy) << "the motion did not start";
  }
  nx->EngageProtectiveStop();
  ASSERT_EQ(call.wait_for(kCallTimeout), std::future_status::ready);
  const auto [id, comment] = call.get();
  EXPECT_NE(id, 0);
  EXPECT_NE(comment.find("protective stop"), std::string::npos) << comment;
  const double halted = chest_rad(hardware);
  EXPECT_LT(halted, 90.0 * kRadPerDeg);

  times[0] = 0.5;
  MotionCommands::RETURN_ID_var whileStopped = motion->movePTPJointAbsSeq(points, times);
  EXPECT_NE(whileStopped->id, 0);
  EXPECT_EQ(chest_rad(hardware), halted);
  nx->DisengageProtectiveStop();
  MotionCommands::RETURN_ID_var again = motion->movePTPJointAbsSeq(points, times);
  EXPECT_EQ(again->id, 0) << again->comment.in();
  stop();
}

TEST_F(HiroSimCompTest, handClosingOnTheObjectGraspsItAndTheEndPrintsWhereEverythingIs) {
  start();
  CORBA::Object_var armObject =
      service("RobotController0", "ArmCtrlSvcL", "ArmControlService", "service0");
  CORBA::Object_var grasperObject =
      service("RobotController0", "GrasperSvc", "GrasperService", "service0");
  CORBA::Object_var cellObject =
      service("RobotController0", "CellState", "HiroSim::CellState", "cellState");
  OpenHRP::ArmControlService_var arm = OpenHRP::ArmControlService::_narrow(armObject);
  OpenHRP::GrasperService_var grasper = OpenHRP::GrasperService::_narrow(grasperObject);
  HiroSim::CellState_var cell = HiroSim::CellState::_narrow(cellObject);
  ASSERT_FALSE(CORBA::is_nil(arm));
  ASSERT_FALSE(CORBA::is_nil(grasper));
  ASSERT_FALSE(CORBA::is_nil(cell));

  const auto fingers = [](double opening_mm, double backlash_rad) {
    const double a = std::asin((opening_mm / 2 - 19.0) / 41.9);
    OpenHRP::DblSequence angles;
    angles.length(4);
    angles[0] = a;
    angles[1] = -a - backlash_rad;
    angles[2] = -a;
    angles[3] = a + backlash_rad;
    return angles;
  };
  // Object 0 of the default scene: 30 mm wide, 60 mm high at (0.35, 0.1) on the table at
  // 0.032 m; the hand point 96.7 mm above the fingertips, which go 20 mm below its top.
  const double graspZ = 0.032 + 0.060 + 0.0967;
  CORBA::Double reached = 0.0;
  ASSERT_EQ(grasper->setJointAngles("LHAND", fingers(70.0, 0.0), 0.5, reached), 0);
  ASSERT_EQ(arm->setTargetAngular(0.35, 0.1, graspZ + 0.05, 0.0, -M_PI / 2, 0.0, 2.0), 0.0);
  ASSERT_EQ(arm->setTargetAngular(0.35, 0.1, graspZ, 0.0, -M_PI / 2, 0.0, 1.0), 0.0);
  const auto idleBy = std::chrono::steady_clock::now() + kCallTimeout;
  while (arm->checkStatus() == OpenHRP::ArmControlService::ArmBusyState) {
    ASSERT_LT(std::chrono::steady_clock::now(), idleBy) << "the arm did not stop";
  }
  ASSERT_EQ(grasper->setJointAngles("LHAND", fingers(29.0, 8.0 * kRadPerDeg), 0.2, reached), 0);
  EXPECT_TRUE(grasper->isEmpty(31, true));
  ASSERT_TRUE(sim_->waitForOutput("object 0 grasped by left hand", kCallTimeout)) << sim_->output();

  HiroSim::ObjectPlaceSeq_var places = cell->getObjectPlaces();
  ASSERT_EQ(places->length(), 2u);
  EXPECT_EQ(places[0].support, HiroSim::IN_LEFT_HAND);
  EXPECT_EQ(places[1].support, HiroSim::ON_TABLE);

  const std::string output = stop();
  EXPECT_NE(
      output.find("final places:\n"
                  "  object 0 (class 0): in left hand at (0.350, 0.100, 0.032) m, yaw 0.0 deg\n"
                  "  object 1 (class 1): on table at (0.350, -0.100, 0.032) m, yaw 0.0 deg\n"
                  "  tray: standing at (-0.082, 0.463, 0.015) m, yaw 100.0 deg\n"),
      std::string::npos)
      << output;
}

TEST_F(HiroSimCompTest, theCellsClockFollowsRtcConfUnlessTheCommandLineSaysOtherwise) {
  start();
  EXPECT_TRUE(sim_->waitForOutput("objects, time scale 20\n", kStartTimeout)) << sim_->output();
  stop();
  sim_.reset();
  start({"--time-scale", "40"});
  EXPECT_TRUE(sim_->waitForOutput("objects, time scale 40\n", kStartTimeout)) << sim_->output();
}

TEST_F(HiroSimCompTest, endingTheProgramEndsACallBlockedInAMotion) {
  start();
  CORBA::Object_var motionObject = service("HIROController0", "HIRO", "MotionCommands", "motion");
  MotionCommands_var motion = MotionCommands::_narrow(motionObject);
  ASSERT_FALSE(CORBA::is_nil(motion));
  MotionCommands::JointPosSeq points;
  points.length(1);
  points[0] = point({{0, 90.0}});
  MotionCommands::DoubleSeq times;
  times.length(1);
  times[0] = 2000.0;  // 100 s of wall time
  auto call = std::async(std::launch::async, [&] {
    try {
      MotionCommands::RETURN_ID_var result = motion->movePTPJointAbsSeq(points, times);
      return std::string(result->comment.in());
    } catch (const CORBA::SystemException& error) {
      return std::string("CORBA exception ") + error._name();
    }
  });
  ASSERT_EQ(call.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
  ASSERT_TRUE(sim_->sendSignal(SIGTERM));
  const auto status = sim_->waitForExit(Seconds(30.0));
  if (!status) sim_->kill();  // so that the blocked call returns as well
  ASSERT_TRUE(status) << "HiroSimComp did not end while a call was blocked";
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  ASSERT_EQ(call.wait_for(kCallTimeout), std::future_status::ready);
  EXPECT_EQ(call.get(), "motion abandoned: the simulator is shutting down");
  EXPECT_NE(sim_->standardOutput().find("final places:"), std::string::npos);
}

TEST(HiroSimCompOptions, wrongSceneLineStopsTheProgramWithItsNumber) {
  test_support::TempDir dir;
  const std::string scene = dir.path() + "/bad.scene";
  std::ofstream(scene) << "table 0.03\ntray 0 0.4 0.02 90 0.2 0.3 0.01\n";
  const auto run = test_support::runProgram(test_support::binPath("HiroSimComp"),
                                            {"--scene", scene}, Seconds(20));
  ASSERT_FALSE(run.timedOut);
  EXPECT_TRUE(run.status.exitedWith(1)) << run.status.describe();
  EXPECT_NE(run.err.find("bad.scene: scene line 2: 'tray' needs 8 numbers"), std::string::npos)
      << run.err;
}

TEST(HiroSimCompOptions, timeScaleMustBePositive) {
  const auto run = test_support::runProgram(test_support::binPath("HiroSimComp"),
                                            {"--time-scale", "0"}, Seconds(20));
  ASSERT_FALSE(run.timedOut);
  EXPECT_TRUE(run.status.exitedWith(2)) << run.status.describe();
  EXPECT_NE(run.err.find("--time-scale: needs a number above 0"), std::string::npos) << run.err;
}

TEST(HiroSimCompOptions, helpAndVersionAnswerWithoutStartingTheCell) {
  const auto help =
      test_support::runProgram(test_support::binPath("HiroSimComp"), {"--help"}, Seconds(20));
  ASSERT_FALSE(help.timedOut);
  EXPECT_TRUE(help.status.exitedWith(0)) << help.status.describe();
  for (const char* option : {"--time-scale", "--scene", "-f", "-o", "--version"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option << "\n" << help.out;
  }
  const auto version =
      test_support::runProgram(test_support::binPath("HiroSimComp"), {"--version"}, Seconds(20));
  EXPECT_TRUE(version.status.exitedWith(0)) << version.status.describe();
  EXPECT_EQ(version.out.rfind("HiroSimComp ", 0), 0u) << version.out;
  for (const auto& run : {help, version}) {
    EXPECT_EQ(run.out.find("HiroSimComp: scene"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("final places"), std::string::npos) << run.out;
  }
}

TEST(HiroSimCompOptions, anUnknownOptionEndsWithTheUsageAndTwo) {
  const auto run =
      test_support::runProgram(test_support::binPath("HiroSimComp"), {"--speed", "3"}, Seconds(20));
  ASSERT_FALSE(run.timedOut);
  EXPECT_TRUE(run.status.exitedWith(2)) << run.status.describe();
  EXPECT_NE(run.err.find("--speed"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--time-scale"), std::string::npos) << "usage follows: " << run.err;
  EXPECT_EQ(run.out.find("HiroSimComp: scene"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace hirosim
