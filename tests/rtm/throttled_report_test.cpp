#include <rtm/ThrottledReport.h>

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

TEST(ThrottledReport, theFirstOccurrenceIsReportedThenAtMostOncePerInterval) {
  RTC::ThrottledReport report(std::chrono::seconds(1));
  const RTC::ThrottledReport::Clock::time_point start{};
  EXPECT_TRUE(report.occurred(start));
  EXPECT_EQ(report.count(), 1u);
  int reports = 0;
  for (int i = 1; i < 1000; ++i) reports += report.occurred(start + milliseconds(i)) ? 1 : 0;
  EXPECT_EQ(reports, 0);
  EXPECT_EQ(report.count(), 1000u);
  EXPECT_TRUE(report.occurred(start + milliseconds(1000)));
  EXPECT_EQ(report.count(), 1001u);
  EXPECT_FALSE(report.occurred(start + milliseconds(1999)));
  EXPECT_TRUE(report.occurred(start + milliseconds(5000)));
}

}  // namespace
