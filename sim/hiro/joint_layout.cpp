#include "joint_layout.h"

namespace hirosim {
namespace {

constexpr std::array<GroupSpan, kGroupCount> kSpans{{{0, 3}, {3, 6}, {9, 6}, {15, 4}, {19, 4}}};
constexpr std::array<const char*, kGroupCount> kServoNames{"BODY", "RARM", "LARM", "RHAND",
                                                           "LHAND"};
constexpr std::array<const char*, kGroupCount> kGroupLabels{"body/head", "right arm", "left arm",
                                                            "right hand", "left hand"};

}  // namespace

GroupSpan groupSpan(JointGroup group) { return kSpans[static_cast<int>(group)]; }

JointMask groupMask(JointGroup group) {
  JointMask mask;
  const GroupSpan span = groupSpan(group);
  for (int i = 0; i < span.size; ++i) mask.set(span.offset + i);
  return mask;
}

JointGroup armGroup(Side side) {
  return side == Side::Left ? JointGroup::LeftArm : JointGroup::RightArm;
}

JointGroup handGroup(Side side) {
  return side == Side::Left ? JointGroup::LeftHand : JointGroup::RightHand;
}

const char* servoName(JointGroup group) { return kServoNames[static_cast<int>(group)]; }

std::optional<JointGroup> groupFromServoName(std::string_view name) {
  for (int g = 0; g < kGroupCount; ++g) {
    if (name == kServoNames[g]) return static_cast<JointGroup>(g);
  }
  return std::nullopt;
}

std::optional<Side> sideFromHandName(std::string_view name) {
  if (name == "RHAND") return Side::Right;
  if (name == "LHAND") return Side::Left;
  return std::nullopt;
}

const char* sideName(Side side) { return side == Side::Left ? "left" : "right"; }

std::string jointLabel(int index) {
  for (int g = 0; g < kGroupCount; ++g) {
    const GroupSpan span = kSpans[g];
    if (index >= span.offset && index < span.offset + span.size) {
      return std::string(kGroupLabels[g]) + " joint " + std::to_string(index - span.offset + 1);
    }
  }
  return "joint " + std::to_string(index);
}

ArmJoints armJoints(const JointVector& joints, Side side) {
  const GroupSpan span = groupSpan(armGroup(side));
  ArmJoints arm{};
  for (int k = 0; k < kArmJointCount; ++k) arm[k] = joints[span.offset + k];
  return arm;
}

}  // namespace hirosim
