#include "tools/rtctl/respawn_policy.h"

#include <gtest/gtest.h>

namespace rtctl {
namespace {

TEST(RespawnSchedule, aProgramThatRanSteadilyStartsAgainAtOnceEveryTime) {
  RespawnSchedule schedule;
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(schedule.afterEnd(RespawnSchedule::kSteadyRun_s + 1), 0.0);
  }
}

TEST(RespawnSchedule, quickEndsWaitLongerEachTimeAndThenGiveUp) {
  RespawnSchedule schedule;
  EXPECT_EQ(schedule.afterEnd(0.1), 0.0);
  EXPECT_EQ(schedule.afterEnd(0.1), 0.5);
  EXPECT_EQ(schedule.afterEnd(0.1), 1.0);
  EXPECT_EQ(schedule.afterEnd(0.1), 2.0);
  EXPECT_FALSE(schedule.afterEnd(0.1).has_value());
  EXPECT_EQ(schedule.quickEnds(), RespawnSchedule::kMaxQuickEnds);
}

TEST(RespawnSchedule, aSteadyRunForgivesEarlierQuickEnds) {
  RespawnSchedule schedule;
  schedule.afterEnd(0.1);
  schedule.afterEnd(0.1);
  schedule.afterEnd(0.1);
  EXPECT_EQ(schedule.afterEnd(RespawnSchedule::kSteadyRun_s), 0.0);
  EXPECT_EQ(schedule.quickEnds(), 0);
  EXPECT_EQ(schedule.afterEnd(0.1), 0.0);
}

}  // namespace
}  // namespace rtctl
