#pragma once

#include <cmath>

#include <Eigen/Core>

// 3-vectors and 3 x 3 rotation matrices of doubles, fixed size (they live on the stack of every
// call, no allocation), and the right-handed turns about the coordinate axes.
namespace geometry {

using Vec3 = Eigen::Vector3d;
using Rotation = Eigen::Matrix3d;

inline Rotation rotationX(double angle_rad) {
  const double c = std::cos(angle_rad), s = std::sin(angle_rad);
  Rotation r = Rotation::Identity();
  r(1, 1) = c;
  r(1, 2) = -s;
  r(2, 1) = s;
  r(2, 2) = c;
  return r;
}

inline Rotation rotationY(double angle_rad) {
  const double c = std::cos(angle_rad), s = std::sin(angle_rad);
  Rotation r = Rotation::Identity();
  r(0, 0) = c;
  r(0, 2) = s;
  r(2, 0) = -s;
  r(2, 2) = c;
  return r;
}

inline Rotation rotationZ(double angle_rad) {
  const double c = std::cos(angle_rad), s = std::sin(angle_rad);
  Rotation r = Rotation::Identity();
  r(0, 0) = c;
  r(0, 1) = -s;
  r(1, 0) = s;
  r(1, 1) = c;
  return r;
}

}  // namespace geometry
