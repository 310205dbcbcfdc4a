#include <gtest/gtest.h>

#include <cmath>

#include "angles.h"
#include "finger_geometry.h"
#include "object_task.h"
#include "planning_geometry.h"
#include "task_fixture.h"

namespace pickplace {
namespace {

constexpr double kHandOffset30mm_m = (116.70857 - 20.0) / 1000.0;

class ObjectTask : public ::testing::Test, protected TaskFixture {
 protected:
  void estimateClass(long classId, double estimatedY_m = 0.05) {
    links.estimate.result = 0;
    links.estimate.classId = classId;
    links.estimate.size_m = {0.02, 0.07, 0.04};
    links.estimate.pose = HandPose{0.35, estimatedY_m, 0.03, 0.0, 0.0, 0.3};
  }

  std::string run() {
    TaskContext task = context();
    return processObj(task);
  }

  // Plans picking and placing of a 30 mm wide, 40 mm high object at `pose` into `slot`.
  Outcome plan(const HandPose& pose, const SlotPosition& slot, OperationList& list, Arm& arm) {
    TaskContext task = context();
    const ObjectSize size{0.0, 0.03, 0.04};
    const double h = *objectHandOffset_m(0.03, config.serialNo);
    Result<Arm> picking = planObjectPicking(task, size, pose, slot, h, list);
    if (!picking) {
      return picking.takeFailure();
    }
    arm = *picking;
    return planObjectPlacing(task, size, slot, h, arm, list);
  }

  const HandPose objectPose{0.35, 0.1, 0.03, 0.0, 0.0, 0.3};
  const SlotPosition slot0{0.51, 0.03975, 0.022};
};

TEST_F(ObjectTask, classDecidesArmAndSlotColumn) {
  estimateClass(0, -0.2);  // class 0 is presented on the left whatever the estimate says
  EXPECT_EQ(run(), "HIRO_OBJ_MANIP_FINISHED");
  ASSERT_FALSE(links.reachQueries.empty());
  EXPECT_EQ(links.reachQueries.front().arm, Arm::left);
  EXPECT_DOUBLE_EQ(links.reachQueries.front().pose.y_m, 0.1);
  EXPECT_TRUE(slots.isTaken(0, 0));
  EXPECT_FALSE(slots.isTaken(1, 0));

  links.reachQueries.clear();
  estimateClass(1, 0.2);  // class 1 on the right
  EXPECT_EQ(run(), "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_EQ(links.reachQueries.front().arm, Arm::right);
  EXPECT_DOUBLE_EQ(links.reachQueries.front().pose.y_m, -0.1);
  EXPECT_TRUE(slots.isTaken(1, 0));
  EXPECT_NE(out.str().find("Object found.\n+id=1\n"), std::string::npos);
  EXPECT_NE(out.str().find("width  = 50.0[mm]\nheight = 40.0[mm]\nyaw    = 17.2[deg]\n"),
            std::string::npos)
      << out.str();
}

TEST_F(ObjectTask, slotsFillInOrderThenNoEmptySlot) {
  estimateClass(0);
  EXPECT_EQ(run(), "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_TRUE(slots.isTaken(0, 0));
  EXPECT_FALSE(slots.isTaken(0, 1));
  EXPECT_EQ(run(), "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_TRUE(slots.isTaken(0, 1));
  EXPECT_EQ(err.str(), "");
  const std::size_t queriesBefore = links.reachQueries.size();
  EXPECT_EQ(run(), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_EQ(err.str(), "\a\a\a\aPalkett::manipulateSingleObject(): no empty slot.\n");
  EXPECT_EQ(links.reachQueries.size(), queriesBefore);
  EXPECT_EQ(links.trajectories.size(), 2u);
}

TEST_F(ObjectTask, secondObjectGoesToTheNearerSlot) {
  OperationList first, second;
  Arm arm;
  ASSERT_TRUE(plan(objectPose, slots.position(0, 0), first, arm).ok());
  ASSERT_TRUE(plan(objectPose, slots.position(0, 1), second, arm).ok());
  const double turn = degToRad(100.0);
  // Slot 1 lies 0.08 m nearer along the pallet's x, turned by 100 degrees.
  const auto& put0 = nodeAs<HandOperation>(first, 9).pose;
  const auto& put1 = nodeAs<HandOperation>(second, 9).pose;
  EXPECT_NEAR(put0.x_m - put1.x_m, 0.08 * std::cos(turn), 1e-12);
  EXPECT_NEAR(put0.y_m - put1.y_m, 0.08 * std::sin(turn), 1e-12);
}

TEST_F(ObjectTask, classWithoutSlotsOccupiesNothing) {
  estimateClass(2);
  EXPECT_EQ(run(), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_NE(err.str().find("\a\a\a\aPalkett::manipulateSingleObject(): no empty slot."),
            std::string::npos);
  for (int id = 0; id < 2; ++id) {
    for (int slot = 0; slot < 2; ++slot) {
      EXPECT_FALSE(slots.isTaken(id, slot));
    }
  }
}

TEST_F(ObjectTask, noObjectFound) {
  links.estimate.result = -1;
  links.estimate.classId = 4;
  EXPECT_EQ(run(), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_NE(out.str().find("-id=4\n"), std::string::npos);
  EXPECT_TRUE(links.trajectories.empty());
}

TEST_F(ObjectTask, pickingNodesTargetsSpeedsAndTimes) {
  OperationList list;
  Arm arm = Arm::right;
  ASSERT_TRUE(plan(objectPose, slot0, list, arm).ok());
  EXPECT_EQ(arm, Arm::left);
  ASSERT_EQ(list.size(), 15u);

  const double graspZ = 0.032 + 0.04 + kHandOffset30mm_m;
  const auto& approach = nodeAs<HandOperation>(list, 0);
  EXPECT_EQ(approach.arm, Arm::left);
  EXPECT_DOUBLE_EQ(approach.pose.x_m, 0.35);
  EXPECT_DOUBLE_EQ(approach.pose.y_m, 0.1);
  EXPECT_NEAR(approach.pose.z_m, graspZ + 0.05, 1e-6);
  EXPECT_DOUBLE_EQ(approach.pose.roll_rad, 0.3);
  EXPECT_DOUBLE_EQ(approach.pose.pitch_rad, -kPi / 2.0);
  EXPECT_DOUBLE_EQ(approach.pose.yaw_rad, 0.0);
  EXPECT_DOUBLE_EQ(approach.speed, 7.5);

  const auto& open = nodeAs<FingerDistanceOperation>(list, 1);
  EXPECT_DOUBLE_EQ(open.opening_mm, 70.0);
  EXPECT_DOUBLE_EQ(open.time_s, 0.1);

  const auto& graspNode = nodeAs<HandOperation>(list, 2);
  EXPECT_NEAR(graspNode.pose.z_m, graspZ, 1e-6);
  EXPECT_DOUBLE_EQ(graspNode.speed, 2.5);

  EXPECT_DOUBLE_EQ(nodeAs<SleepOperation>(list, 3).seconds, 0.2);
  const auto& close = nodeAs<FingerAngleOperation>(list, 4);
  const auto expectedGrip = *fingerAnglesFor(29.0, degToRad(8.0));
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_NEAR(close.angles_rad[k], expectedGrip[k], 1e-12);
    EXPECT_NEAR(grasp[k], expectedGrip[k], 1e-12);
  }
  EXPECT_DOUBLE_EQ(close.time_s, 0.1);
  EXPECT_DOUBLE_EQ(nodeAs<SleepOperation>(list, 5).seconds, 0.2);

  const auto& lift = nodeAs<HandOperation>(list, 6);
  // The higher of 0.15 m above the grasp and the slot's clearance: here the former.
  EXPECT_NEAR(lift.pose.z_m, graspZ + 0.15, 1e-6);
  EXPECT_DOUBLE_EQ(lift.speed, 5.0);
  EXPECT_EQ(out.str().find("Planning / Obj picking (Common I/F).......[OK]\n"), 0u) << out.str();
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(links.reachQueries.at(i).chest_rad, 0.0) << i;
  }
}

TEST_F(ObjectTask, placingNodesTargetsSpeedsAndTimes) {
  OperationList list;
  Arm arm;
  ASSERT_TRUE(plan(objectPose, slot0, list, arm).ok());
  const double turn = degToRad(100.0);
  const double putX = 0.51 * std::cos(turn) - 0.03975 * std::sin(turn);
  const double putY = 0.51 * std::sin(turn) + 0.03975 * std::cos(turn);
  const double putZ = 0.022 + 0.04 + kHandOffset30mm_m;
  const double chest = std::atan2(putY, putX);

  const auto& body = nodeAs<JointOperation>(list, 7);
  ASSERT_EQ(body.pose_rad.size(), 5u);
  EXPECT_NEAR(body.pose_rad[0][0], chest, 1e-12);
  EXPECT_DOUBLE_EQ(body.pose_rad[0][2], 0.45);
  EXPECT_TRUE(body.pose_rad[1].empty());
  EXPECT_DOUBLE_EQ(body.time_s, 8.0);

  const auto& above = nodeAs<HandOperation>(list, 8);
  EXPECT_NEAR(above.pose.x_m, putX, 1e-12);
  EXPECT_NEAR(above.pose.y_m, putY, 1e-12);
  EXPECT_NEAR(above.pose.z_m, putZ + 0.1, 1e-6);
  EXPECT_DOUBLE_EQ(above.pose.roll_rad, turn);
  EXPECT_DOUBLE_EQ(above.speed, 7.5);
  const auto& put = nodeAs<HandOperation>(list, 9);
  EXPECT_NEAR(put.pose.z_m, putZ, 1e-6);
  EXPECT_DOUBLE_EQ(put.speed, 7.5);
  EXPECT_DOUBLE_EQ(nodeAs<SleepOperation>(list, 10).seconds, 0.2);
  const auto& release = nodeAs<FingerDistanceOperation>(list, 11);
  EXPECT_DOUBLE_EQ(release.opening_mm, 32.0);
  EXPECT_DOUBLE_EQ(release.time_s, 0.1);
  EXPECT_DOUBLE_EQ(nodeAs<SleepOperation>(list, 12).seconds, 0.2);
  EXPECT_NEAR(nodeAs<HandOperation>(list, 13).pose.z_m, putZ + 0.1, 1e-6);
  const auto& home = nodeAs<JointOperation>(list, 14);
  EXPECT_EQ(home.pose_rad, initialPose());
  EXPECT_DOUBLE_EQ(home.time_s, 8.0);
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_TRUE(list[i]->wait()) << i;
  }
  // The placing checks use the chest angle of the placing pose.
  EXPECT_NEAR(links.reachQueries.back().chest_rad, chest, 1e-12);
}

TEST_F(ObjectTask, jointMovesFollowSpeedBase) {
  for (const auto& [speed, seconds] : {std::pair{5.0, 8.0}, {17.5, 5.0}, {40.0, 2.0}}) {
    config.speedBase = speed;
    OperationList list;
    Arm arm;
    ASSERT_TRUE(plan(objectPose, slot0, list, arm).ok());
    EXPECT_DOUBLE_EQ(nodeAs<JointOperation>(list, 7).time_s, seconds) << speed;
    EXPECT_DOUBLE_EQ(nodeAs<JointOperation>(list, 14).time_s, seconds) << speed;
  }
}

TEST_F(ObjectTask, longHandUnitRaisesEveryHandTarget) {
  OperationList standard, longHand;
  Arm arm;
  ASSERT_TRUE(plan(objectPose, slot0, standard, arm).ok());
  config.serialNo = 11;
  ASSERT_TRUE(plan(objectPose, slot0, longHand, arm).ok());
  int hands = 0;
  for (std::size_t i = 0; i < standard.size(); ++i) {
    const auto* a = dynamic_cast<const HandOperation*>(standard[i].get());
    if (!a) {
      continue;
    }
    ++hands;
    const auto& b = nodeAs<HandOperation>(longHand, i);
    EXPECT_NEAR(b.pose.z_m - a->pose.z_m, 0.059, 1e-12) << i;
    EXPECT_DOUBLE_EQ(b.pose.x_m, a->pose.x_m) << i;
  }
  EXPECT_EQ(hands, 6);
}

struct NumberedFailure {
  int failingQuery;  // 0-based index of the reachability query that fails
  const char* message;
  const char* taskLine;
};

void PrintTo(const NumberedFailure& failure, std::ostream* out) { *out << failure.message; }

class ObjectIkFailure : public ObjectTask, public ::testing::WithParamInterface<NumberedFailure> {};

TEST_P(ObjectIkFailure, reportsTheNumberedCheck) {
  const NumberedFailure failure = GetParam();
  int count = 0;
  links.reachable = [&](const fakes::IkQuery&) { return count++ != failure.failingQuery; };
  estimateClass(0);
  EXPECT_EQ(run(), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_EQ(err.str(), std::string(failure.message) +
                           "\n\a\aPalkett::manipulateSingleObject(): " + failure.taskLine + "\n");
  EXPECT_TRUE(links.trajectories.empty());
  EXPECT_TRUE(slots.isTaken(0, 0)) << "a failed plan keeps its slot";
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheck, ObjectIkFailure,
    ::testing::Values(
        NumberedFailure{0, "IK failed. (1)", "cannot calculate picking parameters."},
        NumberedFailure{1, "IK failed. (3)", "cannot calculate picking parameters."},
        NumberedFailure{2, "IK failed. (7)", "cannot calculate picking parameters."},
        NumberedFailure{3, "[IK failed. (2)]", "cannot calculate placing parameters."},
        NumberedFailure{4, "[IK failed. (3)]", "cannot calculate placing parameters."},
        NumberedFailure{5, "[IK failed. (7)]", "cannot calculate placing parameters."}),
    [](const auto& info) { return "query" + std::to_string(info.param.failingQuery); });

TEST_F(ObjectTask, failedPlanNamesTheCheckAndKeepsTheNodesSoFar) {
  int count = 0;
  links.reachable = [&](const fakes::IkQuery&) { return count++ != 5; };
  OperationList list;
  Arm arm;
  const Outcome planned = plan(objectPose, slot0, list, arm);
  ASSERT_FALSE(planned.ok());
  EXPECT_EQ(planned.failure().cause(), FailureCause::unreachable);
  EXPECT_EQ(planned.failure().lines(), std::vector<std::string>{"[IK failed. (7)]"});
  EXPECT_EQ(list.size(), 13u);
  EXPECT_EQ(err.str(), "") << "a plan step reports nothing itself";
}

TEST_F(ObjectTask, withoutControllerTheTaskFails) {
  estimateClass(0);
  TaskContext task = context(false);
  EXPECT_EQ(processObj(task), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_NE(err.str().find("\a\aPalkett::manipulateSingleObject(): cannot pick & place object."),
            std::string::npos);
  EXPECT_EQ(lastPose.size(), 5u);
}

}  // namespace
}  // namespace pickplace
