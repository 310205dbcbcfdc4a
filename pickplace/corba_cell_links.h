#pragma once
// CellLinks over the four outside services' CORBA references. A nil reference counts as not
// connected and is never called; an ORB exception from a peer is caught here, reported as one
// line naming the call, and answered with the failure status.

#include <functional>

#include <BriskoRTC.hh>
#include <HiroNX.hh>
#include <LumerisRTC.hh>
#include <MotionCommands.hh>

#include "cell_links.h"
#include "console.h"

namespace pickplace {

// Where the current references come from (a consumer's, which changes as ports connect).
// Each returns a borrowed reference, nil when not connected.
struct CellReferences {
  std::function<BriskoRTC::BriskoService_ptr()> brisko;
  std::function<MotionCommands_ptr()> motion;
  std::function<HiroNX_ptr()> hiroNx;
  std::function<LumerisRTC::LumerisService_ptr()> estimator;
};

class CorbaCellLinks : public CellLinks {
 public:
  CorbaCellLinks(CellReferences references, Console& console)
      : references_(std::move(references)), console_(console) {}

  IkStatus isSolutionFound(Arm arm, const HandPose& pose, double chest_rad) override;
  IkStatus solve(Arm arm, const HandPose& pose, double chest_rad, JointAngles& solution) override;

  bool motionConnected() override;
  bool hiroNxConnected() override;
  bool briskoConnected() override;
  bool estimatorConnected() override;

  CallStatus moveJoints(const Trajectory& trajectory, long& id) override;
  CallStatus engageProtectiveStop() override;
  CallStatus disengageProtectiveStop() override;
  CallStatus estimateObject(const HandPose& world, ObjectEstimate& estimate) override;

 private:
  void reportFailure(const char* call, const CORBA::Exception& failure);

  CellReferences references_;
  Console& console_;
};

RTC::Pose3D toPose3D(const HandPose& pose);
HandPose toHandPose(const RTC::Pose3D& pose);
JointAngles toJointAngles(const BriskoRTC::BriskoService::JointAngles& angles);

}  // namespace pickplace
