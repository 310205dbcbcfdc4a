// Stopping the coordinator stops the robot: the whole cell on one machine (HiroSimComp, the
// gateway and the coordinator, wired as in the pick-and-place test), an object task under
// way, and then the coordinator is stopped: by SIGTERM, by SIGINT, by exit() or by a
// deactivation. The stop word must reach a reader of "output", the simulated arm must stop
// where it is, and the process must exit (but for a deactivation).

#include <gtest/gtest.h>

#include <HiroNX.hh>
#include <MotionCommands.hh>
#include <OpenHRP.hh>
#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include "tests/simcell/provided_service.h"
#include "tests/support/test_support.h"

namespace {

using namespace std::chrono_literals;
using test_support::Seconds;

constexpr Seconds kStartTimeout{30.0};
constexpr Seconds kStopTimeout{30.0};
// Simulated seconds per second: the object task's trajectory then lasts some 17 s, long
// enough to stop it under way on a loaded machine, and activation's move to the initial pose
// 1 s.
constexpr const char* kTimeScale = "2";
// How long the halted arm is watched for any motion.
constexpr Seconds kStillWatch{1.0};
constexpr double kDegPerRad = 180.0 / 3.14159265358979323846;

CORBA::ORB_ptr orb() {
  static CORBA::ORB_var instance = [] {
    int argc = 1;
    const char* argv[] = {"palkett_stop_test"};
    return CORBA::ORB_init(argc, const_cast<char**>(argv));
  }();
  return instance.in();
}

enum class StopBy { sigterm, sigint, exit, deactivation };

std::string nameOf(StopBy stop) {
  switch (stop) {
    case StopBy::sigterm:
      return "sigterm";
    case StopBy::sigint:
      return "sigint";
    case StopBy::exit:
      return "exit";
    case StopBy::deactivation:
      break;
  }
  return "deactivation";
}

void PrintTo(StopBy stop, std::ostream* out) { *out << nameOf(stop); }

class CoordinatorStop : public ::testing::TestWithParam<StopBy> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cell_.start(dir_.path(), kTimeScale));

    hardware_ = OpenHRP::RobotHardwareService::_narrow(CORBA::Object_var(
        service("RobotController0", "RobotHWSvc", "RobotHardwareService", "service0")));
    motion_ = MotionCommands::_narrow(
        CORBA::Object_var(service("HIROController0", "HIRO", "MotionCommands", "motion")));
    ASSERT_FALSE(CORBA::is_nil(hardware_));
    ASSERT_FALSE(CORBA::is_nil(motion_));
  }

  void rtctl(const std::vector<std::string>& args) {
    const auto run = test_support::runRtctl(names_, args);
    ASSERT_TRUE(!run.timedOut && run.status.exitedWith(0)) << run.out << run.err;
  }

  CORBA::Object_ptr service(const std::string& component, const std::string& port,
                            const std::string& type, const std::string& instance) {
    std::string path;
    for (const std::string& binding : names_.listBindings()) {
      const std::string suffix = component + ".rtc";
      if (binding.size() >= suffix.size() &&
          binding.compare(binding.size() - suffix.size(), suffix.size(), suffix) == 0) {
        path = binding;
      }
    }
    return hirosim::testing::providedService(orb(), names_.corbaloc(), path, port, type, instance);
  }

  // The simulated robot's 23 joint angles, radians.
  std::vector<double> joints() {
    OpenHRP::RobotHardwareService::RobotState_var state;
    hardware_->getStatus(state.out());
    return std::vector<double>(state->angle.get_buffer(),
                               state->angle.get_buffer() + state->angle.length());
  }

  // Waits until the joints differ from `from`; false when they stay for `limit`.
  bool waitForMotion(const std::vector<double>& from, Seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::nanoseconds>(limit);
    while (std::chrono::steady_clock::now() < deadline) {
      if (joints() != from) {
        return true;
      }
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  // Prints the coordinator's result words; returns once the printer hears them (a tray STOP
  // with nothing running answers at once and serves as the probe).
  void listenToResults() {
    printer_ = std::make_unique<test_support::ChildProcess>(
        test_support::binPath("rtctl"),
        std::vector<std::string>{"-n", names_.address(), "print", "Palkett0:output"});
    for (int attempt = 0; attempt < 30; ++attempt) {
      rtctl({"inject", "Palkett0:input", "HIRO_TRAY_MANIP_STOP"});
      if (printer_->waitForOutput("HIRO_TRAY_MANIP_STOPPED", Seconds(1.0))) return;
    }
    FAIL() << "the result printer did not connect: " << printer_->output();
  }

  // Starts an object task and returns once the robot is moving its trajectory.
  void startObjectTrajectory() {
    const std::vector<double> before = joints();
    rtctl({"inject", "Palkett0:input", "HIRO_OBJ_MANIP_START"});
    ASSERT_TRUE(cell_.coordinator().waitForOutput("<< nxutil::Hiro2HiroNX()", kStartTimeout))
        << cell_.coordinator().output();
    ASSERT_TRUE(waitForMotion(before, kStartTimeout)) << "the arm never moved";
  }

  void stop(StopBy how) {
    switch (how) {
      case StopBy::sigterm:
        ASSERT_TRUE(cell_.coordinator().sendSignal(SIGTERM));
        break;
      case StopBy::sigint:
        ASSERT_TRUE(cell_.coordinator().sendSignal(SIGINT));
        break;
      case StopBy::exit:
        rtctl({"exit", "Palkett0"});
        break;
      case StopBy::deactivation:
        rtctl({"deactivate", "Palkett0"});
        break;
    }
  }

  test_support::TempDir dir_;
  test_support::NameServer names_;
  test_support::ArmCell cell_{names_};
  std::unique_ptr<test_support::ChildProcess> printer_;
  OpenHRP::RobotHardwareService_var hardware_;
  MotionCommands_var motion_;
};

TEST_P(CoordinatorStop, duringAnObjectTrajectoryHaltsTheArmAndAnswersStopped) {
  listenToResults();
  startObjectTrajectory();

  stop(GetParam());
  EXPECT_TRUE(printer_->waitForOutput("HIRO_OBJ_MANIP_STOPPED", kStopTimeout))
      << printer_->output() << cell_.coordinator().output();
  if (GetParam() != StopBy::deactivation) {
    const auto status = cell_.coordinator().waitForExit(kStopTimeout);
    ASSERT_TRUE(status) << "the coordinator did not exit: " << cell_.coordinator().output();
    EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  }
  EXPECT_EQ(cell_.coordinator().countInOutput("cannot halt the robot"), 0)
      << cell_.coordinator().output();

  // The cell's own account: the arm stays where it was halted, and the robot refuses motion
  // while its protective stop is engaged.
  const std::vector<double> halted = joints();
  EXPECT_FALSE(waitForMotion(halted, kStillWatch)) << "the arm is still moving";
  MotionCommands::JointPosSeq points;
  points.length(1);
  points[0].length(24);
  for (CORBA::ULong k = 0; k < 24; ++k) {
    points[0][k] = k < 23 ? halted[k] * kDegPerRad : 0.0;
  }
  MotionCommands::DoubleSeq times;
  times.length(1);
  times[0] = 0.1;
  MotionCommands::RETURN_ID_var refused = motion_->movePTPJointAbsSeq(points, times);
  EXPECT_NE(refused->id, 0);
  EXPECT_NE(std::string(refused->comment.in()).find("protective stop"), std::string::npos)
      << refused->comment.in();
}

INSTANTIATE_TEST_SUITE_P(EveryWay, CoordinatorStop,
                         ::testing::Values(StopBy::sigterm, StopBy::sigint, StopBy::exit,
                                           StopBy::deactivation),
                         [](const auto& info) { return nameOf(info.param); });

}  // namespace
