#pragma once
// The HIRO robot's 23 joints as the controller orders them, in radians:
// body/head 3 (chest yaw, head yaw, head pitch), right arm 6, left arm 6,
// right hand 4, left hand 4.

#include <array>
#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace hirosim {

constexpr int kJointCount = 23;
constexpr int kGroupCount = 5;
constexpr int kArmJointCount = 6;
constexpr int kFingerJointCount = 4;

enum class JointGroup { BodyHead = 0, RightArm, LeftArm, RightHand, LeftHand };

enum class Side { Right = 0, Left = 1 };

struct GroupSpan {
  int offset;
  int size;
};

using JointVector = std::array<double, kJointCount>;
using JointMask = std::bitset<kJointCount>;
using ArmJoints = std::array<double, kArmJointCount>;

constexpr int kChestYawIndex = 0;

GroupSpan groupSpan(JointGroup group);
JointMask groupMask(JointGroup group);
JointGroup armGroup(Side side);
JointGroup handGroup(Side side);

// The controller's servo names: "BODY", "RARM", "LARM", "RHAND", "LHAND".
const char* servoName(JointGroup group);
std::optional<JointGroup> groupFromServoName(std::string_view name);
// The hand names of the grasper: "RHAND", "LHAND".
std::optional<Side> sideFromHandName(std::string_view name);

const char* sideName(Side side);  // "right", "left"

// Human-readable joint name for messages, e.g. "left arm joint 3".
std::string jointLabel(int index);

ArmJoints armJoints(const JointVector& joints, Side side);

}  // namespace hirosim
