#include "gateway/ik/waist_compensation.h"

#include "gateway/kinematics/linear_algebra.h"

void compensateWaist(const HandPose6& pose_base, double waistYaw_rad, HandPose6& pose_chest) {
  const hiro::Vec3 turned =
      hiro::rotationZ(-waistYaw_rad) * hiro::Vec3{pose_base.x_m, pose_base.y_m, pose_base.z_m};
  pose_chest = pose_base;
  pose_chest.x_m = turned.x;
  pose_chest.y_m = turned.y;
  pose_chest.z_m = turned.z;
  pose_chest.roll_rad = pose_base.roll_rad - waistYaw_rad;
}
