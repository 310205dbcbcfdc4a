#include <shell/time_scale.h>

#include <gtest/gtest.h>

namespace {

TEST(TimeScale, onlyPositiveFiniteNumbersAreScales) {
  EXPECT_EQ(shell::parseTimeScale("4"), 4.0);
  EXPECT_EQ(shell::parseTimeScale(" 0.5 "), 0.5);
  for (const char* refused : {"", "0", "-2", "abc", "4x", "nan", "inf", "1e999"})
    EXPECT_FALSE(shell::parseTimeScale(refused).has_value()) << refused;
}

TEST(TimeScale, anUnsetScaleIsRealTime) {
  coil::Properties config;
  EXPECT_EQ(shell::timeScaleOf(config), 1.0);
  config.setProperty(shell::kTimeScaleKey, "3");
  EXPECT_EQ(shell::timeScaleOf(config), 3.0);
}

}  // namespace
