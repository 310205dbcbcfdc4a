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
  void SetUp() override { ASSERT_TRUE(cell_.start(dir_.path(), "50")); }

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
  test_support::ArmCell cell_{names_};
  std::unique_ptr<test_support::ChildProcess> printer_;
};

TEST_F(PickAndPlaceTest, bothObjectsEndOnTheTrayAtItsPutDownPlace) {
  listenToResults();
  ASSERT_TRUE(command("HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_FINISHED"))
      << cell_.coordinator().output();
  EXPECT_TRUE(cell_.simulator().waitForOutput(
      "object 0 released on tray at (-0.128, 0.495, 0.015) m", kStartTimeout))
      << cell_.simulator().output();
  ASSERT_TRUE(command("HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_FINISHED", 2))
      << cell_.coordinator().output();
  EXPECT_TRUE(cell_.simulator().waitForOutput(
      "object 1 released on tray at (-0.049, 0.509, 0.015) m", kStartTimeout))
      << cell_.simulator().output();
  // The table is empty now.
  ASSERT_TRUE(command("HIRO_OBJ_MANIP_START", "HIRO_OBJ_MANIP_ERROR"))
      << cell_.coordinator().output();
  ASSERT_TRUE(command("HIRO_TRAY_MANIP_START", "HIRO_TRAY_MANIP_FINISHED"))
      << cell_.coordinator().output();

  ASSERT_TRUE(cell_.simulator().sendSignal(SIGTERM));
  const auto status = cell_.simulator().waitForExit(kStartTimeout);
  EXPECT_TRUE(status && status->exitedWith(0));
  EXPECT_NE(cell_.simulator().standardOutput().find(
                "final places:\n"
                "  object 0 (class 0): on tray at (0.510, 0.040, 0.032) m, yaw 0.0 deg\n"
                "  object 1 (class 1): on tray at (0.510, -0.040, 0.032) m, yaw 0.0 deg\n"
                "  tray: standing at (0.470, 0.000, 0.032) m, yaw 0.0 deg\n"),
            std::string::npos)
      << cell_.simulator().output();
}

}  // namespace
