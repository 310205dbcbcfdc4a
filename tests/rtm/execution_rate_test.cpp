#include <rtm/ExecutionRate.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using TimePoint = std::chrono::steady_clock::time_point;

const TimePoint kStart{};
const milliseconds kPeriod{10};

TEST(ExecutionRate, ratesFromOnePerThousandSecondsToAMillionPerSecondAreUsable) {
  EXPECT_TRUE(RTC::isUsableRate(0.001));
  EXPECT_TRUE(RTC::isUsableRate(1000));
  EXPECT_TRUE(RTC::isUsableRate(1e6));
  EXPECT_FALSE(RTC::isUsableRate(0));
  EXPECT_FALSE(RTC::isUsableRate(-1));
  EXPECT_FALSE(RTC::isUsableRate(0.0009));
  EXPECT_FALSE(RTC::isUsableRate(1.5e6));
  EXPECT_FALSE(RTC::isUsableRate(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(RTC::isUsableRate(std::numeric_limits<double>::quiet_NaN()));
}

TEST(ExecutionRate, thePeriodIsRoundedToTheNearestNanosecond) {
  EXPECT_EQ(RTC::periodOf(1000), std::chrono::nanoseconds(1000000));
  EXPECT_EQ(RTC::periodOf(3), std::chrono::nanoseconds(333333333));
  EXPECT_EQ(RTC::periodOf(0.001), std::chrono::nanoseconds(1000000000000));
}

TEST(NextCycleStart, aCycleThatEndsInTimeIsFollowedOnTheGrid) {
  EXPECT_EQ(RTC::nextCycleStart(kStart, kPeriod, kStart + milliseconds(3)), kStart + kPeriod);
  // Started late, but the grid does not move with it.
  EXPECT_EQ(RTC::nextCycleStart(kStart + kPeriod, kPeriod, kStart + milliseconds(14)),
            kStart + 2 * kPeriod);
}

TEST(NextCycleStart, aShortOverrunIsCaughtUpByStartingTheNextCycleAtOnce) {
  const TimePoint next = RTC::nextCycleStart(kStart, kPeriod, kStart + milliseconds(15));
  EXPECT_EQ(next, kStart + kPeriod);  // already past: it starts at once, on its grid point
}

TEST(NextCycleStart, cyclesMissedByAWholePeriodOrMoreAreDroppedAndThePhaseKept) {
  // Ended 25 ms into a 10 ms period: the cycles of 10 and 20 ms are missed; the next one
  // starts at once in place of the 20 ms one, then 30 ms follows.
  const TimePoint next = RTC::nextCycleStart(kStart, kPeriod, kStart + milliseconds(35));
  EXPECT_EQ(next, kStart + 3 * kPeriod);
  EXPECT_EQ(RTC::nextCycleStart(next, kPeriod, kStart + milliseconds(36)), kStart + 4 * kPeriod);
  // Exactly one whole period behind counts as missed.
  EXPECT_EQ(RTC::nextCycleStart(kStart, kPeriod, kStart + milliseconds(20)), kStart + 2 * kPeriod);
}

TEST(NextCycleStart, aCallbackThatTakesTheWholePeriodKeepsThePace) {
  TimePoint scheduled = kStart;
  TimePoint now = kStart;
  for (int cycle = 0; cycle < 1000; ++cycle) {
    now = std::max(now, scheduled) + kPeriod + microseconds(50);  // a little over, every time
    scheduled = RTC::nextCycleStart(scheduled, kPeriod, now);
  }
  // 1000 cycles of 10.05 ms: the context falls behind by a whole period every 200 cycles
  // and dropped those, but every cycle it ran started on the grid.
  EXPECT_EQ((scheduled - kStart) % kPeriod, milliseconds(0));
  EXPECT_GE(scheduled, kStart + 1000 * kPeriod);
}

}  // namespace
