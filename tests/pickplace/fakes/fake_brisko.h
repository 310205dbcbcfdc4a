#pragma once
// A fake BriskoService servant: answers IK queries from a rule and records them. The motion
// operations the coordinator never calls answer 0 and do nothing.

#include <functional>
#include <mutex>
#include <vector>

#include <BriskoRTC.hh>

#include "fake_cell_links.h"

namespace pickplace::fakes {

class FakeBrisko : public POA_BriskoRTC::BriskoService {
 public:
  using JointAngles = BriskoRTC::BriskoService::JointAngles;
  using FingerAngles = BriskoRTC::BriskoService::FingerAngles;

  CORBA::Boolean isIKSolutionFoundL(const RTC::Pose3D& pose, CORBA::Double chest) override;
  CORBA::Boolean isIKSolutionFoundR(const RTC::Pose3D& pose, CORBA::Double chest) override;
  CORBA::Boolean getIKSolutionL(const RTC::Pose3D& pose, CORBA::Double chest,
                                BriskoRTC::BriskoService::JointAngles_out solution) override;
  CORBA::Boolean getIKSolutionR(const RTC::Pose3D& pose, CORBA::Double chest,
                                BriskoRTC::BriskoService::JointAngles_out solution) override;

  CORBA::Long getHandPoseL(RTC::Pose3D&) override { return 0; }
  CORBA::Long getHandPoseR(RTC::Pose3D&) override { return 0; }
  CORBA::Long getJointAngles(BriskoRTC::BriskoService::JointAngles_out angles) override;
  CORBA::Long setHandPoseL(const RTC::Pose3D&, CORBA::Double, CORBA::Boolean) override { return 0; }
  CORBA::Long setHandPoseR(const RTC::Pose3D&, CORBA::Double, CORBA::Boolean) override { return 0; }
  CORBA::Long setJointAngles(const JointAngles&, CORBA::Double, CORBA::Boolean) override {
    return 0;
  }
  CORBA::Long setFingerDistanceL(CORBA::Double, CORBA::Double, CORBA::Boolean) override {
    return 0;
  }
  CORBA::Long setFingerDistanceR(CORBA::Double, CORBA::Double, CORBA::Boolean) override {
    return 0;
  }
  CORBA::Long setFingerAnglesL(const FingerAngles&, CORBA::Double, CORBA::Boolean) override {
    return 0;
  }
  CORBA::Long setFingerAnglesR(const FingerAngles&, CORBA::Double, CORBA::Boolean) override {
    return 0;
  }
  CORBA::Boolean isHandMovingL() override { return false; }
  CORBA::Boolean isHandMovingR() override { return false; }
  CORBA::Boolean isJointMoving() override { return false; }
  CORBA::Boolean isFingerMovingL() override { return false; }
  CORBA::Boolean isFingerMovingR() override { return false; }
  CORBA::Long setHandPoseLR(const RTC::Pose3D&, const RTC::Pose3D&, CORBA::Double,
                            CORBA::Boolean) override {
    return 0;
  }
  CORBA::Long setFingerDistanceLR(CORBA::Double, CORBA::Double, CORBA::Double,
                                  CORBA::Boolean) override {
    return 0;
  }
  CORBA::Long engageProtectiveStop() override { return 0; }
  CORBA::Long disengageProtectiveStop() override { return 0; }
  CORBA::Long turnServo(CORBA::Boolean, CORBA::Boolean, CORBA::Boolean, CORBA::Boolean,
                        CORBA::Boolean) override {
    return 0;
  }
  CORBA::Long setPose(CORBA::Long, CORBA::Double, CORBA::Boolean) override { return 0; }

  // Settings, before use: reachability rule (all reachable by default); the reachability
  // queries raise CORBA::TRANSIENT when failQueries is set, the solution queries when
  // failSolutions is.
  std::function<bool(const IkQuery&)> reachable = [](const IkQuery&) { return true; };
  bool failQueries = false;
  bool failSolutions = false;

  std::vector<IkQuery> reachQueries();
  std::vector<IkQuery> solveQueries();

 private:
  CORBA::Boolean reach(Arm arm, const RTC::Pose3D& pose, double chest);
  CORBA::Boolean solution(Arm arm, const RTC::Pose3D& pose, double chest,
                          BriskoRTC::BriskoService::JointAngles_out out);

  std::mutex mutex_;
  std::vector<IkQuery> reachQueries_;
  std::vector<IkQuery> solveQueries_;
};

}  // namespace pickplace::fakes
