// The default scene with the HIRO arm model: the hand poses the coordinator plans with its
// default configuration reach the objects and the tray, and carrying out such a plan as
// joint trajectories puts the object on the tray.

#include <gtest/gtest.h>

#include <cmath>

#include "hiro_arm_model_kinematics.h"
#include "hiro_cell.h"
#include "scene.h"

namespace hirosim {
namespace {

using geometry::Frame;
using geometry::Pose6;

constexpr double kDegPerRad = 180.0 / M_PI;
constexpr double kDown = -M_PI / 2;
constexpr double kTableZ_m = 0.032;      // zWorldR_m
constexpr double kPalletX_m = 0.47;      // xPalletPlacedB_m
constexpr double kPalletTopZ_m = 0.015;  // zPalletPlacedB_m
constexpr double kPalletTurn_rad = 100.0 * M_PI / 180.0;
constexpr double kSlotZ_m = kPalletTopZ_m + 0.007;

// The coordinator's finger law: opening (mm) and fingertip backlash (rad) to four angles.
std::vector<double> fingerAngles(double opening_mm, double backlash_rad = 0.0) {
  const double a = M_PI / 2 - std::acos((opening_mm / 2 - 19.0) / 41.9);
  return {a, -a - backlash_rad, -a, a + backlash_rad};
}

// Hand pose point above the fingertips for an object of this width (the coordinator's
// hand offset: fingertips 20 mm below the object's top).
double handOffset_m(double width_m) {
  const double theta = std::acos((width_m * 1000 / 2 - 19.0) / 41.9);
  return (41.9 * std::sin(theta) + 75.0 - 20.0) / 1000.0;
}

Pose6 turned(const Pose6& p, double a) {
  return {p.x_m * std::cos(a) - p.y_m * std::sin(a),
          p.x_m * std::sin(a) + p.y_m * std::cos(a),
          p.z_m,
          p.roll_rad + a,
          p.pitch_rad,
          p.yaw_rad};
}

class DefaultCellTest : public ::testing::Test {
 protected:
  DefaultCellTest() {
    const SceneParseResult loaded = loadSceneFile(DEFAULT_SCENE_FILE);
    EXPECT_TRUE(loaded.scene) << loaded.error;
    scene_ = loaded.scene.value_or(Scene{});
  }

  bool reachable(Side side, const Pose6& pose, double chest_rad) const {
    return model_.solve(side, pose, chest_rad, ArmJoints{}).has_value();
  }

  Scene scene_;
  HiroArmModelKinematics model_;
};

TEST_F(DefaultCellTest, solvedJointsPutTheHandOnTheTarget) {
  const Pose6 target{0.35, 0.1, 0.19, 0.2, kDown, 0.0};
  for (double chest : {0.0, 0.6}) {
    const auto joints = model_.solve(Side::Left, target, chest, ArmJoints{});
    ASSERT_TRUE(joints);
    const Frame reached = model_.handPose(Side::Left, *joints, chest);
    const Frame wanted = geometry::frameFromPose(target);
    EXPECT_NEAR((reached.translation() - wanted.translation()).norm(), 0.0, 1e-9);
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) EXPECT_NEAR(reached.linear()(i, j), wanted.linear()(i, j), 1e-9);
    }
  }
}

TEST_F(DefaultCellTest, coordinatorsPickingPosesReachEveryObject) {
  for (const SceneObject& object : scene_.objects) {
    const double width = object.classId == 1 ? 0.05 : 0.03;
    const double y = object.classId == 1 ? -0.1 : 0.1;
    EXPECT_DOUBLE_EQ(object.y_m, y);
    EXPECT_DOUBLE_EQ(object.width_m, width);
    const Side side = y > 0 ? Side::Left : Side::Right;
    const Pose6 grasp{object.x_m,     y,     kTableZ_m + object.height_m + handOffset_m(width),
                      object.yaw_rad, kDown, 0.0};
    Pose6 above = grasp;
    above.z_m += 0.05;
    Pose6 lifted = grasp;
    lifted.z_m += 0.15;
    EXPECT_TRUE(reachable(side, above, 0.0)) << "class " << object.classId;
    EXPECT_TRUE(reachable(side, grasp, 0.0)) << "class " << object.classId;
    EXPECT_TRUE(reachable(side, lifted, 0.0)) << "class " << object.classId;
  }
}

TEST_F(DefaultCellTest, trayGripPointsAreWhereTheCoordinatorGripsThem) {
  const double h = 0.11234;  // fingers closed
  for (double y : {0.15, -0.15}) {
    const Pose6 grip =
        turned({kPalletX_m, y, kPalletTopZ_m + 0.05 + h, 0.0, kDown, 0.0}, kPalletTurn_rad);
    EXPECT_TRUE(reachable(y > 0 ? Side::Left : Side::Right, grip, kPalletTurn_rad)) << y;
  }
  // The tray's grip points are 0.3 m apart around its centre.
  EXPECT_DOUBLE_EQ(scene_.tray.width_m, 0.3);
}

// Object 0 (class 0, left arm) carried to slot 0 of its column the way the coordinator's
// plan moves it, each hand pose turned into joints by the arm model.
TEST_F(DefaultCellTest, carryingOutThePickingPlanPutsTheObjectOnTheTray) {
  std::vector<std::string> events;
  auto model = std::make_shared<HiroArmModelKinematics>();
  HiroCell cell(
      scene_, model, JointVector{}, [&](const std::string& line) { events.push_back(line); },
      nullptr);

  const SceneObject& object = scene_.objects.at(0);
  const double width = object.width_m;
  const double h = handOffset_m(width);
  const Pose6 grasp{object.x_m, object.y_m, kTableZ_m + object.height_m + h, 0.0, kDown, 0.0};
  Pose6 above = grasp;
  above.z_m += 0.05;
  Pose6 lifted = grasp;
  lifted.z_m = std::max(grasp.z_m + 0.15, object.height_m + h + kSlotZ_m + 0.085 + 0.05);
  const Pose6 put =
      turned({kPalletX_m + 0.04, 0.03975, kSlotZ_m + object.height_m + h, 0.0, kDown, 0.0},
             kPalletTurn_rad);
  // The slot lies on the left arm's side: the chest faces it.
  const double chest = std::atan2(put.y_m, put.x_m);
  Pose6 overSlot = put;
  overSlot.z_m += 0.1;

  std::vector<double> pose(HiroCell::kTrajectoryPointSize, 0.0);
  std::vector<std::vector<double>> points;
  std::vector<double> times;
  ArmJoints arm{};
  const auto moveHand = [&](const Pose6& target, double chest_rad) {
    const auto joints = model->solve(Side::Left, target, chest_rad, arm);
    ASSERT_TRUE(joints);
    arm = *joints;
    pose[0] = chest_rad * kDegPerRad;
    for (int k = 0; k < 6; ++k) pose[9 + k] = arm[k] * kDegPerRad;
    points.push_back(pose);
    times.push_back(1.0);
  };
  const auto setFingers = [&](const std::vector<double>& angles) {
    for (int k = 0; k < 4; ++k) pose[19 + k] = angles[k] * kDegPerRad;
    points.push_back(pose);
    times.push_back(0.1);
  };
  moveHand(above, 0.0);
  setFingers(fingerAngles(width * 1000 + 40));
  moveHand(grasp, 0.0);
  setFingers(fingerAngles(width * 1000 - 1, 8.0 * M_PI / 180));
  moveHand(lifted, 0.0);
  moveHand(overSlot, chest);
  moveHand(put, chest);
  setFingers(fingerAngles(width * 1000 + 2));
  moveHand(overSlot, chest);

  const auto start = cell.startTrajectory(points, times);
  ASSERT_TRUE(start.outcome.ok()) << start.outcome.reason;
  cell.step(20 * 200);
  ASSERT_TRUE(cell.awaitMotion(start.last).ok());

  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], "object 0 grasped by left hand");
  EXPECT_EQ(events[1].rfind("object 0 released on tray at ", 0), 0u) << events[1];
  const ObjectPlace placed = cell.objectPlaces().at(0);
  EXPECT_EQ(placed.support, Support::Tray);
  EXPECT_NEAR(placed.x_m, put.x_m, 0.002);
  EXPECT_NEAR(placed.y_m, put.y_m, 0.002);
  EXPECT_NEAR(placed.z_m, kPalletTopZ_m, 1e-9);
}

}  // namespace
}  // namespace hirosim
