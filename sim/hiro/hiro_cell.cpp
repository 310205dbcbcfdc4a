#include "hiro_cell.h"

#include <cmath>
#include <cstdio>

#include "finger_geometry.h"
#include "hardware_limits.h"

namespace hirosim {
namespace {

constexpr double kRadPerDeg = M_PI / 180.0;
constexpr double kDegPerRad = 180.0 / M_PI;

Channel armChannel(Side side) { return side == Side::Left ? Channel::LeftArm : Channel::RightArm; }
Channel handChannel(Side side) {
  return side == Side::Left ? Channel::LeftHand : Channel::RightHand;
}

std::string limitsText(int joint, double value_rad) {
  const JointRange range = hardwareJointLimits()[joint];
  char text[160];
  std::snprintf(text, sizeof text, "%s at %.1f deg is outside %.1f..%.1f deg",
                jointLabel(joint).c_str(), value_rad * kDegPerRad, range.min_rad * kDegPerRad,
                range.max_rad * kDegPerRad);
  return text;
}

bool validDuration(double time_s) { return std::isfinite(time_s) && time_s >= 0.0; }

std::string durationProblem(double time_s) {
  return std::isfinite(time_s) ? "motion time " + std::to_string(time_s) + " s is negative"
                               : std::string("motion time is not a finite number");
}

}  // namespace

HiroCell::HiroCell(const Scene& scene, std::shared_ptr<const ArmKinematics> kinematics,
                   const JointVector& initialJoints_rad, LineSink events, LineSink refusals)
    : scene_(scene),
      kinematics_(std::move(kinematics)),
      events_(std::move(events)),
      refusals_(std::move(refusals)),
      joints_(initialJoints_rad),
      world_(scene, kinematics_->handAxes()),
      estimator_(scene.noise) {
  // The simulated robot starts set up: servos on, protective stop released.
  servo_.fill(true);
  world_.update(handStates());
}

Outcome HiroCell::refuse(const char* operation, OutcomeCode code, const std::string& reason) const {
  if (refusals_) refusals_(std::string(operation) + " refused: " + reason);
  return Outcome{code, reason};
}

std::optional<Outcome> HiroCell::motionBlocked(const char* operation, const JointMask& mask) const {
  if (shutDown_)
    return refuse(operation, OutcomeCode::ShuttingDown, "the simulator is shutting down");
  if (protectiveStop_) {
    return refuse(operation, OutcomeCode::ProtectiveStop,
                  "the protective stop is engaged; disengage it first");
  }
  for (int g = 0; g < kGroupCount; ++g) {
    const JointGroup group = static_cast<JointGroup>(g);
    if (!servo_[g] && (mask & groupMask(group)).any()) {
      return refuse(operation, OutcomeCode::ServoOff,
                    std::string("the servo of ") + servoName(group) + " is off");
    }
  }
  return std::nullopt;
}

void HiroCell::haltAll(const std::string& reason) {
  bool moving = false;
  for (MotionChannel& c : channels_) {
    moving = moving || !c.empty();
    c.clear();
  }
  if (moving) haltReason_ = reason;
  changed_.notify_all();
}

std::array<HandState, 2> HiroCell::handStates() const {
  std::array<HandState, 2> hands;
  for (int s = 0; s < 2; ++s) {
    const Side side = static_cast<Side>(s);
    const GroupSpan fingers = groupSpan(handGroup(side));
    FingerAngles angles{};
    for (int k = 0; k < kFingerJointCount; ++k) angles[k] = joints_[fingers.offset + k];
    hands[s].pose = kinematics_->handPose(side, armJoints(joints_, side), joints_[kChestYawIndex]);
    hands[s].opening_m = fingerOpening_m(angles);
    hands[s].fingertipDepth_m = fingertipDepth_m(angles);
  }
  return hands;
}

void HiroCell::step(long count) {
  std::vector<std::string> lines;
  {
    Lock lock(mutex_);
    for (long i = 0; i < count; ++i) {
      for (MotionChannel& c : channels_) c.advance(kControlPeriod_s, joints_);
      ++stepsTaken_;
      for (std::string& line : world_.update(handStates())) lines.push_back(std::move(line));
    }
  }
  changed_.notify_all();
  if (events_) {
    for (const std::string& line : lines) events_(line);
  }
}

double HiroCell::simulatedTime_s() const {
  Lock lock(mutex_);
  return stepsTaken_ * kControlPeriod_s;
}

JointVector HiroCell::joints() const {
  Lock lock(mutex_);
  return joints_;
}

bool HiroCell::servoOn(JointGroup group) const {
  Lock lock(mutex_);
  return servo_[static_cast<int>(group)];
}

Outcome HiroCell::switchServo(std::string_view name, bool on) {
  const std::optional<JointGroup> group = groupFromServoName(name);
  if (!group) {
    return refuse(
        "servo", OutcomeCode::InvalidArgument,
        "unknown joint group \"" + std::string(name) + "\" (BODY, RARM, LARM, RHAND or LHAND)");
  }
  return switchServos({*group}, on);
}

Outcome HiroCell::switchServos(const std::vector<JointGroup>& groups, bool on) {
  Lock lock(mutex_);
  if (shutDown_)
    return refuse("servo", OutcomeCode::ShuttingDown, "the simulator is shutting down");
  for (JointGroup group : groups) {
    const int g = static_cast<int>(group);
    if (servo_[g] == on) continue;
    servo_[g] = on;
    // A servo switched off lets go of its joints: every running motion stops there.
    if (!on) haltAll(std::string("the servo of ") + servoName(group) + " was switched off");
  }
  return {};
}

void HiroCell::engageProtectiveStop() {
  Lock lock(mutex_);
  protectiveStop_ = true;
  haltAll("the protective stop was engaged");
}

void HiroCell::disengageProtectiveStop() {
  Lock lock(mutex_);
  protectiveStop_ = false;
}

bool HiroCell::protectiveStopEngaged() const {
  Lock lock(mutex_);
  return protectiveStop_;
}

Outcome HiroCell::setJointAngles(const std::vector<std::vector<double>>& groups_rad,
                                 double time_s) {
  static const char* kOperation = "setJointAngles";
  Lock lock(mutex_);
  if (groups_rad.size() > static_cast<std::size_t>(kGroupCount)) {
    return refuse(kOperation, OutcomeCode::InvalidArgument,
                  std::to_string(groups_rad.size()) + " joint groups, at most 5 expected");
  }
  if (!validDuration(time_s)) {
    return refuse(kOperation, OutcomeCode::InvalidArgument, durationProblem(time_s));
  }
  JointSegment segment;
  segment.target = joints_;
  segment.duration_s = time_s;
  for (std::size_t g = 0; g < groups_rad.size(); ++g) {
    const std::vector<double>& values = groups_rad[g];
    if (values.empty()) continue;
    const JointGroup group = static_cast<JointGroup>(g);
    const GroupSpan span = groupSpan(group);
    if (static_cast<int>(values.size()) != span.size) {
      return refuse(kOperation, OutcomeCode::InvalidArgument,
                    "group " + std::to_string(g) + " has " + std::to_string(values.size()) +
                        " values, " + std::to_string(span.size) + " expected (or none)");
    }
    for (int k = 0; k < span.size; ++k) {
      if (!std::isfinite(values[k])) {
        return refuse(kOperation, OutcomeCode::InvalidArgument,
                      jointLabel(span.offset + k) + " is not a finite number");
      }
      segment.target[span.offset + k] = values[k];
    }
    segment.mask |= groupMask(group);
  }
  if (const auto joint = firstJointOutsideLimits(segment.target, segment.mask)) {
    return refuse(kOperation, OutcomeCode::OutsideLimits,
                  limitsText(*joint, segment.target[*joint]));
  }
  if (auto blocked = motionBlocked(kOperation, segment.mask)) return *blocked;
  if (segment.mask.any()) channel(Channel::Sequence).push(segment);
  return {};
}

bool HiroCell::idle(const std::vector<Channel>& channels) const {
  Lock lock(mutex_);
  for (Channel c : channels) {
    if (!channel(c).empty()) return false;
  }
  return true;
}

void HiroCell::clearQueue(Channel c) {
  Lock lock(mutex_);
  if (!channel(c).empty()) haltReason_ = "the queue was cleared";
  channel(c).clear();
  changed_.notify_all();
}

bool HiroCell::waitIdle(const std::vector<Channel>& channels) {
  Lock lock(mutex_);
  changed_.wait(lock, [&] {
    if (shutDown_) return true;
    for (Channel c : channels) {
      if (!channel(c).empty()) return false;
    }
    return true;
  });
  return !shutDown_;
}

Outcome HiroCell::setHandTarget(Side side, const geometry::Pose6& target, double time_s) {
  static const char* kOperation = "setTargetAngular";
  Lock lock(mutex_);
  if (!geometry::isFinite(target)) {
    return refuse(kOperation, OutcomeCode::InvalidArgument, "the pose holds a non-finite value");
  }
  if (!validDuration(time_s)) {
    return refuse(kOperation, OutcomeCode::InvalidArgument, durationProblem(time_s));
  }
  const JointGroup group = armGroup(side);
  if (auto blocked = motionBlocked(kOperation, groupMask(group))) return *blocked;
  const std::optional<ArmJoints> solution =
      kinematics_->solve(side, target, joints_[kChestYawIndex], armJoints(joints_, side));
  if (!solution) {
    return refuse(kOperation, OutcomeCode::Unreachable,
                  std::string("the ") + sideName(side) + " arm cannot reach the pose");
  }
  JointSegment segment;
  segment.target = joints_;
  segment.mask = groupMask(group);
  segment.duration_s = time_s;
  const GroupSpan span = groupSpan(group);
  for (int k = 0; k < kArmJointCount; ++k) segment.target[span.offset + k] = (*solution)[k];
  if (const auto joint = firstJointOutsideLimits(segment.target, segment.mask)) {
    return refuse(kOperation, OutcomeCode::OutsideLimits,
                  limitsText(*joint, segment.target[*joint]));
  }
  channel(armChannel(side)).push(segment);
  return {};
}

bool HiroCell::armBusy(Side side) const {
  Lock lock(mutex_);
  return !channel(armChannel(side)).empty() ||
         (channel(Channel::Sequence).activeMask() & groupMask(armGroup(side))).any();
}

geometry::Pose6 HiroCell::handPose(Side side) const {
  Lock lock(mutex_);
  return geometry::poseFromFrame(
      kinematics_->handPose(side, armJoints(joints_, side), joints_[kChestYawIndex]));
}

Outcome HiroCell::setFingerAngles(std::string_view handName, const std::vector<double>& angles,
                                  double time_s) {
  static const char* kOperation = "GrasperService::setJointAngles";
  Lock lock(mutex_);
  const std::optional<Side> side = sideFromHandName(handName);
  if (!side) {
    return refuse(kOperation, OutcomeCode::InvalidArgument,
                  "unknown hand \"" + std::string(handName) + "\" (RHAND or LHAND)");
  }
  if (angles.size() != static_cast<std::size_t>(kFingerJointCount)) {
    return refuse(kOperation, OutcomeCode::InvalidArgument,
                  std::to_string(angles.size()) + " finger angles, 4 expected");
  }
  if (!validDuration(time_s)) {
    return refuse(kOperation, OutcomeCode::InvalidArgument, durationProblem(time_s));
  }
  const JointGroup group = handGroup(*side);
  const GroupSpan span = groupSpan(group);
  JointSegment segment;
  segment.target = joints_;
  segment.mask = groupMask(group);
  segment.duration_s = time_s;
  for (int k = 0; k < kFingerJointCount; ++k) {
    if (!std::isfinite(angles[k])) {
      return refuse(kOperation, OutcomeCode::InvalidArgument,
                    jointLabel(span.offset + k) + " is not a finite number");
    }
    segment.target[span.offset + k] = angles[k];
  }
  if (const auto joint = firstJointOutsideLimits(segment.target, segment.mask)) {
    return refuse(kOperation, OutcomeCode::OutsideLimits,
                  limitsText(*joint, segment.target[*joint]));
  }
  if (auto blocked = motionBlocked(kOperation, segment.mask)) return *blocked;
  channel(handChannel(*side)).push(segment);
  return {};
}

HiroCell::TrajectoryStart HiroCell::startTrajectory(
    const std::vector<std::vector<double>>& points_deg, const std::vector<double>& times_s) {
  static const char* kOperation = "movePTPJointAbsSeq";
  Lock lock(mutex_);
  if (points_deg.size() != times_s.size()) {
    return {refuse(kOperation, OutcomeCode::InvalidArgument,
                   std::to_string(points_deg.size()) + " points but " +
                       std::to_string(times_s.size()) + " times"),
            {}};
  }
  std::vector<JointSegment> segments;
  JointMask all;
  all.set();
  for (std::size_t i = 0; i < points_deg.size(); ++i) {
    const std::string point = "point " + std::to_string(i);
    const std::vector<double>& values = points_deg[i];
    if (values.size() != static_cast<std::size_t>(kTrajectoryPointSize)) {
      return {refuse(kOperation, OutcomeCode::InvalidArgument,
                     point + " has " + std::to_string(values.size()) + " elements, " +
                         std::to_string(kTrajectoryPointSize) + " expected"),
              {}};
    }
    if (!validDuration(times_s[i])) {
      return {refuse(kOperation, OutcomeCode::InvalidArgument,
                     point + ": " + durationProblem(times_s[i])),
              {}};
    }
    JointSegment segment;
    segment.mask = all;
    segment.duration_s = times_s[i];
    for (int k = 0; k < kJointCount; ++k) {
      if (!std::isfinite(values[k])) {
        return {refuse(kOperation, OutcomeCode::InvalidArgument,
                       point + ": " + jointLabel(k) + " is not a finite number"),
                {}};
      }
      segment.target[k] = values[k] * kRadPerDeg;
    }
    if (const auto joint = firstJointOutsideLimits(segment.target, all)) {
      return {refuse(kOperation, OutcomeCode::OutsideLimits,
                     point + ": " + limitsText(*joint, segment.target[*joint])),
              {}};
    }
    segments.push_back(segment);
  }
  if (auto blocked = motionBlocked(kOperation, all)) return {*blocked, {}};
  MotionTicket last{Channel::Sequence, 0};
  for (const JointSegment& segment : segments)
    last.ticket = channel(Channel::Sequence).push(segment);
  return {{}, last};
}

Outcome HiroCell::awaitMotion(const MotionTicket& ticket) {
  Lock lock(mutex_);
  if (ticket.ticket == 0) return {};
  const MotionChannel& c = channel(ticket.channel);
  changed_.wait(lock,
                [&] { return shutDown_ || c.ticketState(ticket.ticket) != TicketState::Pending; });
  switch (c.ticketState(ticket.ticket)) {
    case TicketState::Completed:
      return {};
    case TicketState::Dropped:
      return {OutcomeCode::Halted, "motion halted: " + haltReason_};
    case TicketState::Pending:
      break;
  }
  return {OutcomeCode::ShuttingDown, "motion abandoned: the simulator is shutting down"};
}

Outcome HiroCell::runTrajectory(const std::vector<std::vector<double>>& points_deg,
                                const std::vector<double>& times_s) {
  const TrajectoryStart start = startTrajectory(points_deg, times_s);
  if (!start.outcome.ok()) return start.outcome;
  const Outcome ended = awaitMotion(start.last);
  if (!ended.ok() && refusals_) refusals_(std::string("movePTPJointAbsSeq: ") + ended.reason);
  return ended;
}

std::optional<ObjectEstimate> HiroCell::estimateNextObject(const geometry::Pose6& worldInRobot) {
  Lock lock(mutex_);
  if (!geometry::isFinite(worldInRobot)) {
    refuse("getLastEstimatedResult", OutcomeCode::InvalidArgument,
           "the world pose holds a non-finite value");
    return std::nullopt;
  }
  return estimator_.estimate(world_.objectPlaces(), worldInRobot);
}

std::vector<ObjectPlace> HiroCell::objectPlaces() const {
  Lock lock(mutex_);
  return world_.objectPlaces();
}

TrayPlace HiroCell::trayPlace() const {
  Lock lock(mutex_);
  return world_.trayPlace();
}

CellView HiroCell::cellView() const {
  Lock lock(mutex_);
  CellView view;
  view.time_s = stepsTaken_ * kControlPeriod_s;
  view.objects = world_.objectPlaces();
  view.tray = world_.trayPlace();
  const std::array<HandState, 2> hands = handStates();
  for (std::size_t s = 0; s < hands.size(); ++s) view.hands[s] = world_.handTips(hands[s]);
  return view;
}

void HiroCell::shutdown() {
  {
    Lock lock(mutex_);
    shutDown_ = true;
  }
  changed_.notify_all();
}

}  // namespace hirosim
