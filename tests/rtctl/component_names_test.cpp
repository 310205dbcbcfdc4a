#include "tools/rtctl/component_names.h"

#include <gtest/gtest.h>

namespace rtctl {
namespace {

const std::vector<std::string> kPaths = {
    "robot-pc.host_cxt/Brisko0.rtc",
    "robot-pc.host_cxt/Brisko1.rtc",
    "robot-pc.host_cxt/Palkett0.rtc",
    "laptop.host_cxt/Palkett0.rtc",
    "Torvane0.rtc",
};

TEST(ComponentNames, anInstanceNameMatchesTheLastPathComponentOnly) {
  EXPECT_EQ(matchComponentName(kPaths, "Brisko0"),
            std::vector<std::string>{"robot-pc.host_cxt/Brisko0.rtc"});
  EXPECT_EQ(matchComponentName(kPaths, "Torvane0"), std::vector<std::string>{"Torvane0.rtc"});
  EXPECT_TRUE(matchComponentName(kPaths, "Brisko").empty());
  EXPECT_TRUE(matchComponentName(kPaths, "risko0").empty());
  EXPECT_TRUE(matchComponentName(kPaths, "").empty());
}

TEST(ComponentNames, theSameInstanceNameOnTwoHostsIsAmbiguous) {
  EXPECT_EQ(matchComponentName(kPaths, "Palkett0").size(), 2u);
}

TEST(ComponentNames, aNamingPathMatchesExactlyWithOrWithoutALeadingSlash) {
  EXPECT_EQ(matchComponentName(kPaths, "laptop.host_cxt/Palkett0.rtc"),
            std::vector<std::string>{"laptop.host_cxt/Palkett0.rtc"});
  EXPECT_EQ(matchComponentName(kPaths, "/laptop.host_cxt/Palkett0.rtc").size(), 1u);
  EXPECT_TRUE(matchComponentName(kPaths, "other.host_cxt/Palkett0.rtc").empty());
  EXPECT_TRUE(isNamingPath("Brisko0.rtc"));
  EXPECT_FALSE(isNamingPath("Brisko0"));
}

TEST(ComponentNames, instanceNameOfPathDropsContextAndKind) {
  EXPECT_EQ(instanceNameOfPath("robot-pc.host_cxt/Brisko0.rtc"), "Brisko0");
  EXPECT_EQ(instanceNameOfPath("Torvane0.rtc"), "Torvane0");
}

}  // namespace
}  // namespace rtctl
