#pragma once
// A fake servant of the estimation gateway's LumerisService: answers the estimate it is given
// (none at first) and records the world poses it is asked with.

#include <mutex>
#include <vector>

#include <LumerisRTC.hh>

namespace pickplace::fakes {

class FakeLumeris : public POA_LumerisRTC::LumerisService {
 public:
  CORBA::Long getLastEstimatedResult(const RTC::Pose3D& world, CORBA::Long& id, RTC::Size3D& size,
                                     RTC::Pose3D& pose) override;

  // What every later call answers.
  void setEstimate(CORBA::Long result, CORBA::Long classId, const RTC::Size3D& size,
                   const RTC::Pose3D& pose);
  // Every later call raises CORBA::TRANSIENT.
  void failCalls();
  // The world poses of every call so far.
  std::vector<RTC::Pose3D> worldPoses();

 private:
  std::mutex mutex_;
  CORBA::Long result_ = -1;
  CORBA::Long classId_ = 0;
  RTC::Size3D size_{};
  RTC::Pose3D pose_{};
  bool fail_ = false;
  std::vector<RTC::Pose3D> worlds_;
};

}  // namespace pickplace::fakes
