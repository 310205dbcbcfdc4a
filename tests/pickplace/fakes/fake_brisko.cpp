#include "fake_brisko.h"

#include "corba_cell_links.h"

namespace pickplace::fakes {

CORBA::Boolean FakeBrisko::reach(Arm arm, const RTC::Pose3D& pose, double chest) {
  if (failQueries) {
    throw CORBA::TRANSIENT();
  }
  IkQuery query{arm, toHandPose(pose), chest};
  std::lock_guard<std::mutex> lock(mutex_);
  reachQueries_.push_back(query);
  return reachable(query);
}

CORBA::Boolean FakeBrisko::solution(Arm arm, const RTC::Pose3D& pose, double chest,
                                    BriskoRTC::BriskoService::JointAngles_out out) {
  if (failSolutions) {
    throw CORBA::TRANSIENT();
  }
  IkQuery query{arm, toHandPose(pose), chest};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    solveQueries_.push_back(query);
  }
  BriskoRTC::BriskoService::JointAngles_var angles = new JointAngles;
  angles->length(kJointGroupCount);
  const auto joints = armSolutionFor(query.pose, chest);
  auto& group = angles[arm == Arm::left ? kLeftArm : kRightArm];
  group.length(static_cast<CORBA::ULong>(joints.size()));
  for (CORBA::ULong k = 0; k < joints.size(); ++k) {
    group[k] = joints[k];
  }
  out = angles._retn();
  return true;
}

CORBA::Boolean FakeBrisko::isIKSolutionFoundL(const RTC::Pose3D& pose, CORBA::Double chest) {
  return reach(Arm::left, pose, chest);
}

CORBA::Boolean FakeBrisko::isIKSolutionFoundR(const RTC::Pose3D& pose, CORBA::Double chest) {
  return reach(Arm::right, pose, chest);
}

CORBA::Boolean FakeBrisko::getIKSolutionL(const RTC::Pose3D& pose, CORBA::Double chest,
                                          BriskoRTC::BriskoService::JointAngles_out out) {
  return solution(Arm::left, pose, chest, out);
}

CORBA::Boolean FakeBrisko::getIKSolutionR(const RTC::Pose3D& pose, CORBA::Double chest,
                                          BriskoRTC::BriskoService::JointAngles_out out) {
  return solution(Arm::right, pose, chest, out);
}

CORBA::Long FakeBrisko::getJointAngles(BriskoRTC::BriskoService::JointAngles_out angles) {
  angles = new JointAngles;
  return 0;
}

std::vector<IkQuery> FakeBrisko::reachQueries() {
  std::lock_guard<std::mutex> lock(mutex_);
  return reachQueries_;
}

std::vector<IkQuery> FakeBrisko::solveQueries() {
  std::lock_guard<std::mutex> lock(mutex_);
  return solveQueries_;
}

}  // namespace pickplace::fakes
