#pragma once
// The operation nodes a manipulation plan is made of: hand poses, finger openings or angles,
// joint poses and pauses. The conversion turns a list of them into one joint trajectory.

#include <memory>
#include <string>
#include <vector>

#include "hand_pose.h"
#include "joint_angles.h"

namespace pickplace {

class HandOperation;
class HandLROperation;
class FingerAngleOperation;
class FingerAngleLROperation;
class FingerDistanceOperation;
class FingerDistanceLROperation;
class JointOperation;
class SleepOperation;

// Receives a node by its concrete type.
class OperationVisitor {
 public:
  virtual ~OperationVisitor() = default;
  virtual void visit(const HandOperation& node) = 0;
  virtual void visit(const HandLROperation& node) = 0;
  virtual void visit(const FingerAngleOperation& node) = 0;
  virtual void visit(const FingerAngleLROperation& node) = 0;
  virtual void visit(const FingerDistanceOperation& node) = 0;
  virtual void visit(const FingerDistanceLROperation& node) = 0;
  virtual void visit(const JointOperation& node) = 0;
  virtual void visit(const SleepOperation& node) = 0;
};

class OperationNode {
 public:
  // Every node the planners make waits for its motion to end.
  explicit OperationNode(bool wait = true) : wait_(wait) {}
  virtual ~OperationNode() = default;
  OperationNode(const OperationNode&) = delete;
  OperationNode& operator=(const OperationNode&) = delete;

  bool wait() const { return wait_; }
  // The node's console description: one line, two for a two-hand move.
  virtual std::string print() const = 0;
  virtual void accept(OperationVisitor& visitor) const = 0;

 private:
  bool wait_;
};

// An owned, ordered plan.
using OperationList = std::vector<std::unique_ptr<OperationNode>>;

class HandOperation : public OperationNode {
 public:
  HandOperation(Arm arm, const HandPose& pose, double speed) : arm(arm), pose(pose), speed(speed) {}
  std::string print() const override;
  void accept(OperationVisitor& visitor) const override { visitor.visit(*this); }

  const Arm arm;
  const HandPose pose;
  const double speed;
};

class HandLROperation : public OperationNode {
 public:
  HandLROperation(const HandPose& left, const HandPose& right, double speed)
      : left(left), right(right), speed(speed) {}
  std::string print() const override;
  void accept(OperationVisitor& visitor) const override { visitor.visit(*this); }

  const HandPose left;
  const HandPose right;
  const double speed;
};

class FingerAngleOperation : public OperationNode {
 public:
  FingerAngleOperation(Arm arm, const FingerAngles& angles_rad, double time_s)
      : arm(arm), angles_rad(angles_rad), time_s(time_s) {}
  std::string print() const override;
  void accept(OperationVisitor& visitor) const override { visitor.visit(*this); }

  const Arm arm;
  const FingerAngles angles_rad;
  const double time_s;
};

class FingerAngleLROperation : public OperationNode {
 public:
  FingerAngleLROperation(const FingerAngles& left_rad, const FingerAngles& right_rad, double time_s)
      : left_rad(left_rad), right_rad(right_rad), time_s(time_s) {}
  std::string print() const override;
  void accept(OperationVisitor& visitor) const override { visitor.visit(*this); }

  const FingerAngles left_rad;
  const FingerAngles right_rad;
  const double time_s;
};

class FingerDistanceOperation : public OperationNode {
 public:
  FingerDistanceOperation(Arm arm, double opening_mm, double time_s)
      : arm(arm), opening_mm(opening_mm), time_s(time_s) {}
  std::string print() const override;
  void accept(OperationVisitor& visitor) const override { visitor.visit(*this); }

  const Arm arm;
  const double opening_mm;
  const double time_s;
};

class FingerDistanceLROperation : public OperationNode {
 public:
  FingerDistanceLROperation(double left_mm, double right_mm, double time_s)
      : left_mm(left_mm), right_mm(right_mm), time_s(time_s) {}
  std::string print() const override;
  void accept(OperationVisitor& visitor) const override { visitor.visit(*this); }

  const double left_mm;
  const double right_mm;
  const double time_s;
};

class JointOperation : public OperationNode {
 public:
  JointOperation(const JointAngles& pose_rad, double time_s) : pose_rad(pose_rad), time_s(time_s) {}
  std::string print() const override;
  void accept(OperationVisitor& visitor) const override { visitor.visit(*this); }

  const JointAngles pose_rad;
  const double time_s;
};

class SleepOperation : public OperationNode {
 public:
  explicit SleepOperation(double seconds) : OperationNode(true), seconds(seconds) {}
  std::string print() const override;
  void accept(OperationVisitor& visitor) const override { visitor.visit(*this); }

  const double seconds;
};

}  // namespace pickplace
