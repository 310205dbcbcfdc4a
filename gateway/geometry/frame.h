#pragma once

#include <Eigen/Geometry>

#include "gateway/geometry/pose6.h"
#include "gateway/geometry/rotation.h"

// Rigid frames: a rotation and a position (metres) in a parent frame. Compose with *, invert
// with inverse(), carry a point into the parent with frame * point.
namespace geometry {

using Frame = Eigen::Isometry3d;

Frame frameOf(const Rotation& rotation, const Vec3& position_m);

Frame frameFromPose(const Pose6& pose);

// Roll, pitch and yaw as rollPitchYawFromRotation gives them.
Pose6 poseFromFrame(const Frame& frame);

// The turn about the vertical of the frame's x axis, projected on the horizontal plane.
double headingOf(const Frame& frame);

}  // namespace geometry
