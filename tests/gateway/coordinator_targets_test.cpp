// The hand targets the pick-and-place coordinator plans with its default configuration, worked
// out here from its planning formulas: every one must have an admissible IK solution.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gateway/ik/arm_ik_solve.h"
#include "gateway/ik/waist_compensation.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180.0;

// Default configuration of the coordinator and its cell constants.
constexpr double kWorldZ_m = 0.032;
constexpr double kPalletPlacedX_m = 0.470;
constexpr double kPalletPlacedY_m = 0.000;
constexpr double kPalletPlacedZ_m = 0.015;
constexpr double kPalletPlacedDirection_rad = 100.0 * kDeg;
constexpr double kTrayHandsPitch_rad = -90.0 * kDeg;
constexpr double kLiftDistance_m = 0.15;
constexpr double kPutDownX_m = 0.470;
constexpr double kPutDownY_m = 0.000;
constexpr double kPutDownZ_m = 0.032;
constexpr double kPutDownDirection_rad = 0.0;
constexpr double kTrayWidth_m = 0.3;
constexpr double kTraySqueeze_m = 0.02;
constexpr double kTrayGripHeight_m = 0.05;
constexpr double kLiftClearance_m = 0.085;
constexpr double kSlotHeight_m = 0.007;
constexpr double kSlotOffsetX_m = 0.04;
constexpr double kSlotOffsetY_m = 0.03975;

struct Target {
  std::string name;
  bool left;
  geometry::Pose6 pose_base;
  double chest_rad;
};

double fingertipDepth_mm(double opening_mm) {
  return 41.9 * std::sin(std::acos((opening_mm / 2 - 19.0) / 41.9)) + 30.0 + 45.0;
}

geometry::Pose6 handDown(double x, double y, double z, double roll) {
  return {x, y, z, roll, -kPi / 2, 0.0};
}

geometry::Pose6 rotateAboutVertical(geometry::Pose6 pose, double a) {
  const double x = pose.x_m * std::cos(a) - pose.y_m * std::sin(a);
  const double y = pose.x_m * std::sin(a) + pose.y_m * std::cos(a);
  pose.x_m = x;
  pose.y_m = y;
  pose.roll_rad += a;
  return pose;
}

double chestAngleFor(const geometry::Pose6& pose, bool left) {
  double c = std::atan2(pose.y_m, pose.x_m);
  const double arm = left ? 1.0 : -1.0;
  if ((left && pose.y_m < 0) || (!left && pose.y_m > 0)) {
    c -= std::asin(arm * 0.2 / std::hypot(pose.x_m, pose.y_m));
  }
  return c;
}

geometry::Pose6 raised(geometry::Pose6 pose, double dz) {
  pose.z_m += dz;
  return pose;
}

// One object of a class at an estimated x, height and yaw: its picking and placing targets.
void addObjectTargets(int classId, double x, double height, double yaw, double slotX,
                      std::vector<Target>& targets) {
  const bool left = classId != 1;
  const double width = classId == 1 ? 0.05 : 0.03;
  const double y = classId == 1 ? -0.1 : 0.1;
  const double h = (fingertipDepth_mm(1000 * width) - 20.0) / 1000.0;
  const std::string tag = "class " + std::to_string(classId) + " x " + std::to_string(x) +
                          " height " + std::to_string(height) + " yaw " + std::to_string(yaw) +
                          " slot x " + std::to_string(slotX) + ": ";

  const geometry::Pose6 grasp = handDown(x, y, kWorldZ_m + height + h, yaw);
  const double slotZ = kPalletPlacedZ_m + kSlotHeight_m;
  geometry::Pose6 lift = grasp;
  lift.z_m = std::max(grasp.z_m + 0.15, height + h + slotZ + kLiftClearance_m + 0.05);
  targets.push_back({tag + "approach", left, raised(grasp, 0.05), 0.0});
  targets.push_back({tag + "grasp", left, grasp, 0.0});
  targets.push_back({tag + "lift", left, lift, 0.0});

  const double slotY = classId == 1 ? -kSlotOffsetY_m : kSlotOffsetY_m;
  const geometry::Pose6 put = rotateAboutVertical(handDown(slotX, slotY, slotZ + height + h, 0.0),
                                                  kPalletPlacedDirection_rad);
  const double chest = chestAngleFor(put, left);
  targets.push_back({tag + "above slot", left, raised(put, 0.1), chest});
  targets.push_back({tag + "slot", left, put, chest});
}

std::vector<Target> objectTargets() {
  std::vector<Target> targets;
  for (int classId : {0, 1}) {
    for (double x : {0.30, 0.35, 0.40}) {
      for (double height : {0.02, 0.05, 0.10}) {
        for (double yaw : {-90.0 * kDeg, -45.0 * kDeg, 0.0, 45.0 * kDeg, 90.0 * kDeg}) {
          for (double slotX :
               {kPalletPlacedX_m + kSlotOffsetX_m, kPalletPlacedX_m - kSlotOffsetX_m}) {
            addObjectTargets(classId, x, height, yaw, slotX, targets);
          }
        }
      }
    }
  }
  return targets;
}

void addPair(const std::string& name, double x, double yCentre, double halfSpan, double z,
             double direction, std::vector<Target>& targets) {
  const geometry::Pose6 left =
      rotateAboutVertical({x, yCentre + halfSpan, z, 0.0, kTrayHandsPitch_rad, 0.0}, direction);
  const geometry::Pose6 right =
      rotateAboutVertical({x, yCentre - halfSpan, z, 0.0, kTrayHandsPitch_rad, 0.0}, direction);
  targets.push_back({name + " left", true, left, direction});
  targets.push_back({name + " right", false, right, direction});
}

std::vector<Target> trayTargets() {
  const double h = fingertipDepth_mm(0.0) / 1000.0;
  const double W = kTrayWidth_m, Q = kTraySqueeze_m, H = kTrayGripHeight_m;
  const double gripZ = kPalletPlacedZ_m + H + h;
  const double liftZ =
      std::max(H + h + kLiftDistance_m + kPutDownZ_m, H + h + kLiftDistance_m + kPalletPlacedZ_m);
  const double putZ = kPutDownZ_m + H + h;
  std::vector<Target> t;
  addPair("tray above", kPalletPlacedX_m, kPalletPlacedY_m, W / 2, gripZ + 0.1,
          kPalletPlacedDirection_rad, t);
  addPair("tray grip", kPalletPlacedX_m, kPalletPlacedY_m, W / 2, gripZ, kPalletPlacedDirection_rad,
          t);
  addPair("tray squeeze", kPalletPlacedX_m, kPalletPlacedY_m, (W - Q) / 2, gripZ,
          kPalletPlacedDirection_rad, t);
  addPair("tray lift", kPalletPlacedX_m, kPalletPlacedY_m, (W - Q) / 2, liftZ,
          kPalletPlacedDirection_rad, t);
  addPair("tray put down", kPutDownX_m, kPutDownY_m, (W - Q) / 2, putZ, kPutDownDirection_rad, t);
  addPair("tray release", kPutDownX_m, kPutDownY_m, W / 2, putZ, kPutDownDirection_rad, t);
  addPair("tray retreat", kPutDownX_m, kPutDownY_m, W / 2, putZ + 0.1, kPutDownDirection_rad, t);
  return t;
}

int admissibleCount(const Target& target) {
  geometry::Pose6 chest;
  compensateWaist(target.pose_base, target.chest_rad, chest);
  ikfast::IKSolutionList solutions;
  std::vector<int> admissible;
  std::array<double, hiro::kArmJointCount> chosen{};
  return solveAdmissible(target.left ? leftArmIk() : rightArmIk(), chest, solutions, admissible,
                         chosen);
}

TEST(CoordinatorTargets, everyObjectTargetHasAnAdmissibleSolution) {
  const std::vector<Target> targets = objectTargets();
  ASSERT_EQ(targets.size(), 2u * 3 * 3 * 5 * 2 * 5);
  for (const Target& target : targets) EXPECT_GE(admissibleCount(target), 1) << target.name;
}

TEST(CoordinatorTargets, everyTrayTargetHasAnAdmissibleSolution) {
  const std::vector<Target> targets = trayTargets();
  ASSERT_EQ(targets.size(), 14u);
  for (const Target& target : targets) EXPECT_GE(admissibleCount(target), 1) << target.name;
}

TEST(CoordinatorTargets, trayGripPointsFollowTheCellGeometry) {
  const std::vector<Target> targets = trayTargets();
  // Grip points before turning (0.47, +-0.15, 0.015 + 0.05 + 0.1123), turned by 100 degrees.
  const Target& gripLeft = targets[2];
  EXPECT_NEAR(std::hypot(gripLeft.pose_base.x_m, gripLeft.pose_base.y_m), std::hypot(0.47, 0.15),
              1e-12);
  EXPECT_NEAR(gripLeft.pose_base.z_m, 0.015 + 0.05 + 0.11234, 1e-4);
  EXPECT_NEAR(targets[6].pose_base.z_m, 0.3443, 1e-4);
}

TEST(CoordinatorTargets, pointBeyondTheTableIsOutOfReach) {
  const Target far{"far", true, handDown(0.9, 0.1, 0.2, 0.0), 0.0};
  EXPECT_EQ(admissibleCount(far), 0);
}

}  // namespace
