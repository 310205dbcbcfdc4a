#pragma once
// Geometry shared by the object and tray planners and by the motion conversion.

#include <optional>

#include "angles.h"
#include "hand_pose.h"
#include "joint_angles.h"

namespace pickplace {

// The serial number of the robot unit whose hands sit 59 mm further from the fingertips.
constexpr long kLongHandSerialNo = 11;
constexpr double kLongHandExtra_mm = 59.0;

// Hand pointing down.
constexpr double kHandDownPitch_rad = -kPi / 2.0;

// Extra hand-to-fingertip distance of the unit, millimetres.
double handExtension_mm(long serialNo);

// Height of the hand above the object's top when the fingertips are 20 mm below it, for an
// object of width_m. Empty when the width is outside the hand's opening.
std::optional<double> objectHandOffset_m(double width_m, long serialNo);

// Height of the hand above the grip points of the tray (fingers closed).
double trayHandOffset_m(long serialNo);

// The pose turned by angle_rad about the vertical axis: position rotated, roll increased.
HandPose rotateAboutVertical(const HandPose& pose, double angle_rad);

// Chest angle facing the pose; when the target lies on the other arm's side the chest turns
// further so that the target is 0.2 m to the arm's side of its forward axis.
double chestAngleFor(const HandPose& pose, Arm arm);

// Duration of a joint move: 8 s below speedBase 5, 2 s above 30, linear between.
double jointMoveTime_s(double speedBase);

// Duration of one hand move of `arm` from working pose p to the IK solution q (both with the
// arm's group at full size) at speed factor `speed`.
double segmentTime_s(Arm arm, const JointAngles& p, const JointAngles& q, double speed);

}  // namespace pickplace
