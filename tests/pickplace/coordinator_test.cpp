#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "angles.h"
#include "coordinator.h"
#include "corba_cell_links.h"
#include "fake_brisko.h"
#include "fake_lumeris.h"
#include "fake_robot.h"
#include "recording_stream.h"
#include "test_orb.h"

namespace pickplace {
namespace {

using namespace fakes;
using namespace std::chrono_literals;

// The command cycle against real CORBA servants standing in for the gateway, the robot
// controller, the robot and the estimation gateway.
class CommandCycle : public ::testing::Test {
 protected:
  CommandCycle() {
    motionRef = fakes::activate<MotionCommands>(motion);
    hiroNxRef = fakes::activate<HiroNX>(hiroNx);
    briskoRef = fakes::activate<BriskoRTC::BriskoService>(brisko);
    lumerisRef = fakes::activate<LumerisRTC::LumerisService>(lumeris);
    CellReferences references{
        [this] { return briskoLinked ? briskoRef.in() : BriskoRTC::BriskoService::_nil(); },
        [this] { return motionLinked ? motionRef.in() : MotionCommands::_nil(); },
        [this] { return hiroNxLinked ? hiroNxRef.in() : HiroNX::_nil(); },
        [this] { return lumerisLinked ? lumerisRef.in() : LumerisRTC::LumerisService::_nil(); },
    };
    links = std::make_unique<CorbaCellLinks>(references, console);
    coordinator = std::make_unique<Coordinator>(*links, console);
    coordinator->initialize(config);
    // Trajectories of a task are held until the protective stop; the initial-pose move is not.
    motion.holdAbovePoints = 1;
    motion.holdLimit = 200ms;
    RTC::Size3D size{0.02, 0.07, 0.04};
    RTC::Pose3D pose{{0.35, 0.05, 0.03}, {0.0, 0.0, 0.2}};
    lumeris.setEstimate(0, 0, size, pose);
  }

  ~CommandCycle() override {
    coordinator.reset();
    fakes::deactivate(motion);
    fakes::deactivate(brisko);
    fakes::deactivate(lumeris);
    if (hiroNxActive) {
      fakes::deactivate(hiroNx);
    }
  }

  // One period with the given samples; its one answer, if any (more fail the test).
  std::optional<std::string> period(const std::vector<Coordinator::Sample>& received) {
    const std::vector<std::string> results = coordinator->cycle(received, config);
    EXPECT_LE(results.size(), 1u) << "more than one answer in one period";
    return results.empty() ? std::nullopt : std::optional<std::string>(results.front());
  }

  std::optional<std::string> send(const std::string& word) { return period({{word}}); }

  std::optional<std::string> idle() { return period({}); }

  // Sends a START and waits for its result, which may come in the same period when the task
  // is quick.
  std::optional<std::string> runTask(const std::string& start) {
    if (auto result = send(start)) {
      return result;
    }
    return awaitResult();
  }

  // Polls `condition` until it holds; false after 10 s.
  template <class Condition>
  static bool waitUntil(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

  // Idle periods until a result comes; empty after 10 s.
  std::optional<std::string> awaitResult() {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (auto result = idle()) {
        return result;
      }
    }
    return std::nullopt;
  }

  // Starts a task and waits until the robot is moving it.
  void startHeldTask(const std::string& start) {
    motion.holdLimit = 20s;
    ASSERT_EQ(send(start), std::nullopt);
    ASSERT_TRUE(motion.waitUntilHolding(10s)) << "the task never reached the controller";
  }

  CellConfig config = defaultCellConfig();
  FakeRobotState robot;
  FakeMotionCommands motion{robot};
  FakeHiroNX hiroNx{robot};
  FakeBrisko brisko;
  FakeLumeris lumeris;
  MotionCommands_var motionRef;
  HiroNX_var hiroNxRef;
  BriskoRTC::BriskoService_var briskoRef;
  LumerisRTC::LumerisService_var lumerisRef;
  std::atomic<bool> motionLinked{true};
  std::atomic<bool> hiroNxLinked{true};
  std::atomic<bool> briskoLinked{true};
  std::atomic<bool> lumerisLinked{true};
  bool hiroNxActive = true;
  // The worker writes while a test waits for its lines.
  RecordingStream out;
  RecordingStream err;
  Console console{out, err};
  std::unique_ptr<CorbaCellLinks> links;
  std::unique_ptr<Coordinator> coordinator;
};

TEST_F(CommandCycle, activationReleasesTheStopAndMovesToTheInitialPoseInTwoSeconds) {
  coordinator->activate();
  EXPECT_TRUE(coordinator->controllerPresent());
  EXPECT_EQ(hiroNx.calls(), std::vector<std::string>{"disengage"});
  const auto calls = motion.calls();
  ASSERT_EQ(calls.size(), 1u);
  ASSERT_EQ(calls[0].points_deg.size(), 1u);
  EXPECT_EQ(calls[0].times_s, std::vector<double>{2.0});
  const auto& point = calls[0].points_deg[0];
  ASSERT_EQ(point.size(), 24u);
  EXPECT_NEAR(point[2], radToDeg(0.45), 1e-9);
  EXPECT_NEAR(point[3], radToDeg(-0.407), 1e-9);
  EXPECT_NEAR(point[14], radToDeg(-0.056), 1e-9);
  for (std::size_t k = 15; k < 24; ++k) {
    EXPECT_EQ(point[k], 0.0) << k;
  }
  EXPECT_NE(out.str().find("[Activate] initial robot pose...(Body/Head):   +0.0,   +0.0,  +25.8\n"
                           "( Arm   R ):  -23.3,   -7.2, -156.2,   +7.2,  +22.5,   +3.2\n"
                           "( Arm   L ):  +23.3,   -7.2, -156.2,   -7.2,  +22.5,   -3.2\n"
                           "( Hand  R ):   +0.0,   +0.0,   +0.0,   +0.0\n"
                           "( Hand  L ):   +0.0,   +0.0,   +0.0,   +0.0\nOK\n"),
            std::string::npos)
      << out.str();
}

TEST_F(CommandCycle, objectTaskRunsAndReportsFinished) {
  motion.holdAbovePoints = SIZE_MAX;
  coordinator->activate();
  EXPECT_EQ(runTask("HIRO_OBJ_MANIP_START"), "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_FALSE(coordinator->taskRunning());
  const auto calls = motion.calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].points_deg.size(), 15u);
  const auto worlds = lumeris.worldPoses();
  ASSERT_EQ(worlds.size(), 1u);
  EXPECT_DOUBLE_EQ(worlds[0].position.x, 0.35);
  EXPECT_DOUBLE_EQ(worlds[0].position.y, -0.096);
  EXPECT_DOUBLE_EQ(worlds[0].position.z, 0.032);
  EXPECT_DOUBLE_EQ(worlds[0].orientation.y, 0.0);
  EXPECT_EQ(brisko.reachQueries().size(), 6u);
  EXPECT_EQ(brisko.solveQueries().size(), 6u);
  EXPECT_NE(out.str().find(">> HIRO_OBJ_MANIP_START\n"), std::string::npos);
  EXPECT_NE(out.str().find("<< HIRO_OBJ_MANIP_FINISHED\n"), std::string::npos);
  EXPECT_EQ(err.str(), "");
}

TEST_F(CommandCycle, shortHiroWordsAreOnlyRecordedAndHoldTheCollection) {
  coordinator->activate();
  startHeldTask("HIRO_OBJ_MANIP_START");
  // Let the task end; collection must still wait for a period without a short word.
  robot.engage();
  ASSERT_TRUE(waitUntil([this] { return coordinator->taskEnded(); })) << "the task never ended";
  for (const char* word : {"HIRO", "HIRO_", "HI", ""}) {
    EXPECT_EQ(send(word), std::nullopt) << word;
    EXPECT_EQ(coordinator->commandText(), word);
    EXPECT_TRUE(coordinator->taskRunning()) << word;
  }
  EXPECT_EQ(awaitResult(), "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_EQ(out.str().find(">> HIRO\n"), std::string::npos);
}

TEST_F(CommandCycle, stopWithNothingRunningStillAnswersStopped) {
  coordinator->activate();
  EXPECT_EQ(send("HIRO_OBJ_MANIP_STOP"), "HIRO_OBJ_MANIP_STOPPED");
  EXPECT_EQ(send("HIRO_TRAY_MANIP_STOP"), "HIRO_TRAY_MANIP_STOPPED");
  EXPECT_EQ(hiroNx.calls(), std::vector<std::string>{"disengage"});
  EXPECT_NE(out.str().find(">> HIRO_TRAY_MANIP_STOP\n<< HIRO_TRAY_MANIP_STOPPED\n"),
            std::string::npos);
}

TEST_F(CommandCycle, stopDuringATrajectoryEngagesTheProtectiveStop) {
  coordinator->activate();
  startHeldTask("HIRO_OBJ_MANIP_START");
  EXPECT_EQ(send("HIRO_OBJ_MANIP_STOP"), "HIRO_OBJ_MANIP_STOPPED");
  EXPECT_TRUE(motion.lastHoldEndedByStop());
  EXPECT_EQ(hiroNx.calls(), (std::vector<std::string>{"disengage", "engage"}));
  EXPECT_FALSE(coordinator->taskRunning());
  EXPECT_EQ(idle(), std::nullopt) << "the stopped task must not be collected again";
}

TEST_F(CommandCycle, startWhileATaskRunsIsRefusedAndTheRunningResultComes) {
  coordinator->activate();
  startHeldTask("HIRO_OBJ_MANIP_START");
  EXPECT_EQ(send("HIRO_TRAY_MANIP_START"), std::nullopt);
  EXPECT_EQ(send("HIRO_OBJ_MANIP_START"), std::nullopt);
  // The tray STOP finds no tray task: it halts nothing.
  EXPECT_EQ(send("HIRO_TRAY_MANIP_STOP"), "HIRO_TRAY_MANIP_STOPPED");
  EXPECT_EQ(hiroNx.calls(), std::vector<std::string>{"disengage"});
  robot.engage();  // the robot ends the motion itself
  EXPECT_EQ(awaitResult(), "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_EQ(lumeris.worldPoses().size(), 1u) << "only one task ran";
  EXPECT_EQ(motion.calls().size(), 2u);
  EXPECT_EQ(err.str(),
            "Palkett::onExecute(): HIRO_TRAY_MANIP_START refused: a task is running.\n"
            "Palkett::onExecute(): HIRO_OBJ_MANIP_START refused: a task is running.\n");
  // The slot is free again.
  robot.disengage();
  motion.holdAbovePoints = SIZE_MAX;
  EXPECT_EQ(runTask("HIRO_TRAY_MANIP_START"), "HIRO_TRAY_MANIP_FINISHED");
}

TEST_F(CommandCycle, finishMovesToTheInitialPoseAndAnswersAnEmptyString) {
  coordinator->activate();
  EXPECT_EQ(send("FINISH"), "");
  const auto calls = motion.calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].times_s, std::vector<double>{2.0});
  EXPECT_EQ(calls[1].points_deg, calls[0].points_deg);
  EXPECT_NE(out.str().find("<< \n"), std::string::npos);
}

TEST_F(CommandCycle, finishDuringATaskStopsItFirst) {
  coordinator->activate();
  startHeldTask("HIRO_OBJ_MANIP_START");
  EXPECT_EQ(send("FINISH"), "");
  EXPECT_TRUE(motion.lastHoldEndedByStop());
  EXPECT_EQ(hiroNx.calls(), (std::vector<std::string>{"disengage", "engage", "disengage"}));
  EXPECT_FALSE(coordinator->taskRunning());
  EXPECT_FALSE(coordinator->placingSlots().isTaken(0, 0)) << "activation frees the slots";
  motion.holdAbovePoints = SIZE_MAX;
  EXPECT_EQ(runTask("HIRO_OBJ_MANIP_START"), "HIRO_OBJ_MANIP_FINISHED");
}

TEST_F(CommandCycle, otherWordsAndEmptySamplesWriteNothing) {
  coordinator->activate();
  for (const char* word : {"HELLO", "FINISHED", "finish", "HIRO_XYZ_START",
                           "HIRO_OBJ_MANIP_STARTED", "HIRO_TRAY_MANIP_STOPNOW"}) {
    EXPECT_EQ(send(word), std::nullopt) << word;
  }
  EXPECT_EQ(period({Coordinator::Sample{}}), std::nullopt);
  EXPECT_EQ(coordinator->commandText(), "HIRO_TRAY_MANIP_STOPNOW");
  EXPECT_FALSE(coordinator->taskRunning());
  EXPECT_EQ(motion.calls().size(), 1u);
  EXPECT_EQ(hiroNx.calls().size(), 1u);
}

TEST_F(CommandCycle, unconnectedControllerMakesTasksFail) {
  motionLinked = false;
  coordinator->activate();
  EXPECT_FALSE(coordinator->controllerPresent());
  EXPECT_EQ(runTask("HIRO_OBJ_MANIP_START"), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_TRUE(motion.calls().empty());
  EXPECT_TRUE(hiroNx.calls().empty());
  EXPECT_EQ(err.str(),
            "Palkett::activate(): HIROController and HiroNX not found.\n"
            "Palkett::processObj(): HIROController does not respond.\n"
            "\a\aPalkett::manipulateSingleObject(): cannot pick & place object.\n");
}

TEST_F(CommandCycle, unconnectedHiroNxAlsoCountsAsNoController) {
  hiroNxLinked = false;
  coordinator->activate();
  EXPECT_FALSE(coordinator->controllerPresent());
  EXPECT_TRUE(motion.calls().empty());
  EXPECT_EQ(runTask("HIRO_TRAY_MANIP_START"), "HIRO_TRAY_MANIP_ERROR");
}

TEST_F(CommandCycle, stopWithoutHiroNxWaitsForTheTaskToEndByItself) {
  coordinator->activate();
  startHeldTask("HIRO_TRAY_MANIP_START");
  hiroNxLinked = false;
  auto stopped = std::async(std::launch::async, [this] { return send("HIRO_TRAY_MANIP_STOP"); });
  ASSERT_TRUE(err.waitFor("Palkett::stopTask(): HiroNX not found; cannot halt the robot", 10s))
      << err.str();
  // The trajectory is still held: nothing has ended it, so the stop still waits.
  EXPECT_EQ(stopped.wait_for(0s), std::future_status::timeout) << "nothing could halt the robot";
  robot.engage();  // the trajectory ends by itself
  ASSERT_EQ(stopped.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(stopped.get(), "HIRO_TRAY_MANIP_STOPPED");
  EXPECT_EQ(hiroNx.calls(), std::vector<std::string>{"disengage"});
  EXPECT_NE(err.str().find("Palkett::stopTask(): HiroNX not found; cannot halt the robot"),
            std::string::npos);
}

TEST_F(CommandCycle, failingEstimatorEndsTheTaskWithOneLine) {
  coordinator->activate();
  lumeris.failCalls();
  EXPECT_EQ(runTask("HIRO_OBJ_MANIP_START"), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_EQ(err.str(),
            "\a\aPalkett: LumerisService::getLastEstimatedResult() failed: CORBA::TRANSIENT\n");
}

TEST_F(CommandCycle, failingGatewayEndsTheTaskWithOneLine) {
  coordinator->activate();
  brisko.failQueries = true;
  EXPECT_EQ(runTask("HIRO_OBJ_MANIP_START"), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_EQ(err.str(),
            "\a\aPalkett: BriskoService::isIKSolutionFoundL() failed: CORBA::TRANSIENT\n");
  EXPECT_EQ(motion.calls().size(), 1u);
}

TEST_F(CommandCycle, failingSolutionQueryEndsTheTaskWithOneLine) {
  coordinator->activate();
  brisko.failSolutions = true;
  EXPECT_EQ(runTask("HIRO_TRAY_MANIP_START"), "HIRO_TRAY_MANIP_ERROR");
  EXPECT_EQ(err.str(), "\a\aPalkett: BriskoService::getIKSolutionL() failed: CORBA::TRANSIENT\n");
  EXPECT_EQ(motion.calls().size(), 1u) << "nothing is sent";
}

TEST_F(CommandCycle, failingControllerEndsTheTaskWithOneLine) {
  coordinator->activate();
  motion.failAbovePoints = 1;
  EXPECT_EQ(runTask("HIRO_TRAY_MANIP_START"), "HIRO_TRAY_MANIP_ERROR");
  EXPECT_EQ(err.str(),
            "\a\aPalkett: MotionCommands::movePTPJointAbsSeq() failed: CORBA::COMM_FAILURE\n");
}

TEST_F(CommandCycle, activationGoesOnWhenTheRobotIsGone) {
  fakes::deactivate(hiroNx);
  hiroNxActive = false;
  coordinator->activate();
  EXPECT_EQ(motion.calls().size(), 1u) << "the move to the initial pose is still sent";
  EXPECT_NE(
      err.str().find("Palkett: HiroNX::DisengageProtectiveStop() failed: CORBA::OBJECT_NOT_EXIST"),
      std::string::npos)
      << err.str();
  EXPECT_NE(out.str().find("OK\n"), std::string::npos);
}

TEST_F(CommandCycle, stopWhenTheRobotIsGoneStillAnswers) {
  coordinator->activate();
  startHeldTask("HIRO_OBJ_MANIP_START");
  fakes::deactivate(hiroNx);
  hiroNxActive = false;
  auto stopped = std::async(std::launch::async, [this] { return send("HIRO_OBJ_MANIP_STOP"); });
  ASSERT_TRUE(err.waitFor("Palkett: HiroNX::EngageProtectiveStop() failed", 10s)) << err.str();
  EXPECT_EQ(stopped.wait_for(0s), std::future_status::timeout) << "the task is still moving";
  robot.engage();  // the trajectory ends by itself
  ASSERT_EQ(stopped.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(stopped.get(), "HIRO_OBJ_MANIP_STOPPED");
}

TEST_F(CommandCycle, deactivationStopsARunningTask) {
  coordinator->activate();
  startHeldTask("HIRO_OBJ_MANIP_START");
  coordinator->deactivate();
  EXPECT_FALSE(coordinator->taskRunning());
  EXPECT_TRUE(motion.lastHoldEndedByStop());
  EXPECT_NE(out.str().find("[Deactivate] stopping manipulation thread...OK\n"), std::string::npos);
}

TEST_F(CommandCycle, everyWordOfAPeriodIsAnsweredInOrder) {
  coordinator->activate();
  const std::vector<Coordinator::Sample> received = {
      {"HIRO_OBJ_MANIP_STOP"}, {"HELLO"}, {"HIRO_TRAY_MANIP_STOP"}, {"HIRO"}, {"FINISH"}, {}};
  EXPECT_EQ(coordinator->cycle(received, config),
            (std::vector<std::string>{"HIRO_OBJ_MANIP_STOPPED", "HIRO_TRAY_MANIP_STOPPED", ""}));
  EXPECT_EQ(coordinator->commandText(), "HIRO");
}

TEST_F(CommandCycle, aStartAmongIgnoredWordsRunsItsTask) {
  motion.holdAbovePoints = SIZE_MAX;
  coordinator->activate();
  std::vector<Coordinator::Sample> received(50, Coordinator::Sample{"FILLER"});
  received[20] = {"HIRO_OBJ_MANIP_START"};
  std::vector<std::string> results = coordinator->cycle(received, config);
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (results.empty() && std::chrono::steady_clock::now() < deadline) {
    results = coordinator->cycle({}, config);
  }
  EXPECT_EQ(results, std::vector<std::string>{"HIRO_OBJ_MANIP_FINISHED"});
  EXPECT_EQ(lumeris.worldPoses().size(), 1u);
}

TEST_F(CommandCycle, aTaskThatEndsAmidAPeriodsWordsIsAnsweredBetweenThem) {
  coordinator->activate();
  startHeldTask("HIRO_OBJ_MANIP_START");
  robot.engage();  // the robot ends the motion itself
  ASSERT_TRUE(waitUntil([this] { return coordinator->taskEnded(); })) << "the task never ended";
  const std::vector<Coordinator::Sample> received = {{"HIRO_TRAY_MANIP_STOP"},
                                                     {"HIRO_TRAY_MANIP_STOP"}};
  EXPECT_EQ(coordinator->cycle(received, config),
            (std::vector<std::string>{"HIRO_TRAY_MANIP_STOPPED", "HIRO_OBJ_MANIP_FINISHED",
                                      "HIRO_TRAY_MANIP_STOPPED"}));
}

TEST_F(CommandCycle, endingARunningTaskHaltsTheRobotAndAnswersStopped) {
  coordinator->activate();
  EXPECT_EQ(coordinator->endRunningTask(), std::nullopt) << "nothing runs";
  startHeldTask("HIRO_TRAY_MANIP_START");
  EXPECT_EQ(coordinator->endRunningTask(), "HIRO_TRAY_MANIP_STOPPED");
  EXPECT_TRUE(motion.lastHoldEndedByStop());
  EXPECT_EQ(hiroNx.calls(), (std::vector<std::string>{"disengage", "engage"}));
  EXPECT_FALSE(coordinator->taskRunning());
  EXPECT_NE(out.str().find("<< HIRO_TRAY_MANIP_STOPPED\n"), std::string::npos);
  EXPECT_EQ(idle(), std::nullopt) << "the ended task is not collected again";
  coordinator->deactivate();
  EXPECT_EQ(out.str().find("[Deactivate]"), std::string::npos) << "a stop was performed";
}

TEST_F(CommandCycle, endingATaskThatHasEndedAnswersItsOwnResult) {
  coordinator->activate();
  startHeldTask("HIRO_OBJ_MANIP_START");
  robot.engage();  // the robot ends the motion itself
  ASSERT_TRUE(waitUntil([this] { return coordinator->taskEnded(); })) << "the task never ended";
  EXPECT_EQ(coordinator->endRunningTask(), "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_EQ(hiroNx.calls(), std::vector<std::string>{"disengage"}) << "no stop was needed";
}

}  // namespace
}  // namespace pickplace
