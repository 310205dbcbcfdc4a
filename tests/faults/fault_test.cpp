// The whole system of the demo, and each of its processes killed in turn at a moment where it
// matters, with SIGKILL (a crash) and with SIGTERM (an operator ending it). After each death
// the others stay up and keep their state, a running task ends with its word, the base comes
// to rest, no rtctl hangs, and at the end everything shuts down without a process or a name
// left. Each case brings up one system and kills processes that do not disturb each other.
#include <gtest/gtest.h>

#include <signal.h>

#include <set>
#include <string>

#include "demo_system.h"

namespace faults {
namespace {

using test_support::Seconds;

class FaultTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    const std::string problem = system_.bringUp();
    ASSERT_EQ(problem, "");
  }

  void TearDown() override { EXPECT_EQ(system_.shutDown(killed_), ""); }

  int signal() const { return GetParam(); }

  // Sends the signal and waits for the program to end as that signal ends it: SIGKILL kills it,
  // SIGTERM lets it end with exit 0.
  void end(const std::string& label) {
    test_support::ChildProcess& process = system_.program(label);
    ASSERT_TRUE(process.sendSignal(signal())) << label << " was not running";
    expectEnded(label);
  }

  void expectEnded(const std::string& label) {
    test_support::ChildProcess& process = system_.program(label);
    const auto status = process.waitForExit(kOutcomeTimeout);
    ASSERT_TRUE(status) << label << " did not end on signal " << signal() << "\n"
                        << process.output();
    if (signal() == SIGKILL) {
      EXPECT_TRUE(status->killedBy(SIGKILL)) << status->describe();
      killed_.insert(label);
    } else {
      EXPECT_TRUE(status->exitedWith(0)) << label << ": " << status->describe() << "\n"
                                         << process.output();
    }
  }

  void expectOthersActive(const std::set<std::string>& gone) {
    EXPECT_EQ(system_.checkOthersActive(gone), "");
  }

  // The coordinator answers the running task with one of the words.
  void expectAnswer(const std::set<std::string>& words) {
    const auto reader = system_.waitForAnswerReader(kOutcomeTimeout);
    ASSERT_TRUE(reader) << "no answer and the reader did not end";
    EXPECT_EQ(words.count(system_.answer()), 1u) << "answer: " << system_.answer();
    EXPECT_TRUE(reader->exitedWith(0)) << reader->describe();
  }

  DemoSystem system_;
  std::set<std::string> killed_;
};

std::string signalName(const ::testing::TestParamInfo<int>& info) {
  return info.param == SIGKILL ? "SIGKILL" : "SIGTERM";
}

// The viewer ends: the planner goes on driving without pictures. The planner ends: the base
// stops on its own. The coordinator ends in an object's trajectory: on SIGTERM it halts the
// robot and answers "HIRO_OBJ_MANIP_STOPPED" before it goes; on SIGKILL its reader is told that
// it went away. The arm's and the base's other components stay Active throughout.
TEST_P(FaultTest, viewerPlannerAndCoordinator) {
  ASSERT_EQ(system_.startDriving(), "");

  end(kViewer);
  EXPECT_EQ(system_.waitForBaseToDriveOn(0.3), "");
  expectOthersActive({kViewer});

  const auto driving = system_.baseStatus();
  ASSERT_TRUE(driving);
  ASSERT_GT(driving->vx_mps, 0.0) << "the base should still drive on its first leg";
  end(kPlanner);
  EXPECT_EQ(system_.waitForBaseAtRest(kOutcomeTimeout), "");
  expectOthersActive({kViewer, kPlanner});
  // The step log ends with a whole record, whenever the planner died.
  const std::string stepLog =
      test_support::readFile(system_.program(kPlanner).workingDirectory() + "/data_log.txt");
  ASSERT_FALSE(stepLog.empty());
  EXPECT_EQ(stepLog.back(), '\n') << stepLog.substr(stepLog.rfind('\n', stepLog.size() - 2));

  ASSERT_EQ(system_.startTask("HIRO_OBJ_MANIP_START"), "");
  ASSERT_EQ(system_.waitForTrajectory(), "");
  ASSERT_EQ(system_.waitForArmToMove(), "");
  end(kCoordinator);
  if (signal() == SIGTERM) {
    expectAnswer({"HIRO_OBJ_MANIP_STOPPED"});
    EXPECT_EQ(system_.program(kCoordinator).countInOutput("cannot halt the robot"), 0)
        << system_.program(kCoordinator).output();
    // The arm stopped where it was instead of finishing the motion.
    EXPECT_TRUE(
        system_.program(kArmSimulator)
            .waitForOutput("motion halted: the protective stop was engaged", kOutcomeTimeout))
        << system_.program(kArmSimulator).output();
  } else {
    const auto reader = system_.waitForAnswerReader(kOutcomeTimeout);
    ASSERT_TRUE(reader) << "the answer's reader hangs on a coordinator that is gone";
    EXPECT_TRUE(reader->exitedWith(1)) << reader->describe();
  }
  expectOthersActive({kViewer, kPlanner, kCoordinator});
}

// The base ends while driving: the planner stays up and Active (its cycle finds the map service
// missing, or waits for the odometry of the map it was served last). The arm's simulator ends in
// an object's trajectory: the coordinator answers "HIRO_OBJ_MANIP_ERROR" and stays Active, and
// so does the gateway.
TEST_P(FaultTest, baseAndArmSimulators) {
  ASSERT_EQ(system_.startDriving(), "");

  end(kBaseSimulator);
  expectOthersActive({kBaseSimulator});

  ASSERT_EQ(system_.startTask("HIRO_OBJ_MANIP_START"), "");
  ASSERT_EQ(system_.waitForTrajectory(), "");
  ASSERT_EQ(system_.waitForArmToMove(), "");
  end(kArmSimulator);
  expectAnswer({"HIRO_OBJ_MANIP_ERROR"});
  expectOthersActive({kBaseSimulator, kArmSimulator});
}

// The gateway ends while the coordinator waits for its answer whether a hand pose can be
// reached. SIGKILL: the task answers "HIRO_OBJ_MANIP_ERROR". SIGTERM: the gateway answers the
// calls that reach it while it shuts down, so the task ends with whichever word its last call
// allows, never without one. Then the name server ends while the base drives: every process
// stays up, the base keeps driving on its connections, rtctl fails at once instead of hanging,
// and every program still ends cleanly on SIGTERM.
TEST_P(FaultTest, gatewayDuringPlanningThenNameServer) {
  // Held still, the gateway cannot answer the first reach question before it is ended.
  test_support::ChildProcess& gateway = system_.program(kGateway);
  ASSERT_TRUE(gateway.sendSignal(SIGSTOP));
  // A component that does not answer is shown as such; rtctl does not wait on it for ever.
  const test_support::RunResult listedHung = system_.rtctl({"ls"});
  EXPECT_FALSE(listedHung.timedOut) << "rtctl ls hangs on a gateway that does not answer";
  EXPECT_NE(listedHung.out.find("Palkett0.rtc"), std::string::npos) << listedHung.err;
  ASSERT_EQ(system_.startTask("HIRO_OBJ_MANIP_START"), "");
  ASSERT_EQ(system_.waitForPlanning(), "");
  ASSERT_TRUE(gateway.sendSignal(signal()));
  gateway.sendSignal(SIGCONT);
  expectEnded(kGateway);
  if (signal() == SIGKILL) {
    expectAnswer({"HIRO_OBJ_MANIP_ERROR"});
  } else {
    expectAnswer({"HIRO_OBJ_MANIP_ERROR", "HIRO_OBJ_MANIP_FINISHED"});
  }
  expectOthersActive({kGateway});

  ASSERT_EQ(system_.startDriving(), "");
  ASSERT_TRUE(system_.names().sendSignal(signal()));
  ASSERT_TRUE(system_.names().waitForExit(kOutcomeTimeout)) << "omniNames did not end";
  const test_support::RunResult listed = system_.rtctl({"ls"});
  EXPECT_FALSE(listed.timedOut) << "rtctl ls hangs without a name server";
  EXPECT_TRUE(listed.status.exitedWith(1)) << listed.status.describe() << "\n" << listed.err;
  EXPECT_EQ(system_.waitForBaseToDriveOn(0.3), "");
  for (const std::string& label : programLabels()) {
    if (label != kGateway) {
      EXPECT_TRUE(system_.program(label).isRunning()) << label;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, FaultTest, ::testing::Values(SIGKILL, SIGTERM), signalName);

}  // namespace
}  // namespace faults
