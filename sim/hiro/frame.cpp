#include "frame.h"

#include <cmath>

namespace hirosim {

Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(double s, const Vec3& v) { return {s * v.x, s * v.y, s * v.z}; }
double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(const Vec3& v) { return std::sqrt(dot(v, v)); }

namespace {

Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 m{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      m[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    }
  }
  return m;
}

Matrix3 transpose(const Matrix3& a) {
  Matrix3 m{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) m[i][j] = a[j][i];
  }
  return m;
}

}  // namespace

Matrix3 rotationAboutZ(double a) {
  const double c = std::cos(a), s = std::sin(a);
  return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}

Matrix3 rotationFromRpy(double r, double p, double yaw) {
  const double cr = std::cos(r), sr = std::sin(r);
  const double cp = std::cos(p), sp = std::sin(p);
  const Matrix3 rx{{{1, 0, 0}, {0, cr, -sr}, {0, sr, cr}}};
  const Matrix3 ry{{{cp, 0, sp}, {0, 1, 0}, {-sp, 0, cp}}};
  return multiply(rotationAboutZ(yaw), multiply(ry, rx));
}

Vec3 rotate(const Matrix3& m, const Vec3& v) {
  return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
          m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
          m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

Frame frameFromPose(const Pose6& pose) {
  return Frame{rotationFromRpy(pose.r, pose.p, pose.yaw), {pose.x, pose.y, pose.z}};
}

Pose6 poseFromFrame(const Frame& f) {
  const Matrix3& m = f.rotation;
  Pose6 pose;
  pose.x = f.position.x;
  pose.y = f.position.y;
  pose.z = f.position.z;
  pose.p = std::atan2(-m[2][0], std::hypot(m[0][0], m[1][0]));
  if (std::hypot(m[0][0], m[1][0]) > 1e-9) {
    pose.yaw = std::atan2(m[1][0], m[0][0]);
    pose.r = std::atan2(m[2][1], m[2][2]);
  } else {
    // Pitch at +-90 degrees: only r - yaw (or r + yaw) is defined; keep yaw 0.
    pose.yaw = 0.0;
    pose.r = std::atan2(-m[1][2], m[1][1]);
  }
  return pose;
}

Frame compose(const Frame& a, const Frame& b) {
  return Frame{multiply(a.rotation, b.rotation), a.position + rotate(a.rotation, b.position)};
}

Frame inverse(const Frame& f) {
  const Matrix3 rt = transpose(f.rotation);
  return Frame{rt, -1.0 * rotate(rt, f.position)};
}

Vec3 transformPoint(const Frame& f, const Vec3& local) {
  return f.position + rotate(f.rotation, local);
}

double headingOf(const Frame& f) { return std::atan2(f.rotation[1][0], f.rotation[0][0]); }

}  // namespace hirosim
