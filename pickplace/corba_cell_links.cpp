#include "corba_cell_links.h"

namespace pickplace {

RTC::Pose3D toPose3D(const HandPose& pose) {
  RTC::Pose3D out;
  out.position.x = pose.x_m;
  out.position.y = pose.y_m;
  out.position.z = pose.z_m;
  out.orientation.r = pose.roll_rad;
  out.orientation.p = pose.pitch_rad;
  out.orientation.y = pose.yaw_rad;
  return out;
}

HandPose toHandPose(const RTC::Pose3D& pose) {
  return HandPose{pose.position.x,    pose.position.y,    pose.position.z,
                  pose.orientation.r, pose.orientation.p, pose.orientation.y};
}

JointAngles toJointAngles(const BriskoRTC::BriskoService::JointAngles& angles) {
  JointAngles out(angles.length());
  for (CORBA::ULong g = 0; g < angles.length(); ++g) {
    out[g].assign(angles[g].get_buffer(), angles[g].get_buffer() + angles[g].length());
  }
  return out;
}

void CorbaCellLinks::reportFailure(const char* call, const CORBA::Exception& failure) {
  console_.error(bells(2) + "Palkett: " + call + " failed: CORBA::" + failure._name());
}

IkStatus CorbaCellLinks::isSolutionFound(Arm arm, const HandPose& pose, double chest_rad) {
  BriskoRTC::BriskoService_var brisko = BriskoRTC::BriskoService::_duplicate(references_.brisko());
  if (CORBA::is_nil(brisko)) {
    return IkStatus::notFound;
  }
  const bool left = arm == Arm::left;
  try {
    const bool found = left ? brisko->isIKSolutionFoundL(toPose3D(pose), chest_rad)
                            : brisko->isIKSolutionFoundR(toPose3D(pose), chest_rad);
    return found ? IkStatus::found : IkStatus::notFound;
  } catch (const CORBA::Exception& failure) {
    reportFailure(
        left ? "BriskoService::isIKSolutionFoundL()" : "BriskoService::isIKSolutionFoundR()",
        failure);
    return IkStatus::callFailed;
  }
}

IkStatus CorbaCellLinks::solve(Arm arm, const HandPose& pose, double chest_rad,
                               JointAngles& solution) {
  BriskoRTC::BriskoService_var brisko = BriskoRTC::BriskoService::_duplicate(references_.brisko());
  if (CORBA::is_nil(brisko)) {
    return IkStatus::notFound;
  }
  const bool left = arm == Arm::left;
  try {
    BriskoRTC::BriskoService::JointAngles_var angles;
    const bool found = left ? brisko->getIKSolutionL(toPose3D(pose), chest_rad, angles.out())
                            : brisko->getIKSolutionR(toPose3D(pose), chest_rad, angles.out());
    solution = toJointAngles(angles.in());
    return found ? IkStatus::found : IkStatus::notFound;
  } catch (const CORBA::Exception& failure) {
    reportFailure(left ? "BriskoService::getIKSolutionL()" : "BriskoService::getIKSolutionR()",
                  failure);
    return IkStatus::callFailed;
  }
}

bool CorbaCellLinks::motionConnected() { return !CORBA::is_nil(references_.motion()); }
bool CorbaCellLinks::hiroNxConnected() { return !CORBA::is_nil(references_.hiroNx()); }
bool CorbaCellLinks::briskoConnected() { return !CORBA::is_nil(references_.brisko()); }
bool CorbaCellLinks::estimatorConnected() { return !CORBA::is_nil(references_.estimator()); }

CallStatus CorbaCellLinks::moveJoints(const Trajectory& trajectory, long& id) {
  MotionCommands_var motion = MotionCommands::_duplicate(references_.motion());
  if (CORBA::is_nil(motion)) {
    return CallStatus::notConnected;
  }
  MotionCommands::JointPosSeq points;
  points.length(static_cast<CORBA::ULong>(trajectory.points_deg.size()));
  for (CORBA::ULong i = 0; i < points.length(); ++i) {
    const auto& point = trajectory.points_deg[i];
    points[i].length(static_cast<CORBA::ULong>(point.size()));
    for (CORBA::ULong k = 0; k < point.size(); ++k) {
      points[i][k] = point[k];
    }
  }
  MotionCommands::DoubleSeq times;
  times.length(static_cast<CORBA::ULong>(trajectory.times_s.size()));
  for (CORBA::ULong i = 0; i < times.length(); ++i) {
    times[i] = trajectory.times_s[i];
  }
  try {
    MotionCommands::RETURN_ID_var result = motion->movePTPJointAbsSeq(points, times);
    id = result->id;
    return CallStatus::ok;
  } catch (const CORBA::Exception& failure) {
    reportFailure("MotionCommands::movePTPJointAbsSeq()", failure);
    return CallStatus::callFailed;
  }
}

CallStatus CorbaCellLinks::engageProtectiveStop() {
  HiroNX_var robot = HiroNX::_duplicate(references_.hiroNx());
  if (CORBA::is_nil(robot)) {
    return CallStatus::notConnected;
  }
  try {
    robot->EngageProtectiveStop();
    return CallStatus::ok;
  } catch (const CORBA::Exception& failure) {
    reportFailure("HiroNX::EngageProtectiveStop()", failure);
    return CallStatus::callFailed;
  }
}

CallStatus CorbaCellLinks::disengageProtectiveStop() {
  HiroNX_var robot = HiroNX::_duplicate(references_.hiroNx());
  if (CORBA::is_nil(robot)) {
    return CallStatus::notConnected;
  }
  try {
    robot->DisengageProtectiveStop();
    return CallStatus::ok;
  } catch (const CORBA::Exception& failure) {
    reportFailure("HiroNX::DisengageProtectiveStop()", failure);
    return CallStatus::callFailed;
  }
}

CallStatus CorbaCellLinks::estimateObject(const HandPose& world, ObjectEstimate& estimate) {
  LumerisRTC::LumerisService_var estimator =
      LumerisRTC::LumerisService::_duplicate(references_.estimator());
  if (CORBA::is_nil(estimator)) {
    return CallStatus::notConnected;
  }
  try {
    CORBA::Long classId = 0;
    RTC::Size3D size;
    RTC::Pose3D pose;
    estimate.result = estimator->getLastEstimatedResult(toPose3D(world), classId, size, pose);
    estimate.classId = classId;
    estimate.size_m = {size.l, size.w, size.h};
    estimate.pose = toHandPose(pose);
    return CallStatus::ok;
  } catch (const CORBA::Exception& failure) {
    reportFailure("LumerisService::getLastEstimatedResult()", failure);
    return CallStatus::callFailed;
  }
}

}  // namespace pickplace
