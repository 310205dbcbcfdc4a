#include <gtest/gtest.h>

#include <cmath>

#include "angles.h"
#include "finger_geometry.h"
#include "object_task.h"
#include "planning_geometry.h"
#include "task_fixture.h"
#include "tray_task.h"

namespace pickplace {
namespace {

// Closed fingers reach 41.9 mm · sin(acos(-19 / 41.9)) + 75 mm below the hand.
const double kTrayHandOffset_m =
    (41.9 * std::sqrt(1.0 - (19.0 / 41.9) * (19.0 / 41.9)) + 75.0) / 1000.0;

void expectTurnedPoint(const HandPose& pose, double x, double y, double z, double turn_rad) {
  EXPECT_NEAR(pose.x_m, x * std::cos(turn_rad) - y * std::sin(turn_rad), 1e-12);
  EXPECT_NEAR(pose.y_m, x * std::sin(turn_rad) + y * std::cos(turn_rad), 1e-12);
  EXPECT_NEAR(pose.z_m, z, 1e-6);
  EXPECT_NEAR(pose.roll_rad, turn_rad, 1e-12);
  EXPECT_NEAR(pose.pitch_rad, -kPi / 2.0, 1e-12);
  EXPECT_DOUBLE_EQ(pose.yaw_rad, 0.0);
}

class TrayTask : public ::testing::Test, protected TaskFixture {
 protected:
  Outcome plan(OperationList& list) {
    TaskContext task = context();
    Outcome picking = planTrayPicking(task, trayHandOffset_m(config.serialNo), list);
    pickingCount = list.size();
    if (!picking) {
      return picking;
    }
    return planTrayPlacing(task, trayHandOffset_m(config.serialNo), list);
  }

  std::size_t pickingCount = 0;
  const double pickTurn = degToRad(100.0);
};

TEST_F(TrayTask, nineThenSevenNodes) {
  OperationList list;
  ASSERT_TRUE(plan(list).ok());
  EXPECT_EQ(pickingCount, 9u);
  EXPECT_EQ(list.size(), 16u);
  nodeAs<JointOperation>(list, 0);
  nodeAs<HandLROperation>(list, 1);
  nodeAs<FingerDistanceLROperation>(list, 2);
  nodeAs<HandLROperation>(list, 3);
  nodeAs<SleepOperation>(list, 4);
  nodeAs<FingerDistanceLROperation>(list, 5);
  nodeAs<HandLROperation>(list, 6);
  nodeAs<SleepOperation>(list, 7);
  nodeAs<HandLROperation>(list, 8);
  nodeAs<JointOperation>(list, 9);
  nodeAs<HandLROperation>(list, 10);
  nodeAs<HandLROperation>(list, 11);
  nodeAs<SleepOperation>(list, 12);
  nodeAs<FingerDistanceLROperation>(list, 13);
  nodeAs<HandLROperation>(list, 14);
  EXPECT_EQ(nodeAs<JointOperation>(list, 15).pose_rad, initialPose());
  EXPECT_EQ(out.str(), "Planning / Tray picking.......[OK]\n......[OK]\n");
}

TEST_F(TrayTask, gripPointsAreTurnedToThePallet) {
  OperationList list;
  ASSERT_TRUE(plan(list).ok());
  const double gripZ = 0.015 + 0.05 + kTrayHandOffset_m;
  EXPECT_NEAR(gripZ, 0.1773, 1e-4);
  const auto& body = nodeAs<JointOperation>(list, 0);
  EXPECT_DOUBLE_EQ(body.pose_rad[kBodyHead][0], pickTurn);
  EXPECT_DOUBLE_EQ(body.time_s, 8.0);
  const auto& above = nodeAs<HandLROperation>(list, 1);
  expectTurnedPoint(above.left, 0.47, 0.15, gripZ + 0.1, pickTurn);
  expectTurnedPoint(above.right, 0.47, -0.15, gripZ + 0.1, pickTurn);
  EXPECT_DOUBLE_EQ(above.speed, 7.5);
  const auto& open = nodeAs<FingerDistanceLROperation>(list, 2);
  EXPECT_EQ(open.left_mm, 30.0);
  EXPECT_EQ(open.right_mm, 30.0);
  EXPECT_EQ(open.time_s, 0.3);
  const auto& grip = nodeAs<HandLROperation>(list, 3);
  expectTurnedPoint(grip.left, 0.47, 0.15, gripZ, pickTurn);
  expectTurnedPoint(grip.right, 0.47, -0.15, gripZ, pickTurn);
  EXPECT_DOUBLE_EQ(grip.speed, 5.0);
  const auto& close = nodeAs<FingerDistanceLROperation>(list, 5);
  EXPECT_EQ(close.left_mm, 0.0);
  EXPECT_EQ(close.time_s, 0.1);
  const auto& squeeze = nodeAs<HandLROperation>(list, 6);
  expectTurnedPoint(squeeze.left, 0.47, 0.14, gripZ, pickTurn);
  expectTurnedPoint(squeeze.right, 0.47, -0.14, gripZ, pickTurn);
  const auto& lift = nodeAs<HandLROperation>(list, 8);
  EXPECT_NEAR(0.05 + kTrayHandOffset_m + 0.15 + 0.032, 0.3443, 1e-4);
  expectTurnedPoint(lift.left, 0.47, 0.14, 0.05 + kTrayHandOffset_m + 0.15 + 0.032, pickTurn);
  expectTurnedPoint(lift.right, 0.47, -0.14, 0.05 + kTrayHandOffset_m + 0.15 + 0.032, pickTurn);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(links.reachQueries.at(i).chest_rad, pickTurn);
  }
  EXPECT_EQ(links.reachQueries.at(0).arm, Arm::left);
  EXPECT_EQ(links.reachQueries.at(1).arm, Arm::right);
}

TEST_F(TrayTask, putDownPointsFacingThePlace) {
  OperationList list;
  ASSERT_TRUE(plan(list).ok());
  const double putZ = 0.032 + 0.05 + kTrayHandOffset_m;
  const auto& body = nodeAs<JointOperation>(list, 9);
  EXPECT_DOUBLE_EQ(body.pose_rad[kBodyHead][0], 0.0);
  EXPECT_DOUBLE_EQ(body.pose_rad[kBodyHead][2], 0.45);
  const auto& put = nodeAs<HandLROperation>(list, 10);
  expectTurnedPoint(put.left, 0.47, 0.14, putZ, 0.0);
  expectTurnedPoint(put.right, 0.47, -0.14, putZ, 0.0);
  const auto& release = nodeAs<HandLROperation>(list, 11);
  expectTurnedPoint(release.left, 0.47, 0.15, putZ, 0.0);
  expectTurnedPoint(release.right, 0.47, -0.15, putZ, 0.0);
  const auto& retreat = nodeAs<HandLROperation>(list, 14);
  expectTurnedPoint(retreat.left, 0.47, 0.15, putZ + 0.1, 0.0);
}

TEST_F(TrayTask, putDownPlaceTurnsWithItsDirection) {
  config.directionPalletToBePlacedR_deg = -30.0;
  OperationList list;
  ASSERT_TRUE(plan(list).ok());
  const double turn = degToRad(-30.0);
  expectTurnedPoint(nodeAs<HandLROperation>(list, 10).left, 0.47, 0.14,
                    0.032 + 0.05 + kTrayHandOffset_m, turn);
  EXPECT_DOUBLE_EQ(links.reachQueries.back().chest_rad, turn);
}

struct TrayFailure {
  int failingQuery;
  const char* message;
  const char* taskLine;
};

void PrintTo(const TrayFailure& failure, std::ostream* out) { *out << failure.message; }

class TrayIkFailure : public TrayTask, public ::testing::WithParamInterface<TrayFailure> {};

TEST_P(TrayIkFailure, reportsTheNumberedCheck) {
  const TrayFailure failure = GetParam();
  int count = 0;
  links.reachable = [&](const fakes::IkQuery&) { return count++ != failure.failingQuery; };
  OperationList list;
  const Outcome planned = plan(list);
  ASSERT_FALSE(planned.ok());
  EXPECT_EQ(planned.failure().cause(), FailureCause::unreachable);
  EXPECT_EQ(planned.failure().lines(), std::vector<std::string>{failure.message});
  EXPECT_EQ(err.str(), "");
  count = 0;
  TaskContext task = context();
  EXPECT_EQ(processTray(task), "HIRO_TRAY_MANIP_ERROR");
  EXPECT_EQ(err.str(), std::string(failure.message) +
                           "\n\a\aPalkett::manipulateTray(): " + failure.taskLine + "\n");
  EXPECT_TRUE(links.trajectories.empty());
}

// Queries come in left/right pairs; failing the right one of a pair fails the check.
INSTANTIATE_TEST_SUITE_P(
    EveryCheck, TrayIkFailure,
    ::testing::Values(TrayFailure{1, "[IK failed. (2)]", "cannot calculate picking parameters."},
                      TrayFailure{2, "[IK failed. (4)]", "cannot calculate picking parameters."},
                      TrayFailure{5, "[IK failed. (7)]", "cannot calculate picking parameters."},
                      TrayFailure{6, "[IK failed. (9)]", "cannot calculate picking parameters."},
                      TrayFailure{8, "[IK failed. (11)]", "cannot calculate placing parameters."},
                      TrayFailure{10, "[IK failed. (10)]", "cannot calculate placing parameters."},
                      TrayFailure{13, "[IK failed. (15)]", "cannot calculate placing parameters."}),
    [](const auto& info) { return "query" + std::to_string(info.param.failingQuery); });

TEST_F(TrayTask, aFailedCallEndsATwoHandCheckWithNoLineOfItsOwn) {
  // The left hand cannot reach, and the right hand's query fails: the failed call wins, as
  // it was reported where it failed.
  links.reachable = [](const fakes::IkQuery& query) { return query.arm != Arm::left; };
  links.failingQuery = 1;
  OperationList list;
  const Outcome planned = plan(list);
  ASSERT_FALSE(planned.ok());
  EXPECT_EQ(planned.failure().cause(), FailureCause::callFailed);
  TaskContext task = context();
  links.reachQueries.clear();
  EXPECT_EQ(processTray(task), "HIRO_TRAY_MANIP_ERROR");
  EXPECT_EQ(err.str(), "");
}

TEST_F(TrayTask, continuesFromTheObjectTasksLastPose) {
  links.estimate.result = 0;
  links.estimate.classId = 0;
  links.estimate.size_m = {0.0, 0.03, 0.04};
  links.estimate.pose = HandPose{0.35, 0.1, 0.03, 0.0, 0.0, 0.0};
  TaskContext objectTask = context();
  ASSERT_EQ(processObj(objectTask), "HIRO_OBJ_MANIP_FINISHED");
  TaskContext trayTask = context();
  ASSERT_EQ(processTray(trayTask), "HIRO_TRAY_MANIP_FINISHED");
  ASSERT_EQ(links.trajectories.size(), 2u);
  const auto& objectEnd = links.trajectories[0].points_deg.back();
  const auto& trayStart = links.trajectories[1].points_deg.front();
  // The first tray node turns only the chest; everything else is where the object task ended,
  // the left hand still opened to 32 mm.
  EXPECT_NEAR(trayStart[0], 100.0, 1e-9);
  for (std::size_t k = 1; k < 24; ++k) {
    EXPECT_DOUBLE_EQ(trayStart[k], objectEnd[k]) << k;
  }
  EXPECT_NEAR(trayStart[19], radToDeg((*fingerAnglesFor(32.0, 0.0))[0]), 1e-9);
  EXPECT_FALSE(slots.isTaken(0, 1));
}

TEST_F(TrayTask, beforeAnyObjectTaskStartsFromTheInitialPose) {
  TaskContext task = context();
  ASSERT_EQ(processTray(task), "HIRO_TRAY_MANIP_FINISHED");
  ASSERT_EQ(links.trajectories.size(), 1u);
  const auto initial = controllerPointDeg(fullWorkingPose(initialPose()));
  const auto& first = links.trajectories[0].points_deg.front();
  for (std::size_t k = 1; k < 24; ++k) {
    EXPECT_DOUBLE_EQ(first[k], initial[k]) << k;
  }
  EXPECT_EQ(err.str(), "");
}

TEST_F(TrayTask, neverTouchesTheSlots) {
  slots.take(0);
  TaskContext task = context();
  processTray(task);
  EXPECT_TRUE(slots.isTaken(0, 0));
  EXPECT_FALSE(slots.isTaken(0, 1));
  EXPECT_EQ(err.str().find("no empty slot"), std::string::npos);
}

}  // namespace
}  // namespace pickplace
