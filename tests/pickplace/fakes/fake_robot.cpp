#include "fake_robot.h"

namespace pickplace::fakes {

void FakeRobotState::engage() {
  std::lock_guard<std::mutex> lock(mutex_);
  engaged_ = true;
  changed_.notify_all();
}

void FakeRobotState::disengage() {
  std::lock_guard<std::mutex> lock(mutex_);
  engaged_ = false;
  changed_.notify_all();
}

bool FakeRobotState::waitForStop(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return engaged_; });
}

bool FakeRobotState::engaged() {
  std::lock_guard<std::mutex> lock(mutex_);
  return engaged_;
}

MotionCommands::RETURN_ID* FakeMotionCommands::movePTPJointAbsSeq(
    const MotionCommands::JointPosSeq& points, const MotionCommands::DoubleSeq& times) {
  RecordedTrajectory call;
  for (CORBA::ULong i = 0; i < points.length(); ++i) {
    call.points_deg.emplace_back(points[i].get_buffer(),
                                 points[i].get_buffer() + points[i].length());
  }
  call.times_s.assign(times.get_buffer(), times.get_buffer() + times.length());
  const std::size_t count = call.points_deg.size();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(std::move(call));
  }
  if (count > failAbovePoints) {
    throw CORBA::COMM_FAILURE();
  }
  if (count > holdAbovePoints) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      isHolding_ = true;
      holding_.notify_all();
    }
    const bool stopped = robot_.waitForStop(holdLimit);
    std::lock_guard<std::mutex> lock(mutex_);
    isHolding_ = false;
    lastHoldEndedByStop_ = stopped;
  }
  auto* result = new MotionCommands::RETURN_ID;
  result->id = resultId;
  result->comment = CORBA::string_dup("");
  return result;
}

MotionCommands::RETURN_ID* FakeMotionCommands::unused() {
  auto* result = new MotionCommands::RETURN_ID;
  result->id = -1;
  result->comment = CORBA::string_dup("not used by the coordinator");
  return result;
}

std::vector<RecordedTrajectory> FakeMotionCommands::calls() {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

bool FakeMotionCommands::waitUntilHolding(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return holding_.wait_for(lock, limit, [this] { return isHolding_; });
}

bool FakeMotionCommands::lastHoldEndedByStop() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastHoldEndedByStop_;
}

void FakeHiroNX::EngageProtectiveStop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back("engage");
  }
  robot_.engage();
}

void FakeHiroNX::DisengageProtectiveStop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back("disengage");
  }
  robot_.disengage();
}

std::vector<std::string> FakeHiroNX::calls() {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

}  // namespace pickplace::fakes
