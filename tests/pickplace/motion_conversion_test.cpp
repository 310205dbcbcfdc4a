#include <gtest/gtest.h>

#include <cmath>

#include "angles.h"
#include "finger_geometry.h"
#include "motion_conversion.h"
#include "planning_geometry.h"
#include "task_fixture.h"

namespace pickplace {
namespace {

using fakes::armSolutionFor;

class Conversion : public ::testing::Test, protected TaskFixture {
 protected:
  template <class Node, class... Args>
  void add(Args&&... args) {
    list.push_back(std::make_unique<Node>(std::forward<Args>(args)...));
  }

  Outcome execute(const JointAngles* start, bool controllerPresent = true) {
    TaskContext task = context(controllerPresent);
    return executeAction(task, list, start);
  }

  // Why the action failed; fails the test when it did not.
  FailureCause failureOf(const Outcome& outcome) {
    EXPECT_FALSE(outcome.ok());
    return outcome.ok() ? FailureCause::callFailed : outcome.failure().cause();
  }

  // The failure's lines, one after the other.
  std::string linesOf(const Outcome& outcome) {
    std::string text;
    for (const auto& line : outcome.ok() ? std::vector<std::string>{} : outcome.failure().lines()) {
      text += line + "\n";
    }
    return text;
  }

  const Trajectory& sent() {
    EXPECT_EQ(links.trajectories.size(), 1u);
    return links.trajectories.back();
  }

  OperationList list;
  const JointAngles start = initialPose();
};

TEST_F(Conversion, pauseRepeatsTheStartPose) {
  add<SleepOperation>(0.2);
  ASSERT_TRUE(execute(&start).ok());
  const Trajectory& trajectory = sent();
  ASSERT_EQ(trajectory.points_deg.size(), 1u);
  EXPECT_EQ(trajectory.times_s, std::vector<double>{0.2});
  const auto& point = trajectory.points_deg[0];
  ASSERT_EQ(point.size(), 24u);
  EXPECT_NEAR(point[2], 25.78, 0.01);
  EXPECT_NEAR(point[5], radToDeg(-2.727), 1e-9);
  EXPECT_NEAR(point[9], radToDeg(0.407), 1e-9);
  for (std::size_t k = 15; k < 24; ++k) {
    EXPECT_EQ(point[k], 0.0) << k;
  }
}

TEST_F(Conversion, pauseAfterAMoveHoldsThatMove) {
  add<FingerDistanceOperation>(Arm::right, 70.0, 0.1);
  add<SleepOperation>(0.2);
  ASSERT_TRUE(execute(&start).ok());
  const Trajectory& trajectory = sent();
  ASSERT_EQ(trajectory.points_deg.size(), 2u);
  EXPECT_EQ(trajectory.points_deg[1], trajectory.points_deg[0]);
  EXPECT_EQ(trajectory.times_s, (std::vector<double>{0.1, 0.2}));
}

TEST_F(Conversion, fingerOpeningMovesOnlyThatHand) {
  add<FingerDistanceOperation>(Arm::left, 70.0, 0.1);
  add<FingerDistanceOperation>(Arm::right, 38.0, 0.1);
  ASSERT_TRUE(execute(&start).ok());
  const Trajectory& trajectory = sent();
  const auto startPoint = controllerPointDeg(fullWorkingPose(start));
  const auto angles = *fingerAnglesFor(70.0, 0.0);
  const auto& first = trajectory.points_deg[0];
  for (std::size_t k = 0; k < 24; ++k) {
    if (k >= 19 && k <= 22) {
      EXPECT_DOUBLE_EQ(first[k], radToDeg(angles[k - 19])) << k;
    } else {
      EXPECT_DOUBLE_EQ(first[k], startPoint[k]) << k;
    }
  }
  // 38 mm is the straight finger: the right hand stays at zero.
  for (std::size_t k = 15; k <= 18; ++k) {
    EXPECT_NEAR(trajectory.points_deg[1][k], 0.0, 1e-12) << k;
  }
}

TEST_F(Conversion, handMoveTakesTheSolutionAndItsSegmentTime) {
  const HandPose target{0.3, 0.2, 0.25, 0.0, -kPi / 2.0, 0.0};
  add<HandOperation>(Arm::left, target, 7.5);
  ASSERT_TRUE(execute(&start).ok());
  const Trajectory& trajectory = sent();
  ASSERT_EQ(links.solveQueries.size(), 1u);
  EXPECT_EQ(links.solveQueries[0].chest_rad, start[kBodyHead][0]);
  const auto solution = armSolutionFor(target, 0.0);
  for (std::size_t k = 0; k < 6; ++k) {
    EXPECT_DOUBLE_EQ(trajectory.points_deg[0][9 + k], radToDeg(solution[k])) << k;
  }
  // Right arm untouched.
  EXPECT_DOUBLE_EQ(trajectory.points_deg[0][3], radToDeg(start[kRightArm][0]));
  double largest = 0.0;
  double sum = 0.0;
  for (std::size_t k = 0; k < 6; ++k) {
    const double change = std::fabs(solution[k] - start[kLeftArm][k]);
    largest = std::max(largest, change);
    sum += k > 0 ? change : 0.0;
  }
  const double expected = radToDeg(largest) / 9.75 + std::min(0.5, degToRad(10.0) * 0.5 / sum);
  EXPECT_NEAR(trajectory.times_s[0], expected, 1e-9);
}

TEST_F(Conversion, handMoveToWhereTheArmIsTakesHalfASecond) {
  const HandPose target{0.3, -0.2, 0.25, 0.0, -kPi / 2.0, 0.0};
  JointAngles here = initialPose();
  here[kRightArm] = armSolutionFor(target, here[kBodyHead][0]);
  add<HandOperation>(Arm::right, target, 5.0);
  ASSERT_TRUE(execute(&here).ok());
  EXPECT_DOUBLE_EQ(sent().times_s[0], 0.5);
}

TEST_F(Conversion, jointMoveKeepsTheGroupsItDoesNotGive) {
  JointAngles body = bodyPose();
  body[kBodyHead][0] = degToRad(100.0);
  add<JointOperation>(body, 8.0);
  ASSERT_TRUE(execute(&start).ok());
  const auto& point = sent().points_deg[0];
  EXPECT_NEAR(point[0], 100.0, 1e-9);
  EXPECT_DOUBLE_EQ(point[3], radToDeg(start[kRightArm][0]));
  EXPECT_EQ(sent().times_s[0], 8.0);
}

TEST_F(Conversion, twoHandMoveSolvesBothWithTheCurrentChestAndTakesTheLongerTime) {
  JointAngles body = bodyPose();
  body[kBodyHead][0] = 0.7;
  add<JointOperation>(body, 8.0);
  const HandPose left{0.2, 0.4, 0.2, 0.0, -kPi / 2.0, 0.0};
  const HandPose right{0.4, 0.2, 0.2, 0.0, -kPi / 2.0, 0.0};
  add<HandLROperation>(left, right, 5.0);
  ASSERT_TRUE(execute(&start).ok());
  ASSERT_EQ(links.solveQueries.size(), 2u);
  EXPECT_EQ(links.solveQueries[0].arm, Arm::left);
  EXPECT_EQ(links.solveQueries[0].chest_rad, 0.7);
  EXPECT_EQ(links.solveQueries[1].arm, Arm::right);
  JointAngles before = fullWorkingPose(start);
  before[kBodyHead][0] = 0.7;
  JointAngles qL(5), qR(5);
  qL[kLeftArm] = armSolutionFor(left, 0.7);
  qR[kRightArm] = armSolutionFor(right, 0.7);
  const double expected = std::max(segmentTime_s(Arm::left, before, qL, 5.0),
                                   segmentTime_s(Arm::right, before, qR, 5.0));
  EXPECT_DOUBLE_EQ(sent().times_s[1], expected);
}

TEST_F(Conversion, withoutControllerNothingIsSentButLastPoseMoves) {
  add<FingerDistanceOperation>(Arm::left, 70.0, 0.1);
  EXPECT_EQ(failureOf(execute(&start, false)), FailureCause::noController);
  EXPECT_TRUE(links.trajectories.empty());
  ASSERT_EQ(lastPose.size(), 5u);
  EXPECT_DOUBLE_EQ(lastPose[kLeftHand][0], (*fingerAnglesFor(70.0, 0.0))[0]);
  EXPECT_NE(
      out.str().find(">> nxutil::Hiro2HiroNX()\n0: Finger L (Distance): +70.0[mm]\nsecond = 0.100\n"
                     "<< nxutil::Hiro2HiroNX()\n"),
      std::string::npos)
      << out.str();
}

TEST_F(Conversion, noStartPoseContinuesFromLastPose) {
  add<FingerDistanceOperation>(Arm::left, 70.0, 0.1);
  ASSERT_TRUE(execute(&start).ok());
  list.clear();
  add<SleepOperation>(1.0);
  ASSERT_TRUE(execute(nullptr).ok());
  ASSERT_EQ(links.trajectories.size(), 2u);
  EXPECT_EQ(links.trajectories[1].points_deg[0], links.trajectories[0].points_deg[0]);
}

TEST_F(Conversion, missingIkSolutionFailsTheActionAndSendsNothing) {
  add<SleepOperation>(0.2);
  add<HandOperation>(Arm::left, HandPose{0.3, 0.2, 0.2, 0, -kPi / 2.0, 0}, 5.0);
  links.solveFails = true;
  const Outcome action = execute(&start);
  EXPECT_EQ(failureOf(action), FailureCause::noIkSolution);
  EXPECT_TRUE(links.trajectories.empty());
  EXPECT_TRUE(lastPose.empty());
  EXPECT_EQ(linesOf(action), "nxutil::Hiro2HiroNX(): node 1: no IK solution for hand L.\n");
}

TEST_F(Conversion, solutionWithoutTheArmsJointsFailsTheAction) {
  add<HandLROperation>(HandPose{0.3, 0.2, 0.2, 0, -kPi / 2.0, 0},
                       HandPose{0.3, -0.2, 0.2, 0, -kPi / 2.0, 0}, 5.0);
  links.solveEmpty = true;
  const Outcome action = execute(&start);
  EXPECT_EQ(failureOf(action), FailureCause::noIkSolution);
  EXPECT_TRUE(links.trajectories.empty());
  EXPECT_EQ(linesOf(action), "nxutil::Hiro2HiroNX(): node 0: no IK solution for hand L.\n");
}

TEST_F(Conversion, fingerOpeningBeyondTheHandFailsTheAction) {
  add<FingerDistanceLROperation>(30.0, 130.0, 0.3);
  const Outcome action = execute(&start);
  EXPECT_EQ(failureOf(action), FailureCause::fingerOutOfRange);
  EXPECT_EQ(linesOf(action),
            "nxutil::Hiro2HiroNX(): node 0: finger opening 130.0[mm] out of range.\n");
  EXPECT_TRUE(links.trajectories.empty());
}

TEST_F(Conversion, nonZeroControllerIdFailsTheAction) {
  add<SleepOperation>(0.2);
  links.controllerId = 7;
  EXPECT_EQ(failureOf(execute(&start)), FailureCause::controllerRefused);
}

TEST_F(Conversion, aStopBeforeSendingKeepsThePlanFromTheRobot) {
  add<SleepOperation>(0.2);
  world.stopRequested = true;
  EXPECT_EQ(failureOf(execute(&start)), FailureCause::stopped);
  EXPECT_TRUE(links.trajectories.empty());
  EXPECT_EQ(lastPose.size(), 5u) << "the converted pose is kept as when nothing is sent";
}

TEST(OperationPrint, lines) {
  EXPECT_EQ(
      HandOperation(Arm::left, HandPose{0.35, -0.1, 0.2, 0.0, -kPi / 2.0, kPi / 4.0}, 5.0).print(),
      "Hand L: +0.350, -0.100, +0.200,  +45.00,  -90.00,   +0.00\n");
  EXPECT_EQ(HandLROperation(HandPose{}, HandPose{0.1, 0, 0, 0, 0, 0}, 5.0).print(),
            "Hand LR: L/+0.000, +0.000, +0.000,   +0.00,   +0.00,   +0.00\n"
            "Hand LR: R/+0.100, +0.000, +0.000,   +0.00,   +0.00,   +0.00\n");
  EXPECT_EQ(
      FingerAngleOperation(
          Arm::right, FingerAngles{degToRad(10), degToRad(-18), degToRad(-10), degToRad(18)}, 0.1)
          .print(),
      "Finger R (Angle): (+10.0, -18.0, -10.0, +18.0)[deg]\n");
  EXPECT_EQ(FingerDistanceOperation(Arm::left, 70.0, 0.1).print(),
            "Finger L (Distance): +70.0[mm]\n");
  EXPECT_EQ(FingerDistanceLROperation(30.0, 0.0, 0.3).print(),
            "Finger LR (Distance): L/+30.0[mm] R/+0.0[mm]\n");
  EXPECT_EQ(JointOperation(initialPose(), 8.0).print(), "Joint: 15 joints\n");
  EXPECT_EQ(SleepOperation(0.2).print(), "Sleep : 0.200[s]\n");
}

}  // namespace
}  // namespace pickplace
