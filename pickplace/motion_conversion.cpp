#include "motion_conversion.h"

#include <algorithm>
#include <optional>

#include "finger_geometry.h"
#include "planning_geometry.h"

namespace pickplace {
namespace {

// Until the first node sets it.
constexpr double kDefaultPointTime_s = 5.0;

std::size_t handGroup(Arm arm) { return arm == Arm::left ? kLeftHand : kRightHand; }
std::size_t armGroup(Arm arm) { return arm == Arm::left ? kLeftArm : kRightArm; }

// Walks the nodes, keeping the working pose and the time of the current point.
class Converter : public OperationVisitor {
 public:
  Converter(const JointAngles& start, ArmIk& ik, Console& console)
      : pose_(fullWorkingPose(start)), ik_(ik), console_(console) {}

  // The failure that ended the walk, if any.
  std::optional<TaskFailure>& failure() { return failure_; }
  const JointAngles& pose() const { return pose_; }
  double time_s() const { return time_s_; }
  void setIndex(unsigned index) { index_ = index; }

  void visit(const JointOperation& node) override {
    console_.print(node.print());
    copyGivenGroups(node.pose_rad, pose_);
    time_s_ = node.time_s;
  }

  void visit(const FingerAngleOperation& node) override {
    console_.print(node.print());
    setHand(node.arm, node.angles_rad);
    time_s_ = node.time_s;
  }

  void visit(const FingerAngleLROperation& node) override {
    console_.print(node.print());
    setHand(Arm::left, node.left_rad);
    setHand(Arm::right, node.right_rad);
    time_s_ = node.time_s;
  }

  void visit(const FingerDistanceOperation& node) override {
    console_.print(node.print());
    const auto angles = openingAngles(node.opening_mm);
    if (angles) {
      setHand(node.arm, *angles);
    }
    time_s_ = node.time_s;
  }

  void visit(const FingerDistanceLROperation& node) override {
    console_.print(node.print());
    const auto left = openingAngles(node.left_mm);
    const auto right = left ? openingAngles(node.right_mm) : std::nullopt;
    if (left && right) {
      setHand(Arm::left, *left);
      setHand(Arm::right, *right);
    }
    time_s_ = node.time_s;
  }

  void visit(const HandOperation& node) override {
    console_.print(node.print());
    JointAngles solution;
    if (!solve(node.arm, node.pose, solution)) {
      return;
    }
    time_s_ = segmentTime_s(node.arm, pose_, solution, node.speed);
    copyGivenGroups(solution, pose_);
  }

  void visit(const HandLROperation& node) override {
    console_.print(node.print());
    JointAngles left;
    JointAngles right;
    if (!solve(Arm::left, node.left, left) || !solve(Arm::right, node.right, right)) {
      return;
    }
    const double left_s = segmentTime_s(Arm::left, pose_, left, node.speed);
    const double right_s = segmentTime_s(Arm::right, pose_, right, node.speed);
    copyGivenGroups(left, pose_);
    copyGivenGroups(right, pose_);
    time_s_ = std::max(left_s, right_s);
  }

  void visit(const SleepOperation& node) override {
    console_.print(node.print());
    time_s_ = node.seconds;
  }

 private:
  void setHand(Arm arm, const FingerAngles& angles_rad) {
    pose_[handGroup(arm)].assign(angles_rad.begin(), angles_rad.end());
  }

  std::optional<FingerAngles> openingAngles(double opening_mm) {
    auto angles = fingerAnglesFor(opening_mm, 0.0);
    if (!angles) {
      failure_.emplace(FailureCause::fingerOutOfRange,
                       formatText("nxutil::Hiro2HiroNX(): node %u: finger opening %.1f[mm] out of "
                                  "range.",
                                  index_, opening_mm));
    }
    return angles;
  }

  // The IK solution with the arm's group at full size, or false with the failure kept.
  bool solve(Arm arm, const HandPose& target, JointAngles& solution) {
    const IkStatus status = ik_.solve(arm, target, pose_[kBodyHead][0], solution);
    if (status == IkStatus::callFailed) {
      failure_.emplace(FailureCause::callFailed);
      return false;
    }
    const std::size_t g = armGroup(arm);
    const bool complete = solution.size() > g && solution[g].size() == kJointGroupSizes[g];
    if (status != IkStatus::found || !complete) {
      failure_.emplace(FailureCause::noIkSolution,
                       formatText("nxutil::Hiro2HiroNX(): node %u: no IK solution for hand %c.",
                                  index_, armLetter(arm)));
      return false;
    }
    return true;
  }

  JointAngles pose_;
  ArmIk& ik_;
  Console& console_;
  double time_s_ = kDefaultPointTime_s;
  unsigned index_ = 0;
  std::optional<TaskFailure> failure_;
};

}  // namespace

Result<Conversion> Hiro2HiroNX(const OperationList& list, const JointAngles& start, ArmIk& ik,
                               Console& console) {
  console.print(">> nxutil::Hiro2HiroNX()\n");
  Converter converter(start, ik, console);
  Conversion conversion;
  conversion.trajectory.points_deg.reserve(list.size());
  conversion.trajectory.times_s.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto index = static_cast<unsigned>(i);
    console.print(formatText("%u: ", index));
    converter.setIndex(index);
    list[i]->accept(converter);
    if (converter.failure()) {
      return std::move(*converter.failure());
    }
    conversion.trajectory.points_deg.push_back(controllerPointDeg(converter.pose()));
    conversion.trajectory.times_s.push_back(converter.time_s());
    console.print(formatText("second = %.3f\n", converter.time_s()));
  }
  console.print("<< nxutil::Hiro2HiroNX()\n");
  conversion.finalPose = converter.pose();
  return conversion;
}

}  // namespace pickplace
