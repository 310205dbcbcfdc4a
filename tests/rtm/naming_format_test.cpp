#include <rtm/NamingFormat.h>

#include <gtest/gtest.h>

namespace {

TEST(NamingFormat, expandsTheFieldsOfTheDefaultFormat) {
  RTC::NamingFields fields;
  fields.instanceName = "Brisko0";
  fields.typeName = "Brisko";
  fields.hostName = "robot-pc";
  fields.processId = 4242;
  fields.category = "Hiro";
  EXPECT_EQ(RTC::expandNamingFormat("%h.host_cxt/%n.rtc", fields), "robot-pc.host_cxt/Brisko0.rtc");
  EXPECT_EQ(RTC::expandNamingFormat("%c/%t/%p/%n.rtc", fields), "Hiro/Brisko/4242/Brisko0.rtc");
  EXPECT_EQ(RTC::expandNamingFormat("100%%/%q", fields), "100%/%q");
}

TEST(NamingPath, splitsContextsAndIdKindAtTheLastDot) {
  auto parts = RTC::splitNamingPath("my.host.host_cxt/Brisko0.rtc");
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].id, "my.host");
  EXPECT_EQ(parts[0].kind, "host_cxt");
  EXPECT_EQ(parts[1].id, "Brisko0");
  EXPECT_EQ(parts[1].kind, "rtc");
}

TEST(NamingPath, partWithoutDotHasNoKindAndEmptyPartsAreSkipped) {
  auto parts = RTC::splitNamingPath("/robots//Palkett0");
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].id, "robots");
  EXPECT_EQ(parts[0].kind, "");
  EXPECT_EQ(parts[1].id, "Palkett0");
}

}  // namespace
