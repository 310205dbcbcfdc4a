#include "tools/port_data/rate_window.h"

#include <gtest/gtest.h>

namespace port_data {
namespace {

TEST(RateWindow, aSteadyTenHertzIsTenHertzWithNoSpread) {
  RateWindow window(100);
  EXPECT_FALSE(window.stats());
  for (int i = 0; i <= 20; ++i) window.add(i * 0.1);
  auto stats = window.stats();
  ASSERT_TRUE(stats);
  EXPECT_NEAR(stats->rate_hz, 10.0, 1e-9);
  EXPECT_NEAR(stats->minGap_s, 0.1, 1e-9);
  EXPECT_NEAR(stats->maxGap_s, 0.1, 1e-9);
  EXPECT_NEAR(stats->stdDevGap_s, 0.0, 1e-9);
  EXPECT_EQ(stats->window, 20u);
  EXPECT_EQ(window.arrivals(), 21u);
}

TEST(RateWindow, keepsOnlyTheLatestGaps) {
  RateWindow window(2);
  for (double t : {0.0, 1.0, 1.5, 2.0}) window.add(t);
  auto stats = window.stats();
  ASSERT_TRUE(stats);
  EXPECT_EQ(stats->window, 2u);
  EXPECT_NEAR(stats->rate_hz, 2.0, 1e-9);
  EXPECT_NEAR(stats->maxGap_s, 0.5, 1e-9);
}

TEST(RateWindow, unevenGapsGiveTheirSpread) {
  RateWindow window(10);
  for (double t : {0.0, 0.1, 0.4}) window.add(t);
  auto stats = window.stats();
  ASSERT_TRUE(stats);
  EXPECT_NEAR(stats->rate_hz, 5.0, 1e-9);
  EXPECT_NEAR(stats->minGap_s, 0.1, 1e-9);
  EXPECT_NEAR(stats->maxGap_s, 0.3, 1e-9);
  EXPECT_NEAR(stats->stdDevGap_s, 0.1, 1e-9);
  EXPECT_EQ(formatRate(*stats),
            "rate 5.000 Hz  min 0.1000 s  max 0.3000 s  std dev 0.10000 s  window 2");
  EXPECT_EQ(formatRateJson(*stats).find(R"({"rate_hz":5.0)"), 0u) << formatRateJson(*stats);
}

}  // namespace
}  // namespace port_data
