#pragma once
// The HIRO joint vector in five groups, as BriskoService carries it.

#include <array>
#include <cstddef>
#include <vector>

namespace pickplace {

// Five groups of radians: body/head, right arm, left arm, right hand, left hand. An empty
// group means "not given".
using JointAngles = std::vector<std::vector<double>>;

// The four finger joint angles of one hand, radians.
using FingerAngles = std::array<double, 4>;

enum JointGroup : std::size_t {
  kBodyHead = 0,
  kRightArm = 1,
  kLeftArm = 2,
  kRightHand = 3,
  kLeftHand = 4,
};

constexpr std::size_t kJointGroupCount = 5;
constexpr std::array<std::size_t, kJointGroupCount> kJointGroupSizes = {3, 6, 6, 4, 4};
// Joints of the robot, all groups flattened.
constexpr std::size_t kRobotJointCount = 23;
// A controller posture has one element more than the robot has joints; the last is no joint.
constexpr std::size_t kControllerPointSize = 24;

// The robot's initial pose: body/head and both arms given, the hands empty.
JointAngles initialPose();

// The body/head group of the initial pose alone, the other groups empty.
JointAngles bodyPose();

// Five groups at full size: a group given in `start` is copied (missing elements 0), any
// other group is zeros.
JointAngles fullWorkingPose(const JointAngles& start);

// Copies every non-empty group of `from` into `into`.
void copyGivenGroups(const JointAngles& from, JointAngles& into);

// Number of values over all groups.
std::size_t valueCount(const JointAngles& angles);

// The controller posture of a full working pose: 24 values in degrees in group order,
// element 23 zero.
std::vector<double> controllerPointDeg(const JointAngles& full);

}  // namespace pickplace
