#include "gateway/geometry/frame.h"

#include <cmath>

#include "gateway/geometry/roll_pitch_yaw.h"

namespace geometry {

Frame frameOf(const Rotation& rotation, const Vec3& position_m) {
  Frame frame = Frame::Identity();
  frame.linear() = rotation;
  frame.translation() = position_m;
  return frame;
}

Frame frameFromPose(const Pose6& pose) {
  return frameOf(rotationFromRollPitchYaw({pose.roll_rad, pose.pitch_rad, pose.yaw_rad}),
                 {pose.x_m, pose.y_m, pose.z_m});
}

Pose6 poseFromFrame(const Frame& frame) {
  const RollPitchYaw angles = rollPitchYawFromRotation(frame.linear());
  const Vec3 p = frame.translation();
  return {p.x(), p.y(), p.z(), angles.roll_rad, angles.pitch_rad, angles.yaw_rad};
}

double headingOf(const Frame& frame) {
  return std::atan2(frame.linear()(1, 0), frame.linear()(0, 0));
}

}  // namespace geometry
