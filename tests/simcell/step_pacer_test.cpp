#include "step_pacer.h"

#include <gtest/gtest.h>

#include "cell_fixtures.h"
#include "hiro_cell.h"
#include "toy_arm_kinematics.h"

namespace hirosim {
namespace {

constexpr double kPeriod_s = HiroCell::kControlPeriod_s;

TEST(StepPacer, firstReadingOnlySetsTheOrigin) {
  StepPacer pacer(1.0, kPeriod_s);
  EXPECT_EQ(pacer.stepsDue(100.0), 0);
  EXPECT_EQ(pacer.stepsDue(101.0), 200);
  EXPECT_DOUBLE_EQ(pacer.simulatedTime_s(), 1.0);
}

TEST(StepPacer, timeScaleRunsSimulatedTimeFasterThanTheClock) {
  StepPacer pacer(10.0, kPeriod_s);
  pacer.stepsDue(0.0);
  EXPECT_EQ(pacer.stepsDue(0.5), 1000);
  EXPECT_DOUBLE_EQ(pacer.simulatedTime_s(), 5.0);
}

TEST(StepPacer, readingsBetweenStepsOweNothing) {
  StepPacer pacer(1.0, kPeriod_s);
  pacer.stepsDue(0.0);
  EXPECT_EQ(pacer.stepsDue(0.004), 0);
  EXPECT_EQ(pacer.stepsDue(0.006), 1);
  EXPECT_EQ(pacer.stepsDue(0.009), 0);
  EXPECT_EQ(pacer.stepsDue(0.0101), 1);
}

TEST(StepPacer, aJointMoveOfEightSecondsEndsAfterOneWallSecondAtScaleEight) {
  HiroCell cell(testing::testScene(), std::make_shared<testing::ToyArmKinematics>(), JointVector{},
                nullptr, nullptr);
  std::vector<double> target(HiroCell::kTrajectoryPointSize, 0.0);
  target[0] = 30.0;
  const auto start = cell.startTrajectory({target}, {8.0});
  ASSERT_TRUE(start.outcome.ok());

  StepPacer pacer(8.0, kPeriod_s);
  pacer.stepsDue(0.0);
  cell.step(pacer.stepsDue(0.5));
  EXPECT_FALSE(cell.idle({Channel::Sequence}));
  cell.step(pacer.stepsDue(1.0));
  EXPECT_TRUE(cell.idle({Channel::Sequence}));
  EXPECT_DOUBLE_EQ(cell.simulatedTime_s(), 8.0);
  EXPECT_TRUE(cell.awaitMotion(start.last).ok());
}

}  // namespace
}  // namespace hirosim
