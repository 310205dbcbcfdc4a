#include "gateway/ik/waist_compensation.h"

#include "gateway/geometry/rotation.h"

void compensateWaist(const geometry::Pose6& pose_base, double waistYaw_rad,
                     geometry::Pose6& pose_chest) {
  const geometry::Vec3 turned = geometry::rotationZ(-waistYaw_rad) *
                                geometry::Vec3(pose_base.x_m, pose_base.y_m, pose_base.z_m);
  pose_chest = pose_base;
  pose_chest.x_m = turned.x();
  pose_chest.y_m = turned.y();
  pose_chest.z_m = turned.z();
  pose_chest.roll_rad = pose_base.roll_rad - waistYaw_rad;
}
