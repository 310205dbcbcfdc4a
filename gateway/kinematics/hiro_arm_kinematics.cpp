#include "hiro_arm_kinematics.h"

#include <algorithm>
#include <cmath>

namespace hiro {
namespace {

using geometry::Frame;
using geometry::Rotation;
using geometry::rotationX;
using geometry::rotationY;
using geometry::rotationZ;
using geometry::Vec3;

constexpr double kPi = 3.141592653589793;
// Below this a branch is treated as coinciding with its partner (straight elbow, wrist
// centre on the shoulder's vertical).
constexpr double kDegenerate = 1e-12;
// Below this cos(wrist pitch) twist and roll turn about the same line.
constexpr double kGimbalLock = 1e-9;
// How far beyond full stretch a target may lie and still be taken as reached, for rounding.
constexpr double kReachTolerance = 1e-12;

double wrapAngle(double angle_rad) {
  while (angle_rad > kPi) angle_rad -= 2.0 * kPi;
  while (angle_rad <= -kPi) angle_rad += 2.0 * kPi;
  return angle_rad;
}

Vec3 shoulderPoint(ArmSide side) {
  return {kShoulderForward_m, shoulderSidewaysFor(side), kShoulderHeight_m};
}

// Approach direction of the hand: its -x axis.
Vec3 approachOf(const Rotation& hand) { return -hand.col(0); }

struct WristAngles {
  double twist, pitch, roll;
};

// Solves Rz(twist) * Ry(pitch) * Rx(roll) = wrist for both branches; returns how many.
int solveWrist(const Rotation& wrist, WristAngles out[2]) {
  const double cosPitch = std::hypot(wrist(0, 0), wrist(1, 0));
  const double pitch = std::atan2(-wrist(2, 0), cosPitch);
  if (cosPitch < kGimbalLock) {
    // Twist and roll turn about the same line: put all the turn into the twist.
    out[0] = {std::atan2(-wrist(0, 1), wrist(1, 1)), pitch, 0.0};
    return 1;
  }
  const double twist = std::atan2(wrist(1, 0), wrist(0, 0));
  const double roll = std::atan2(wrist(2, 1), wrist(2, 2));
  out[0] = {twist, pitch, roll};
  out[1] = {wrapAngle(twist + kPi), wrapAngle(kPi - pitch), wrapAngle(roll + kPi)};
  return 2;
}

}  // namespace

Frame forwardKinematics(ArmSide side, const ArmJoints& q) {
  const Rotation yaw = rotationZ(q[0]);
  const Rotation upperArm = yaw * rotationY(q[1]);
  const Rotation forearm = yaw * rotationY(q[1] + q[2]);
  const Vec3 down = -Vec3::UnitZ();
  const Vec3 wrist =
      shoulderPoint(side) + kUpperArm_m * (upperArm * down) + kForearm_m * (forearm * down);
  const Rotation hand = forearm * rotationZ(q[3]) * rotationY(q[4]) * rotationX(q[5]);
  return geometry::frameOf(hand, wrist + kWristToHand_m * approachOf(hand));
}

ArmSolutions inverseKinematics(ArmSide side, const Frame& hand_chest) {
  ArmSolutions solutions;
  const Rotation hand = hand_chest.linear();
  const Vec3 wrist = hand_chest.translation() - kWristToHand_m * approachOf(hand);
  const Vec3 v = wrist - shoulderPoint(side);

  // Joints 2 and 3 form a planar two-link arm in the vertical plane through the shoulder
  // that joint 1 turns; in that plane the wrist lies at (reach forward, v.z).
  const double horizontal = std::hypot(v.x(), v.y());
  const double cosElbow = (v.x() * v.x() + v.y() * v.y() + v.z() * v.z() -
                           kUpperArm_m * kUpperArm_m - kForearm_m * kForearm_m) /
                          (2.0 * kUpperArm_m * kForearm_m);
  if (cosElbow > 1.0 + kReachTolerance || cosElbow < -1.0 - kReachTolerance) {
    return solutions;
  }
  const double elbowMagnitude = std::acos(std::clamp(cosElbow, -1.0, 1.0));
  const int shoulderBranches = horizontal < kDegenerate ? 1 : 2;
  const int elbowBranches = elbowMagnitude < kDegenerate ? 1 : 2;
  const double facingYaw = horizontal < kDegenerate ? 0.0 : std::atan2(v.y(), v.x());

  for (int s = 0; s < shoulderBranches; ++s) {
    const double q1 = wrapAngle(facingYaw + (s == 0 ? 0.0 : kPi));
    const double reach = s == 0 ? horizontal : -horizontal;
    for (int e = 0; e < elbowBranches; ++e) {
      const double q3 = e == 0 ? -elbowMagnitude : elbowMagnitude;
      const double k1 = kUpperArm_m + kForearm_m * std::cos(q3);
      const double k2 = kForearm_m * std::sin(q3);
      const double q2 = wrapAngle(std::atan2(-reach, -v.z()) - std::atan2(k2, k1));
      const Rotation forearm = rotationZ(q1) * rotationY(q2 + q3);
      WristAngles wristAngles[2];
      const int wristBranches = solveWrist(forearm.transpose() * hand, wristAngles);
      for (int w = 0; w < wristBranches; ++w) {
        solutions.joints[solutions.count++] = {
            q1, q2, wrapAngle(q3), wristAngles[w].twist, wristAngles[w].pitch, wristAngles[w].roll};
      }
    }
  }
  return solutions;
}

}  // namespace hiro
