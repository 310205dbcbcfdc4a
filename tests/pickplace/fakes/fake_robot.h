#pragma once
// Fake servants of the robot controller's MotionCommands and the robot's HiroNX. They record
// every call; the controller can hold a trajectory until the protective stop is engaged, as
// the real robot does.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include <HiroNX.hh>
#include <MotionCommands.hh>

namespace pickplace::fakes {

struct RecordedTrajectory {
  std::vector<std::vector<double>> points_deg;
  std::vector<double> times_s;
};

// What the controller and the robot share: the protective stop.
class FakeRobotState {
 public:
  void engage();
  void disengage();
  // Waits until engaged, at most `limit`; true when engaged.
  bool waitForStop(std::chrono::milliseconds limit);
  bool engaged();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool engaged_ = false;
};

class FakeMotionCommands : public POA_MotionCommands {
 public:
  explicit FakeMotionCommands(FakeRobotState& robot) : robot_(robot) {}

  MotionCommands::RETURN_ID* movePTPJointAbsSeq(const MotionCommands::JointPosSeq& points,
                                                const MotionCommands::DoubleSeq& times) override;
  MotionCommands::RETURN_ID* closeGripper() override { return unused(); }
  MotionCommands::RETURN_ID* moveGripper(MotionCommands::ULONG) override { return unused(); }
  MotionCommands::RETURN_ID* moveLinearCartesianAbs(
      const MotionCommands::CarPosWithElbow&) override {
    return unused();
  }
  MotionCommands::RETURN_ID* moveLinearCartesianRel(
      const MotionCommands::CarPosWithElbow&) override {
    return unused();
  }
  MotionCommands::RETURN_ID* movePTPJointAbs(const MotionCommands::JointPos&) override {
    return unused();
  }
  MotionCommands::RETURN_ID* movePTPJointRel(const MotionCommands::JointPos&) override {
    return unused();
  }
  MotionCommands::RETURN_ID* openGripper() override { return unused(); }
  MotionCommands::RETURN_ID* setSpeedCartesian(MotionCommands::ULONG) override { return unused(); }
  MotionCommands::RETURN_ID* setSpeedJoint(MotionCommands::ULONG) override { return unused(); }

  // Settings, before use.
  // Trajectories with more points than this are held until the protective stop (at most
  // holdLimit); shorter ones (the move to the initial pose) return at once.
  std::size_t holdAbovePoints = SIZE_MAX;
  std::chrono::milliseconds holdLimit{20000};
  long resultId = 0;
  // The call raises CORBA::COMM_FAILURE for trajectories longer than this.
  std::size_t failAbovePoints = SIZE_MAX;

  std::vector<RecordedTrajectory> calls();
  // Waits until a call holds the robot; true when one does.
  bool waitUntilHolding(std::chrono::milliseconds limit);
  // How the last held call ended: true when the protective stop released it.
  bool lastHoldEndedByStop();

 private:
  MotionCommands::RETURN_ID* unused();

  FakeRobotState& robot_;
  std::mutex mutex_;
  std::condition_variable holding_;
  std::vector<RecordedTrajectory> calls_;
  bool isHolding_ = false;
  bool lastHoldEndedByStop_ = false;
};

class FakeHiroNX : public POA_HiroNX {
 public:
  explicit FakeHiroNX(FakeRobotState& robot) : robot_(robot) {}

  void EngageProtectiveStop() override;
  void DisengageProtectiveStop() override;
  void setupRobot() override {}
  void restart() override {}
  void goInitial() override {}
  void goOffPose() override {}
  void servoOn() override {}
  void servoOff() override {}
  void calibrateJoint() override {}
  void servoOnHands() override {}
  void servoOffHands() override {}
  void reboot() override {}
  void shutdown() override {}
  void rhandOpen() override {}
  void rhandClose() override {}
  void lhandOpen() override {}
  void lhandClose() override {}

  // "engage" / "disengage" in call order.
  std::vector<std::string> calls();

 private:
  FakeRobotState& robot_;
  std::mutex mutex_;
  std::vector<std::string> calls_;
};

}  // namespace pickplace::fakes
