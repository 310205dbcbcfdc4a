// The repeats of the cycle's velocity command between two cycles.
#include "planner/command_keep_alive.h"

#include <gtest/gtest.h>

namespace planner {
namespace {

constexpr double kRepeat_s = 0.1;
// A LOOP_TIME of 0.5 s and one repeat more.
constexpr double kHold_s = 0.6;

TEST(CommandKeepAlive, nothingIsRepeatedBeforeTheFirstCommand) {
  CommandKeepAlive keepAlive(kRepeat_s);
  EXPECT_FALSE(keepAlive.repeatDue(5.0));
}

TEST(CommandKeepAlive, repeatsTheLatestCommandOncePerPeriodUntilTheNextCycle) {
  CommandKeepAlive keepAlive(kRepeat_s);
  keepAlive.commanded({0.3, -0.1}, 10.0, kHold_s);
  EXPECT_FALSE(keepAlive.repeatDue(10.05)) << "too soon after the cycle's own command";
  const auto first = keepAlive.repeatDue(10.11);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->vx_mps, 0.3);
  EXPECT_EQ(first->va_radps, -0.1);
  EXPECT_FALSE(keepAlive.repeatDue(10.16)) << "one repeat per period";
  EXPECT_TRUE(keepAlive.repeatDue(10.22));

  keepAlive.commanded({0.0, 0.5}, 10.5, kHold_s);
  EXPECT_FALSE(keepAlive.repeatDue(10.55));
  const auto next = keepAlive.repeatDue(10.61);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->vx_mps, 0.0);
  EXPECT_EQ(next->va_radps, 0.5);
}

TEST(CommandKeepAlive, aCycleLateByLessThanTheHoldKeepsTheBaseCommanded) {
  CommandKeepAlive keepAlive(kRepeat_s);
  keepAlive.commanded({0.3, 0.0}, 0.0, kHold_s);
  // The next cycle comes 0.08 s late (at 0.58 s instead of 0.5 s): no gap of 0.5 s in
  // between, and never a stop.
  double lastSent_s = 0.0;
  for (double now_s = 0.01; now_s < 0.58; now_s += 0.01) {
    if (const auto sent = keepAlive.repeatDue(now_s)) {
      EXPECT_EQ(sent->vx_mps, 0.3) << "at " << now_s;
      lastSent_s = now_s;
    }
    EXPECT_LT(now_s - lastSent_s, 0.15) << "at " << now_s;
  }
}

TEST(CommandKeepAlive, aCycleLaterThanTheHoldStopsTheBaseOnce) {
  CommandKeepAlive keepAlive(kRepeat_s);
  keepAlive.commanded({0.3, -0.2}, 0.0, kHold_s);
  const auto last = keepAlive.repeatDue(0.55);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->vx_mps, 0.3);
  const auto stop = keepAlive.repeatDue(0.65);
  ASSERT_TRUE(stop) << "the base must not drive on under a command past its period";
  EXPECT_EQ(stop->vx_mps, 0.0);
  EXPECT_EQ(stop->va_radps, 0.0);
  EXPECT_FALSE(keepAlive.repeatDue(0.8)) << "the base's watchdog must see a silent planner";
  EXPECT_FALSE(keepAlive.repeatDue(3.0));
  keepAlive.commanded({0.1, 0.0}, 3.1, kHold_s);
  EXPECT_EQ(keepAlive.repeatDue(3.2)->vx_mps, 0.1);
}

TEST(CommandKeepAlive, clearedOnDeactivationRepeatsNothing) {
  CommandKeepAlive keepAlive(kRepeat_s);
  keepAlive.commanded({0.3, 0.0}, 0.0, kHold_s);
  keepAlive.clear();
  EXPECT_FALSE(keepAlive.repeatDue(0.2));
}

}  // namespace
}  // namespace planner
