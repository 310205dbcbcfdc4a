// The whole cell on one machine: HiroSimComp with its default scene, the gateway and the
// coordinator with their defaults, connected with rtctl. Both objects go onto the tray and
// the tray is carried to its put-down place, which the simulator reports at exit.

#include <gtest/gtest.h>

#include <csignal>

#include "tests/support/test_support.h"

namespace {

using test_support::Seconds;

constexpr Seconds kStartTimeout{30.0};
constexpr Seconds kTaskTimeout{120.0};

class PickAndPlaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conf_ = test_support::writeRtcConf(
        dir_.path(),
        {names_.address(), "127.0.0.1:", 100.0, "WARN", {{"logger.file_name", "STDOUT"}}});
    sim_ = start("HiroSimComp", {"-f", conf_, "--time-scale", "50"});
    brisko_ = start("BriskoComp", {"-f", conf_});
    palkett_ = start("PalkettComp", {"-f", conf_});
    for (const char* name : {"RobotController0.rtc", "HIROController0.rtc", "HiroNX0.rtc",
                             "Lumeris0.rtc", "Brisko0.rtc", "Palkett0.rtc"}) {
      ASSERT_TRUE(names_.waitForBinding(name, kStartTimeout)) << name;
    }
    for (const char* port :
         {"RobotHWSvc", "SeqPlayerSvc", "ArmCtrlSvcL", "ArmCtrlSvcR", "GrasperSvc"}) {
      rtctl({"connect", std::string("Brisko0:") + port, std::string("RobotController0:") + port});
    }
    rtctl({"connect", "Palkett0:BriskoService", "Brisko0:BriskoService"});
    rtctl({"connect", "Palkett0:HIRO", "HIROController0:HIRO"});
    rtctl({"connect", "Palkett0:HiroNX", "HiroNX0:HiroNX"});
    rtctl({"connect", "Palkett0:LumerisService", "Lumeris0:LumerisService"});
    rtctl({"activate", "Brisko0", "Palkett0"});
  }

  std::unique_ptr<test_support::ChildProcess> start(const std::string& program,
                                                    const std::vector<std::string>& args) {
    return std::make_unique<test_support::ChildProcess>(test_support::binPath(program), args);
  }

  void rtctl(const std::vector<std::string>& args) {
    const auto run = test_support::runRtctl(names_, args);
    ASSERT_TRUE(!run.timedOut && run.status.exitedWith(0)) << run.out << run.err;
  }

  // Starts printing the coordinator's result words; returns once the printer is connected
  // (a stop with nothing running answers at once, so it serves as the probe).
  void listenToResults() {
    printer_ = std::make_unique<test_support::ChildProcess>(
        test_support::binPath("rtctl"),
        std::vector<std::string>{"-n", names_.address(), "print", "Palkett0:output"});
    for (int attempt = 0; attempt < 30; ++attempt) {
      rtctl({"inject", "Palkett0:input", "HIRO_OBJ_MANIP_STOP"});
      if (printer_->waitForOutput("HIRO_OBJ_MANIP_STOPPED", Seconds(1.0))) return;
    }
    FAIL() << "the result printer did not connect: " << printer_->output();
  }

  // Sends a command word and waits for the coordinator's count-th answer `result`.
  bool command(const std::string& word, const std::string& result, int count = 1) {
    rtctl({"inject", "Palkett0:input", word});
    return printer_->waitForOutput(result + "\n", kTaskTimeout, count);
  }

  test_support::TempDir dir_;
  test_support::NameServer names_;
  std::string conf_;
  std::unique_ptr<test_support::ChildProcess> sim_;
  std::unique_ptr<test_support::ChildProcess> brisko_;
  std::unique_ptr<test_support::ChildProcess> palkett_;
  std::unique_ptr<test_support::ChildProcess> printer_;
};

TEST_F(PickAndPlaceTest, bothObjectsEndOnTheTrayAtItsPutDownPlace) {
  listenToResults();
  ASSERT_TRUE(command("HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_FINISHED")) << palkett_->output();
  EXPECT_TRUE(
      sim_->waitForOutput("object 0 released on tray at (-0.128, 0.495, 0.015) m", kStartTimeout))
      << sim_->output();
  ASSERT_TRUE(command("HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_FINISHED", 2)) << palkett_->output();
  EXPECT_TRUE(
      sim_->waitForOutput("object 1 released on tray at (-0.049, 0.509, 0.015) m", kStartTimeout))
      << sim_->output();
  // The table is empty now.
  ASSERT_TRUE(command("HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_ERROR")) << palkett_->output();
  ASSERT_TRUE(command("HIRO_TRAY_MANIP_START", "HIRO_TRAY_MANIP_FINISHED")) << palkett_->output();

  ASSERT_TRUE(sim_->sendSignal(SIGTERM));
  const auto status = sim_->waitForExit(kStartTimeout);
  EXPECT_TRUE(status && status->exitedWith(0));
  EXPECT_NE(sim_->standardOutput().find(
                "final places:\n"
                "  object 0 (class 0): on tray at (0.510, 0.040, 0.032) m, yaw 0.0 deg\n"
                "  object 1 (class 1): on tray at (0.510, -0.040, 0.032) m, yaw 0.0 deg\n"
                "  tray: standing at (0.470, 0.000, 0.032) m, yaw 0.0 deg\n"),
            std::string::npos)
      << sim_->output();
}

}  // namespace
