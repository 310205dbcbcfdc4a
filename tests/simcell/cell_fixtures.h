#pragma once
// Shared starting points of the core tests: a small cell and hand poses over it.

#include <cmath>

#include "cell_world.h"
#include "scene.h"

namespace hirosim::testing {

constexpr double kTableZ_m = 0.032;
constexpr double kObjectHeight_m = 0.06;
constexpr double kNarrowWidth_m = 0.03;
constexpr double kTrayTopZ_m = 0.015;

// Object 0 (class 0, 30 mm wide) at (0.35, 0.1), object 1 (class 1, 50 mm) at (0.35, -0.1);
// the tray centred at (0, 0.45) turned by 90 degrees, so its grip points lie along x.
inline Scene testScene() {
  Scene scene;
  scene.tableZ_m = kTableZ_m;
  scene.tray = {0.0, 0.45, kTrayTopZ_m, M_PI / 2, 0.20, 0.30, 0.01, 0.05};
  scene.objects = {{0, 0.03, kNarrowWidth_m, kObjectHeight_m, 0.35, 0.1, 0.0},
                   {1, 0.05, 0.05, kObjectHeight_m, 0.35, -0.1, 0.0}};
  return scene;
}

// The axes of ToyArmKinematics: approach along -x, opening along y.
inline HandAxes testAxes() { return {-geometry::Vec3::UnitX(), geometry::Vec3::UnitY()}; }

constexpr double kTestFingertipDepth_m = 0.11;

// A hand pointing down whose fingertips are at `tip`, turned by `turn_rad` about the
// vertical, with the given finger opening.
inline HandState handAt(const geometry::Vec3& tip, double turn_rad, double opening_m) {
  HandState hand;
  hand.pose = geometry::frameFromPose(
      {tip.x(), tip.y(), tip.z() + kTestFingertipDepth_m, turn_rad, -M_PI / 2, 0});
  hand.opening_m = opening_m;
  hand.fingertipDepth_m = kTestFingertipDepth_m;
  return hand;
}

}  // namespace hirosim::testing
