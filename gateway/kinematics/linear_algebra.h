#pragma once

#include <cmath>

// Fixed-size 3-vectors and 3 x 3 matrices of doubles for the arm kinematics: small enough to
// live on the stack of every call, no allocation.
namespace hiro {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(double s, const Vec3& v) { return {s * v.x, s * v.y, s * v.z}; }
inline double norm(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// Row-major: m[row][column].
struct Mat3 {
  double m[3][3] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};

  Vec3 column(int c) const { return {m[0][c], m[1][c], m[2][c]}; }
};

inline Mat3 operator*(const Mat3& a, const Mat3& b) {
  Mat3 product;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      product.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
    }
  }
  return product;
}

inline Vec3 operator*(const Mat3& a, const Vec3& v) {
  return {a.m[0][0] * v.x + a.m[0][1] * v.y + a.m[0][2] * v.z,
          a.m[1][0] * v.x + a.m[1][1] * v.y + a.m[1][2] * v.z,
          a.m[2][0] * v.x + a.m[2][1] * v.y + a.m[2][2] * v.z};
}

inline Mat3 transpose(const Mat3& a) {
  Mat3 t;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) t.m[r][c] = a.m[c][r];
  }
  return t;
}

// Right-handed rotations about the coordinate axes, angle in radians.
inline Mat3 rotationX(double angle_rad) {
  const double c = std::cos(angle_rad), s = std::sin(angle_rad);
  Mat3 r;
  r.m[1][1] = c;
  r.m[1][2] = -s;
  r.m[2][1] = s;
  r.m[2][2] = c;
  return r;
}

inline Mat3 rotationY(double angle_rad) {
  const double c = std::cos(angle_rad), s = std::sin(angle_rad);
  Mat3 r;
  r.m[0][0] = c;
  r.m[0][2] = s;
  r.m[2][0] = -s;
  r.m[2][2] = c;
  return r;
}

inline Mat3 rotationZ(double angle_rad) {
  const double c = std::cos(angle_rad), s = std::sin(angle_rad);
  Mat3 r;
  r.m[0][0] = c;
  r.m[0][1] = -s;
  r.m[1][0] = s;
  r.m[1][1] = c;
  return r;
}

}  // namespace hiro
