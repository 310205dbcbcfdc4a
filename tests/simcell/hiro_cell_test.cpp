#include "hiro_cell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "cell_fixtures.h"
#include "hardware_limits.h"
#include "toy_arm_kinematics.h"

namespace hirosim {
namespace {

using Points = std::vector<std::vector<double>>;
using Times = std::vector<double>;

constexpr double kRadPerDeg = M_PI / 180.0;
constexpr long kStepsPerSecond = 200;  // at the 5 ms control period
constexpr auto kTestTimeout = std::chrono::seconds(10);

// A 24-element point with every joint at zero except the ones given (degrees).
std::vector<double> point(std::initializer_list<std::pair<int, double>> joints_deg) {
  std::vector<double> p(HiroCell::kTrajectoryPointSize, 0.0);
  for (const auto& [index, value] : joints_deg) p[index] = value;
  return p;
}

class HiroCellTest : public ::testing::Test {
 protected:
  HiroCellTest()
      : cell_(
            testing::testScene(), std::make_shared<testing::ToyArmKinematics>(), startJoints(),
            [this](const std::string& line) { events_.push_back(line); },
            [this](const std::string& line) { refusals_.push_back(line); }) {}

  static JointVector startJoints() {
    JointVector joints{};
    joints[3] = 0.3;  // keep the toy arms' hands away from the objects
    joints[9] = 0.3;
    return joints;
  }

  void expectNothingMoved() {
    cell_.step(5 * kStepsPerSecond);
    EXPECT_EQ(cell_.joints(), startJoints());
    EXPECT_TRUE(cell_.idle({Channel::Sequence}));
  }

  // Starts a trajectory that must be refused with `code`.
  void expectRefused(const Points& points, const Times& times, OutcomeCode code) {
    const auto start = cell_.startTrajectory(points, times);
    EXPECT_EQ(start.outcome.code, code) << start.outcome.reason;
    EXPECT_FALSE(start.outcome.reason.empty());
    ASSERT_FALSE(refusals_.empty());
    EXPECT_NE(refusals_.back().find("movePTPJointAbsSeq refused: "), std::string::npos);
    expectNothingMoved();
  }

  std::vector<std::string> events_;
  std::vector<std::string> refusals_;
  HiroCell cell_;
};

TEST_F(HiroCellTest, trajectoryReachesEveryPointInItsTimeAndEndsAtTheLast) {
  const Points points{point({{0, 20.0}, {9, 10.0}}), point({{0, -10.0}, {22, 30.0}})};
  const auto start = cell_.startTrajectory(points, {2.0, 1.0});
  ASSERT_TRUE(start.outcome.ok()) << start.outcome.reason;

  cell_.step(kStepsPerSecond);  // halfway through the first move
  EXPECT_NEAR(cell_.joints()[0], 10.0 * kRadPerDeg, 1e-9);
  EXPECT_NEAR(cell_.joints()[9], 0.3 + (10.0 * kRadPerDeg - 0.3) / 2, 1e-9);

  cell_.step(kStepsPerSecond);  // first point reached
  EXPECT_NEAR(cell_.joints()[0], 20.0 * kRadPerDeg, 1e-9);
  EXPECT_FALSE(cell_.idle({Channel::Sequence}));

  cell_.step(kStepsPerSecond);
  const Outcome ended = cell_.awaitMotion(start.last);
  EXPECT_TRUE(ended.ok()) << ended.reason;
  const JointVector joints = cell_.joints();
  for (int i = 0; i < kJointCount; ++i) {
    EXPECT_NEAR(joints[i], points[1][i] * kRadPerDeg, 1e-12) << jointLabel(i);
  }
  EXPECT_TRUE(cell_.idle({Channel::Sequence}));
}

TEST_F(HiroCellTest, elementTwentyThreeCarriesNoJoint) {
  std::vector<double> p = point({{1, 5.0}});
  p[23] = 1e9;
  const auto start = cell_.startTrajectory({p}, {0.5});
  ASSERT_TRUE(start.outcome.ok()) << start.outcome.reason;
  cell_.step(kStepsPerSecond);
  EXPECT_TRUE(cell_.awaitMotion(start.last).ok());
  EXPECT_NEAR(cell_.joints()[1], 5.0 * kRadPerDeg, 1e-12);
}

TEST_F(HiroCellTest, protectiveStopHaltsTheTrajectoryWhereItIs) {
  const auto start = cell_.startTrajectory({point({{0, 40.0}}), point({{0, 0.0}})}, {4.0, 4.0});
  ASSERT_TRUE(start.outcome.ok());
  cell_.step(kStepsPerSecond);  // a quarter of the first move: 10 degrees
  cell_.engageProtectiveStop();
  const JointVector halted = cell_.joints();
  EXPECT_NEAR(halted[0], 10.0 * kRadPerDeg, 1e-9);

  const Outcome ended = cell_.awaitMotion(start.last);
  EXPECT_EQ(ended.code, OutcomeCode::Halted);
  EXPECT_NE(static_cast<long>(ended.code), 0);
  EXPECT_NE(ended.reason.find("protective stop"), std::string::npos);

  cell_.step(10 * kStepsPerSecond);
  EXPECT_EQ(cell_.joints(), halted);
}

TEST_F(HiroCellTest, motionIsRefusedUntilTheProtectiveStopIsDisengaged) {
  cell_.engageProtectiveStop();
  expectRefused({point({{0, 5.0}})}, {1.0}, OutcomeCode::ProtectiveStop);
  EXPECT_EQ(cell_.setJointAngles({{0.1, 0.0, 0.0}, {}, {}, {}, {}}, 1.0).code,
            OutcomeCode::ProtectiveStop);
  EXPECT_EQ(cell_.setFingerAngles("LHAND", {0.1, 0.1, 0.1, 0.1}, 1.0).code,
            OutcomeCode::ProtectiveStop);
  expectNothingMoved();

  cell_.disengageProtectiveStop();
  const auto start = cell_.startTrajectory({point({{0, 5.0}})}, {1.0});
  EXPECT_TRUE(start.outcome.ok());
}

TEST_F(HiroCellTest, blockedTrajectoryCallReturnsWhenAnotherThreadEngagesTheStop) {
  auto call = std::async(std::launch::async, [this] {
    return cell_.runTrajectory({point({{0, 90.0}})}, {100.0});
  });
  while (cell_.idle({Channel::Sequence})) {
    ASSERT_NE(call.wait_for(std::chrono::milliseconds(1)), std::future_status::ready);
  }
  cell_.step(10);
  cell_.engageProtectiveStop();
  ASSERT_EQ(call.wait_for(kTestTimeout), std::future_status::ready);
  EXPECT_EQ(call.get().code, OutcomeCode::Halted);
}

TEST_F(HiroCellTest, shutdownEndsEveryBlockedCall) {
  ASSERT_TRUE(cell_.setJointAngles({{0.1, 0.0, 0.0}, {}, {}, {}, {}}, 50.0).ok());
  auto wait =
      std::async(std::launch::async, [this] { return cell_.waitIdle({Channel::Sequence}); });
  auto run = std::async(std::launch::async, [this] {
    return cell_.runTrajectory({point({{0, 20.0}})}, {50.0});
  });
  cell_.step(5);
  cell_.shutdown();
  ASSERT_EQ(wait.wait_for(kTestTimeout), std::future_status::ready);
  ASSERT_EQ(run.wait_for(kTestTimeout), std::future_status::ready);
  EXPECT_FALSE(wait.get());
  EXPECT_NE(run.get().code, OutcomeCode::Ok);
  EXPECT_EQ(cell_.startTrajectory({point({})}, {1.0}).outcome.code, OutcomeCode::ShuttingDown);
}

TEST_F(HiroCellTest, pointOfWrongLengthIsRefused) {
  std::vector<double> shortPoint(23, 0.0);
  expectRefused({point({}), shortPoint}, {1.0, 1.0}, OutcomeCode::InvalidArgument);
  EXPECT_NE(refusals_.back().find("point 1 has 23 elements, 24 expected"), std::string::npos);
}

TEST_F(HiroCellTest, timesCountDifferentFromPointsCountIsRefused) {
  expectRefused({point({{0, 5.0}}), point({})}, {1.0}, OutcomeCode::InvalidArgument);
}

TEST_F(HiroCellTest, negativeTimeIsRefused) {
  expectRefused({point({{0, 5.0}}), point({})}, {1.0, -0.5}, OutcomeCode::InvalidArgument);
}

TEST_F(HiroCellTest, nonFiniteTimeIsRefused) {
  expectRefused({point({{0, 5.0}})}, {std::nan("")}, OutcomeCode::InvalidArgument);
  expectRefused({point({{0, 5.0}})}, {INFINITY}, OutcomeCode::InvalidArgument);
}

TEST_F(HiroCellTest, nonFiniteJointValueIsRefused) {
  expectRefused({point({{0, 5.0}}), point({{12, std::nan("")}})}, {1.0, 1.0},
                OutcomeCode::InvalidArgument);
}

TEST_F(HiroCellTest, pointOutsideTheHardwareLimitsIsRefused) {
  // Left arm joint 3 ends at +3 degrees.
  expectRefused({point({{0, 5.0}}), point({{11, 4.0}})}, {1.0, 1.0}, OutcomeCode::OutsideLimits);
  EXPECT_NE(refusals_.back().find("left arm joint 3"), std::string::npos);
}

TEST_F(HiroCellTest, motionWithAServoOffIsRefused) {
  ASSERT_TRUE(cell_.switchServo("RHAND", false).ok());
  expectRefused({point({{0, 5.0}})}, {1.0}, OutcomeCode::ServoOff);
  EXPECT_NE(refusals_.back().find("RHAND"), std::string::npos);
}

TEST_F(HiroCellTest, theCoordinatorsInitialPoseIsInsideTheHardwareLimits) {
  const Points initial{{0,    0,    25.8, -23.3, -7.2, -156.2, 7.2, 22.5, 3.2, 23.3, -7.2, -156.2,
                        -7.2, 22.5, -3.2, 0,     0,    0,      0,   0,    0,   0,    0,    0}};
  const auto start = cell_.startTrajectory(initial, {2.0});
  EXPECT_TRUE(start.outcome.ok()) << start.outcome.reason;
}

TEST_F(HiroCellTest, switchingAServoOffHaltsTheMotion) {
  const auto start = cell_.startTrajectory({point({{0, 40.0}})}, {4.0});
  cell_.step(kStepsPerSecond);
  ASSERT_TRUE(cell_.switchServo("BODY", false).ok());
  const Outcome ended = cell_.awaitMotion(start.last);
  EXPECT_EQ(ended.code, OutcomeCode::Halted);
  EXPECT_NE(ended.reason.find("BODY"), std::string::npos);
}

TEST_F(HiroCellTest, unknownServoNameIsRefused) {
  EXPECT_EQ(cell_.switchServo("WAIST", true).code, OutcomeCode::InvalidArgument);
}

TEST_F(HiroCellTest, sequencePlayerKeepsTheJointsOfEmptyGroups) {
  const std::vector<double> rightArm{0.1, -0.2, -0.3, 0.4, 0.5, 0.6};
  ASSERT_TRUE(cell_.setJointAngles({{}, rightArm, {}, {}, {}}, 1.0).ok());
  EXPECT_FALSE(cell_.idle({Channel::Sequence}));
  cell_.step(kStepsPerSecond);
  EXPECT_TRUE(cell_.idle({Channel::Sequence}));
  JointVector expected = startJoints();
  for (int k = 0; k < 6; ++k) expected[3 + k] = rightArm[k];
  EXPECT_EQ(cell_.joints(), expected);
}

TEST_F(HiroCellTest, sequencePlayerRefusesAGroupOfTheWrongSize) {
  EXPECT_EQ(cell_.setJointAngles({{}, {0.1, 0.2}, {}, {}, {}}, 1.0).code,
            OutcomeCode::InvalidArgument);
  expectNothingMoved();
}

TEST_F(HiroCellTest, bothHandsOfTheGrasperMoveTogether) {
  ASSERT_TRUE(cell_.setFingerAngles("LHAND", {0.2, -0.2, -0.2, 0.2}, 0.5).ok());
  ASSERT_TRUE(cell_.setFingerAngles("RHAND", {0.1, -0.1, -0.1, 0.1}, 0.5).ok());
  const std::vector<Channel> hands{Channel::LeftHand, Channel::RightHand};
  EXPECT_FALSE(cell_.idle(hands));
  cell_.step(kStepsPerSecond / 2);
  EXPECT_TRUE(cell_.idle(hands));
  EXPECT_DOUBLE_EQ(cell_.joints()[19], 0.2);
  EXPECT_DOUBLE_EQ(cell_.joints()[15], 0.1);
}

TEST_F(HiroCellTest, grasperRefusesAnUnknownHand) {
  EXPECT_EQ(cell_.setFingerAngles("XHAND", {0, 0, 0, 0}, 0.5).code, OutcomeCode::InvalidArgument);
}

TEST_F(HiroCellTest, armControlMovesTheHandToThePoseAndIsBusyMeanwhile) {
  const geometry::Pose6 target{0.3, 0.2, 0.25, 0.3, -M_PI / 2, 0.0};
  ASSERT_TRUE(cell_.setHandTarget(Side::Left, target, 1.0).ok());
  cell_.step(kStepsPerSecond / 2);
  EXPECT_TRUE(cell_.armBusy(Side::Left));
  EXPECT_FALSE(cell_.armBusy(Side::Right));
  cell_.step(kStepsPerSecond / 2);
  EXPECT_FALSE(cell_.armBusy(Side::Left));
  const geometry::Frame reached = geometry::frameFromPose(cell_.handPose(Side::Left));
  const geometry::Frame wanted = geometry::frameFromPose(target);
  EXPECT_NEAR((reached.translation() - wanted.translation()).norm(), 0.0, 1e-9);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(reached.linear()(i, j), wanted.linear()(i, j), 1e-9);
  }
}

TEST_F(HiroCellTest, armControlRefusesAnUnreachablePose) {
  EXPECT_EQ(cell_.setHandTarget(Side::Right, {2.0, 0.0, 0.3, 0, -M_PI / 2, 0}, 1.0).code,
            OutcomeCode::Unreachable);
  expectNothingMoved();
}

TEST_F(HiroCellTest, sequenceMotionOfAnArmMakesThatArmBusy) {
  ASSERT_TRUE(cell_.startTrajectory({point({{5, -10.0}})}, {1.0}).outcome.ok());
  cell_.step(1);
  EXPECT_TRUE(cell_.armBusy(Side::Right));
}

// The robot carries object 0 of the test scene to the tray with the toy arm: the cell
// turns joint motion into hand motion and grasp events.
TEST_F(HiroCellTest, handMotionThroughJointsGraspsAndPlacesTheObject) {
  const double depth_m = 0.075 + 0.0419;  // fingertips at finger angle 0
  const double gripZ = testing::kTableZ_m + testing::kObjectHeight_m - 0.02 + depth_m;
  const auto hand = [](double x, double y, double z) {
    return geometry::Pose6{x, y, z, 0.0, -M_PI / 2, 0.0};
  };
  const auto fingers = [](double angle) { return std::vector<double>{angle, 0, -angle, 0}; };
  const double open = 0.4;     // about 70 mm
  const double closed = -0.1;  // about 30 mm minus 4 mm
  ASSERT_TRUE(cell_.setFingerAngles("LHAND", fingers(open), 0.2).ok());
  ASSERT_TRUE(cell_.setHandTarget(Side::Left, hand(0.35, 0.1, gripZ + 0.05), 1.0).ok());
  ASSERT_TRUE(cell_.setHandTarget(Side::Left, hand(0.35, 0.1, gripZ), 1.0).ok());
  cell_.step(3 * kStepsPerSecond);
  ASSERT_TRUE(cell_.setFingerAngles("LHAND", fingers(closed), 0.2).ok());
  cell_.step(kStepsPerSecond);
  ASSERT_EQ(events_, std::vector<std::string>{"object 0 grasped by left hand"});
  ASSERT_TRUE(cell_.setHandTarget(Side::Left, hand(0.0, 0.45, gripZ + 0.05), 2.0).ok());
  cell_.step(3 * kStepsPerSecond);
  ASSERT_TRUE(cell_.setFingerAngles("LHAND", fingers(open), 0.2).ok());
  cell_.step(kStepsPerSecond);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[1].rfind("object 0 released on tray at (0.000, 0.450, 0.015) m", 0), 0u)
      << events_[1];
  EXPECT_EQ(cell_.objectPlaces()[0].support, Support::Tray);
}

}  // namespace
}  // namespace hirosim
