#pragma once

// How long a two-arm joint motion takes: the arm joints move at most 260 deg/s scaled by
// 0.005 and by the caller's speed factor.
namespace arm_motion {

constexpr double kMaxJointSpeed_degps = 260.0;
constexpr double kSpeedScale = 0.005;

// The largest absolute change over the six joints (radians), in degrees, divided by
// 260 * 0.005 * speedFactor. speedFactor must be positive.
double armTime_s(const double* current_rad, const double* target_rad, double speedFactor);

// The larger of the two arms' times.
double twoArmTime_s(const double* currentRight_rad, const double* targetRight_rad,
                    const double* currentLeft_rad, const double* targetLeft_rad,
                    double speedFactor);

// A speed factor the motion can be timed with: positive and finite.
bool isUsableSpeedFactor(double speedFactor);

}  // namespace arm_motion
