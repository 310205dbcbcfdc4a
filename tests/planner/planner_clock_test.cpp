#include <planner/planner_clock.h>

#include <gtest/gtest.h>

namespace planner {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST(SimulatedMilliseconds, realTimeCountsWallMilliseconds) {
  EXPECT_EQ(simulatedMilliseconds(seconds(1), 1.0), 1000u);
  EXPECT_EQ(simulatedMilliseconds(std::chrono::microseconds(2999), 1.0), 2u);
}

TEST(SimulatedMilliseconds, aTimeScaleRunsTheCountThatMuchFaster) {
  EXPECT_EQ(simulatedMilliseconds(seconds(1), 8.0), 8000u);
  EXPECT_EQ(simulatedMilliseconds(milliseconds(62), 8.0), 496u);
  EXPECT_EQ(simulatedMilliseconds(milliseconds(250), 0.5), 125u);
}

TEST(SimulatedMilliseconds, wrapsLikeAThirtyTwoBitCounter) {
  EXPECT_EQ(simulatedMilliseconds(milliseconds(4294967296LL + 5), 1.0), 5u);
  EXPECT_EQ(simulatedMilliseconds(milliseconds(2147483648LL), 4.0), 0u);
}

}  // namespace
}  // namespace planner
