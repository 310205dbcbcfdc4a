#include "planning_geometry.h"

#include <algorithm>
#include <cmath>

#include "angles.h"
#include "finger_geometry.h"

namespace pickplace {
namespace {

// The fingertips reach this far below the object's top.
constexpr double kGripDepth_mm = 20.0;
// Sideways distance of a target from the chest's forward axis when turning towards it.
constexpr double kChestSideOffset_m = 0.2;

constexpr double kSlowJointMoveTime_s = 8.0;
constexpr double kFastJointMoveTime_s = 2.0;
constexpr double kSlowSpeedBase = 5.0;
constexpr double kFastSpeedBase = 30.0;

// Arm joint speed limit in degrees per second at factor 1 / 0.005.
constexpr double kArmMaxJointSpeed_degps = 260.0;
constexpr double kSpeedScale = 0.005;
// Settling allowance: at most 0.5 s, less for large joint travel.
constexpr double kMaxSettleTime_s = 0.5;
constexpr double kSettleReference_rad = degToRad(10.0);

}  // namespace

double handExtension_mm(long serialNo) {
  return serialNo == kLongHandSerialNo ? kLongHandExtra_mm : 0.0;
}

std::optional<double> objectHandOffset_m(double width_m, long serialNo) {
  const auto depth_mm = fingertipDepth(1000.0 * width_m);
  if (!depth_mm) {
    return std::nullopt;
  }
  return (*depth_mm + handExtension_mm(serialNo) - kGripDepth_mm) / 1000.0;
}

double trayHandOffset_m(long serialNo) {
  return (*fingertipDepth(0.0) + handExtension_mm(serialNo)) / 1000.0;
}

HandPose rotateAboutVertical(const HandPose& pose, double angle_rad) {
  HandPose turned = pose;
  const double c = std::cos(angle_rad);
  const double s = std::sin(angle_rad);
  turned.x_m = pose.x_m * c - pose.y_m * s;
  turned.y_m = pose.x_m * s + pose.y_m * c;
  turned.roll_rad = pose.roll_rad + angle_rad;
  return turned;
}

double chestAngleFor(const HandPose& pose, Arm arm) {
  double chest_rad = std::atan2(pose.y_m, pose.x_m);
  const bool otherSide =
      (arm == Arm::left && pose.y_m < 0.0) || (arm == Arm::right && pose.y_m > 0.0);
  if (otherSide) {
    const double side = static_cast<int>(arm) * kChestSideOffset_m;
    chest_rad -= std::asin(side / std::hypot(pose.x_m, pose.y_m));
  }
  return chest_rad;
}

double jointMoveTime_s(double speedBase) {
  if (speedBase < kSlowSpeedBase) {
    return kSlowJointMoveTime_s;
  }
  if (speedBase > kFastSpeedBase) {
    return kFastJointMoveTime_s;
  }
  const double slope =
      (kSlowJointMoveTime_s - kFastJointMoveTime_s) / (kFastSpeedBase - kSlowSpeedBase);
  return kSlowJointMoveTime_s - slope * (speedBase - kSlowSpeedBase);
}

double segmentTime_s(Arm arm, const JointAngles& p, const JointAngles& q, double speed) {
  const std::size_t g = arm == Arm::left ? kLeftArm : kRightArm;
  double largest_rad = 0.0;
  double sumWithoutFirst_rad = 0.0;
  for (std::size_t k = 0; k < kJointGroupSizes[g]; ++k) {
    const double change_rad = std::fabs(p[g][k] - q[g][k]);
    largest_rad = std::max(largest_rad, change_rad);
    if (k > 0) {
      sumWithoutFirst_rad += change_rad;
    }
  }
  const double speed_degps = kArmMaxJointSpeed_degps * speed * kSpeedScale;
  const double settle_s =
      sumWithoutFirst_rad == 0.0
          ? kMaxSettleTime_s
          : std::min(kMaxSettleTime_s, kSettleReference_rad * 0.5 / sumWithoutFirst_rad);
  return radToDeg(largest_rad) / speed_degps + settle_s;
}

}  // namespace pickplace
