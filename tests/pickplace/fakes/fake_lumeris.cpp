#include "fake_lumeris.h"

namespace pickplace::fakes {

CORBA::Long FakeLumeris::getLastEstimatedResult(const RTC::Pose3D& world, CORBA::Long& id,
                                                RTC::Size3D& size, RTC::Pose3D& pose) {
  std::lock_guard<std::mutex> lock(mutex_);
  worlds_.push_back(world);
  if (fail_) {
    throw CORBA::TRANSIENT();
  }
  id = classId_;
  size = size_;
  pose = pose_;
  return result_;
}

void FakeLumeris::setEstimate(CORBA::Long result, CORBA::Long classId, const RTC::Size3D& size,
                              const RTC::Pose3D& pose) {
  std::lock_guard<std::mutex> lock(mutex_);
  result_ = result;
  classId_ = classId;
  size_ = size;
  pose_ = pose;
}

void FakeLumeris::failCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  fail_ = true;
}

std::vector<RTC::Pose3D> FakeLumeris::worldPoses() {
  std::lock_guard<std::mutex> lock(mutex_);
  return worlds_;
}

}  // namespace pickplace::fakes
