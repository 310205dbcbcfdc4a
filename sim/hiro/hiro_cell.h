#pragma once
// The simulated HIRO work cell: the robot's 23 joints with their hardware limits, servo
// state per joint group and one protective stop, its motion queues (sequence player, one
// arm control per arm, the grasper's two hands), the objects and the tray, and the object
// estimator. Every service of the simulated controller is a call here.
//
// Threads: calls arrive on any thread; all state is guarded by one mutex. Time advances
// only through step(), called by the driver thread (or by a test). Blocking calls wait on
// a condition that step(), a halt and shutdown() signal, so they end when the motion ends,
// when a protective stop or a servo switch halts it, or when the cell shuts down.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "arm_kinematics.h"
#include "cell_world.h"
#include "joint_layout.h"
#include "motion_channel.h"
#include "object_estimator.h"
#include "scene.h"

namespace hirosim {

// Why a command was refused or ended early. Ok is 0; every other value is non-zero.
enum class OutcomeCode : long {
  Ok = 0,
  InvalidArgument = 1,
  OutsideLimits = 2,
  ServoOff = 3,
  ProtectiveStop = 4,
  Halted = 5,
  Unreachable = 6,
  ShuttingDown = 7,
  Unsupported = 8,
};

struct Outcome {
  OutcomeCode code = OutcomeCode::Ok;
  std::string reason;  // empty when Ok
  bool ok() const { return code == OutcomeCode::Ok; }
};

// The motion queues of the controller.
enum class Channel { Sequence = 0, RightArm, LeftArm, RightHand, LeftHand };

struct MotionTicket {
  Channel channel = Channel::Sequence;
  std::uint64_t ticket = 0;
};

// What a picture of the cell needs, all taken at one instant.
struct CellView {
  double time_s = 0.0;
  std::vector<ObjectPlace> objects;
  TrayPlace tray;
  std::array<HandTips, 2> hands;  // indexed by Side
};

class HiroCell {
 public:
  static constexpr double kControlPeriod_s = 0.005;
  static constexpr int kTrajectoryPointSize = 24;  // 23 joints in degrees, one unused

  using LineSink = std::function<void(const std::string&)>;

  // events: one line per grasp, release or tray event; refusals: one line per refused or
  // halted command, saying why.
  HiroCell(const Scene& scene, std::shared_ptr<const ArmKinematics> kinematics,
           const JointVector& initialJoints_rad, LineSink events, LineSink refusals);

  HiroCell(const HiroCell&) = delete;
  HiroCell& operator=(const HiroCell&) = delete;

  // Advances the simulation by `count` control steps.
  void step(long count);
  double simulatedTime_s() const;

  // Robot hardware.
  JointVector joints() const;
  bool servoOn(JointGroup group) const;
  Outcome switchServo(std::string_view servoName, bool on);
  Outcome switchServos(const std::vector<JointGroup>& groups, bool on);
  void engageProtectiveStop();
  void disengageProtectiveStop();
  bool protectiveStopEngaged() const;

  // Sequence player: five groups, an empty group keeps its joints.
  Outcome setJointAngles(const std::vector<std::vector<double>>& groups_rad, double time_s);

  // True when the queue(s) are idle. waitIdle blocks until they are, or the cell shuts
  // down (then false).
  bool idle(const std::vector<Channel>& channels) const;
  // Drops what the queue still holds; the joints stop where they are.
  void clearQueue(Channel c);
  bool waitIdle(const std::vector<Channel>& channels);

  // Arm control: the hand to a pose in the robot frame, solved with the arm model.
  Outcome setHandTarget(Side side, const geometry::Pose6& target, double time_s);
  bool armBusy(Side side) const;
  geometry::Pose6 handPose(Side side) const;

  // Grasper: "RHAND" or "LHAND", four finger angles.
  Outcome setFingerAngles(std::string_view handName, const std::vector<double>& angles_rad,
                          double time_s);

  // Point-to-point trajectory: 24-element points in degrees (element 23 unused), one
  // duration per point. start queues it (or refuses it and moves nothing); await blocks
  // until it has ended, been halted, or the cell shuts down.
  struct TrajectoryStart {
    Outcome outcome;
    MotionTicket last;
  };
  TrajectoryStart startTrajectory(const std::vector<std::vector<double>>& points_deg,
                                  const std::vector<double>& times_s);
  Outcome awaitMotion(const MotionTicket& ticket);
  Outcome runTrajectory(const std::vector<std::vector<double>>& points_deg,
                        const std::vector<double>& times_s);

  // Object pose estimation.
  std::optional<ObjectEstimate> estimateNextObject(const geometry::Pose6& worldInRobot);

  std::vector<ObjectPlace> objectPlaces() const;
  TrayPlace trayPlace() const;
  CellView cellView() const;
  // The scene the cell started from (the table, the tray's shape, its slots and put-down place).
  const Scene& scene() const { return scene_; }

  // Ends every blocking call and refuses further motion.
  void shutdown();

 private:
  using Lock = std::unique_lock<std::mutex>;

  MotionChannel& channel(Channel c) { return channels_[static_cast<int>(c)]; }
  const MotionChannel& channel(Channel c) const { return channels_[static_cast<int>(c)]; }
  Outcome refuse(const char* operation, OutcomeCode code, const std::string& reason) const;
  // Common refusals of every motion command; nothing when it may move `mask`.
  std::optional<Outcome> motionBlocked(const char* operation, const JointMask& mask) const;
  void haltAll(const std::string& reason);
  std::array<HandState, 2> handStates() const;

  const Scene scene_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::shared_ptr<const ArmKinematics> kinematics_;
  LineSink events_;
  LineSink refusals_;
  JointVector joints_;
  std::array<bool, kGroupCount> servo_{};
  bool protectiveStop_ = false;
  bool shutDown_ = false;
  std::string haltReason_;
  long stepsTaken_ = 0;
  std::array<MotionChannel, 5> channels_;
  CellWorld world_;
  ObjectEstimator estimator_;
};

}  // namespace hirosim
