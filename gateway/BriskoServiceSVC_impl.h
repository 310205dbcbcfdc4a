#pragma once

#include <array>
#include <functional>
#include <vector>

#include <rtm/CorbaConsumer.h>
#include <BriskoRTC.hh>
#include <OpenHRP.hh>

#include "gateway/geometry/pose6.h"
#include "gateway/ik/arm_ik_solve.h"
#include "gateway/motion/motion_wait_gate.h"

// Servant of BriskoService: every operation reads the consumer it needs (nil = not connected),
// acts on the robot controller's OpenHRP service, and on request waits for the motion to end.
// A wait asks the controller every 50 ms and gives way when the component is deactivated
// (releaseWaits) or exits (endWaits): the call then answers kWaitGivenUp, so that no call
// keeps the component from deactivating or its process from ending. Apart from that gate it
// keeps no mutable state, so ORB threads and the component's panel use it concurrently without
// a lock; IK wrappers live on the stack of each call. ORB system exceptions of the controller
// calls travel back to the caller.
class BriskoServiceSVC_impl : public virtual POA_BriskoRTC::BriskoService,
                              public virtual PortableServer::RefCountServantBase {
 public:
  using JointAngles = BriskoRTC::BriskoService::JointAngles;
  using JointAngles_var = BriskoRTC::BriskoService::JointAngles_var;
  using JointAngles_out = BriskoRTC::BriskoService::JointAngles_out;
  using FingerAngles = BriskoRTC::BriskoService::FingerAngles;

  static constexpr CORBA::Long kNotConnected = -2147483647 - 1;
  static constexpr CORBA::Long kFingerOpeningOutOfRange = -2;
  static constexpr CORBA::Long kFingerOpeningsOutOfRange = -100;
  static constexpr CORBA::Long kNoSolutionLeft = -1;
  static constexpr CORBA::Long kNoSolutionRight = -2;
  static constexpr CORBA::Long kNoSolutionEither = -3;
  static constexpr CORBA::Long kSpeedFactorRefused = -4;
  static constexpr CORBA::Long kRobotHardwareMissing = -1;
  static constexpr CORBA::Long kRefusedByController = -2;
  // A waiting call gave way before the motion ended; the robot may still be moving.
  static constexpr CORBA::Long kWaitGivenUp = -5;

  // Wrapper of one arm's solver: solve a chest-frame pose, then fill the arm's group of the
  // joint vector with the first admissible solution.
  class IKBase {
   public:
    virtual ~IKBase() = default;
    // Copies the chosen solution into the arm's group of jointAngles().
    virtual void fill() = 0;
    // Number of admissible solutions for the pose (chest frame); 0 when none.
    virtual int solve(const geometry::Pose6& pose_chest) = 0;
    // The two-arm motion's code when this arm has no solution.
    virtual CORBA::Long failureCode() const = 0;

    const JointAngles& jointAngles() const { return jointAngles_; }

   protected:
    // Five groups, only armGroup sized (6).
    explicit IKBase(int armGroup);
    int solveWith(const ArmIkCalls& arm, const geometry::Pose6& pose_chest);
    void fillGroup(int armGroup);

    ikfast::IKSolutionList solutions_;
    std::array<double, hiro::kArmJointCount> chosen_rad_{};
    std::vector<int> admissible_;
    JointAngles jointAngles_;
  };

  class IKL : public IKBase {
   public:
    IKL();
    void fill() override;
    int solve(const geometry::Pose6& pose_chest) override;
    CORBA::Long failureCode() const override { return kNoSolutionLeft; }
  };

  class IKR : public IKBase {
   public:
    IKR();
    void fill() override;
    int solve(const geometry::Pose6& pose_chest) override;
    CORBA::Long failureCode() const override { return kNoSolutionRight; }
  };

  // Ends the process (status 1, after a key) when an IK library does not solve six joints.
  BriskoServiceSVC_impl(RTC::CorbaConsumer<OpenHRP::RobotHardwareService>& robotHardware,
                        RTC::CorbaConsumer<OpenHRP::SequencePlayerService>& sequencePlayer,
                        RTC::CorbaConsumer<OpenHRP::ArmControlService>& armControlL,
                        RTC::CorbaConsumer<OpenHRP::ArmControlService>& armControlR,
                        RTC::CorbaConsumer<OpenHRP::GrasperService>& grasper);
  BriskoServiceSVC_impl(const BriskoServiceSVC_impl&) = delete;
  BriskoServiceSVC_impl& operator=(const BriskoServiceSVC_impl&) = delete;

  CORBA::Long getHandPoseL(RTC::Pose3D& pose) override;
  CORBA::Long getHandPoseR(RTC::Pose3D& pose) override;
  CORBA::Long getJointAngles(JointAngles_out angles) override;
  CORBA::Long setHandPoseL(const RTC::Pose3D& pose, CORBA::Double time_s,
                           CORBA::Boolean wait) override;
  CORBA::Long setHandPoseR(const RTC::Pose3D& pose, CORBA::Double time_s,
                           CORBA::Boolean wait) override;
  CORBA::Long setJointAngles(const JointAngles& angles, CORBA::Double time_s,
                             CORBA::Boolean wait) override;
  CORBA::Long setFingerDistanceL(CORBA::Double distance_mm, CORBA::Double time_s,
                                 CORBA::Boolean wait) override;
  CORBA::Long setFingerDistanceR(CORBA::Double distance_mm, CORBA::Double time_s,
                                 CORBA::Boolean wait) override;
  CORBA::Long setFingerAnglesL(const FingerAngles& angles, CORBA::Double time_s,
                               CORBA::Boolean wait) override;
  CORBA::Long setFingerAnglesR(const FingerAngles& angles, CORBA::Double time_s,
                               CORBA::Boolean wait) override;
  CORBA::Boolean isHandMovingL() override;
  CORBA::Boolean isHandMovingR() override;
  CORBA::Boolean isJointMoving() override;
  CORBA::Boolean isFingerMovingL() override;
  CORBA::Boolean isFingerMovingR() override;
  // Refuses a speed factor that is not positive and finite with kSpeedFactorRefused, and a
  // missing robot hardware with kNotConnected; neither moves anything.
  CORBA::Long setHandPoseLR(const RTC::Pose3D& poseL, const RTC::Pose3D& poseR,
                            CORBA::Double speedFactor, CORBA::Boolean wait) override;
  CORBA::Long setFingerDistanceLR(CORBA::Double distanceL_mm, CORBA::Double distanceR_mm,
                                  CORBA::Double time_s, CORBA::Boolean wait) override;
  CORBA::Long engageProtectiveStop() override;
  CORBA::Long disengageProtectiveStop() override;
  CORBA::Long turnServo(CORBA::Boolean body, CORBA::Boolean armL, CORBA::Boolean armR,
                        CORBA::Boolean handL, CORBA::Boolean handR) override;
  CORBA::Long setPose(CORBA::Long number, CORBA::Double time_s, CORBA::Boolean wait) override;
  CORBA::Boolean getIKSolutionL(const RTC::Pose3D& pose, CORBA::Double waistYaw_rad,
                                JointAngles_out solution) override;
  CORBA::Boolean getIKSolutionR(const RTC::Pose3D& pose, CORBA::Double waistYaw_rad,
                                JointAngles_out solution) override;
  CORBA::Boolean isIKSolutionFoundL(const RTC::Pose3D& pose, CORBA::Double waistYaw_rad) override;
  CORBA::Boolean isIKSolutionFoundR(const RTC::Pose3D& pose, CORBA::Double waistYaw_rad) override;

  // The waits in progress give way (the component is being deactivated); later calls wait as
  // before.
  void releaseWaits();
  // Every wait gives way, now and later (the component exits or the process shuts down).
  void endWaits();

 private:
  CORBA::Long getHandPose(OpenHRP::ArmControlService_ptr arm, RTC::Pose3D& pose);
  CORBA::Long setHandPose(OpenHRP::ArmControlService_ptr arm, const RTC::Pose3D& pose,
                          CORBA::Double time_s, CORBA::Boolean wait);
  CORBA::Long setFingerAngles(const char* hand, const FingerAngles& angles, CORBA::Double time_s,
                              CORBA::Boolean wait);
  CORBA::Long setFingerDistance(const char* hand, CORBA::Double distance_mm, CORBA::Double time_s,
                                CORBA::Boolean wait);
  CORBA::Boolean isHandMoving(OpenHRP::ArmControlService_ptr arm);
  CORBA::Boolean isFingerMoving();
  // Asks stillMoving every 50 ms until it answers false. False, after one line on standard
  // error, when the wait gave way first.
  bool waitForMotionEnd(const std::function<bool()>& stillMoving);
  // Waist compensation and solve; prints the highlighted message when there is no solution.
  bool solveQuery(IKBase& ik, const RTC::Pose3D& pose_base, CORBA::Double waistYaw_rad);
  CORBA::Boolean getIKSolution(IKBase& ik, const RTC::Pose3D& pose_base, CORBA::Double waistYaw_rad,
                               JointAngles_out solution);

  RTC::CorbaConsumer<OpenHRP::RobotHardwareService>& robotHardware_;
  RTC::CorbaConsumer<OpenHRP::SequencePlayerService>& sequencePlayer_;
  RTC::CorbaConsumer<OpenHRP::ArmControlService>& armControlL_;
  RTC::CorbaConsumer<OpenHRP::ArmControlService>& armControlR_;
  RTC::CorbaConsumer<OpenHRP::GrasperService>& grasper_;
  MotionWaitGate waitGate_;
};
