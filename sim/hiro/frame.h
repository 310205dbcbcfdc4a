#pragma once
// Rigid-body frames in the robot frame R: position in metres, rotation as a 3 x 3 matrix.
// Orientation triples (r, p, y) in radians mean Rz(y) * Ry(p) * Rx(r).

#include <array>

namespace hirosim {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

using Matrix3 = std::array<std::array<double, 3>, 3>;

struct Frame {
  Matrix3 rotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  Vec3 position;
};

struct Pose6 {
  double x = 0.0, y = 0.0, z = 0.0;    // metres
  double r = 0.0, p = 0.0, yaw = 0.0;  // radians, Rz(yaw) * Ry(p) * Rx(r)
};

Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
Vec3 operator*(double s, const Vec3& v);
double dot(const Vec3& a, const Vec3& b);
double norm(const Vec3& v);

Matrix3 rotationFromRpy(double r, double p, double yaw);
Matrix3 rotationAboutZ(double angle_rad);
Vec3 rotate(const Matrix3& m, const Vec3& v);

Frame frameFromPose(const Pose6& pose);
Pose6 poseFromFrame(const Frame& frame);

Frame compose(const Frame& a, const Frame& b);  // a * b
Frame inverse(const Frame& f);
Vec3 transformPoint(const Frame& f, const Vec3& local);

// The frame's yaw: heading of its x axis projected on the horizontal plane.
double headingOf(const Frame& f);

}  // namespace hirosim
