#include <coil/Properties.h>
#include <coil/stringutil.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

const char* const kProfile[] = {
    "type_name",
    "Torvane",
    "max_instance",
    "1",
    "conf.default.LOOP_TIME",
    "0.50",
    "conf.__widget__.LOOP_TIME",
    "text",
    "",
    "never_read",
    "x",
};

TEST(Properties, tableIsReadUpToTheEmptyKeyWhateverTheCount) {
  coil::Properties profile(kProfile, 2147483647);
  EXPECT_EQ(profile.getProperty("type_name"), "Torvane");
  EXPECT_EQ(profile.getProperty("conf.default.LOOP_TIME"), "0.50");
  EXPECT_FALSE(profile.hasKey("never_read"));
  EXPECT_EQ(profile.size(), 4u);
}

TEST(Properties, countLimitsTheTable) {
  coil::Properties profile(kProfile, 4);
  EXPECT_TRUE(profile.hasKey("max_instance"));
  EXPECT_FALSE(profile.hasKey("conf.default.LOOP_TIME"));
}

TEST(Properties, valueHidesDefaultAndFallsBackToIt) {
  coil::Properties properties(kProfile);
  EXPECT_EQ(properties.getProperty("max_instance"), "1");
  properties.setProperty("max_instance", "3");
  EXPECT_EQ(properties.getProperty("max_instance"), "3");
  EXPECT_EQ(properties.getDefault("max_instance"), "1");
  EXPECT_EQ(properties.getProperty("missing", "fallback"), "fallback");
  properties["new.key"] = "v";
  EXPECT_EQ(properties.getProperty("new.key"), "v");
}

TEST(Properties, loadReadsColonAndEqualsCommentsAndContinuations) {
  std::istringstream text(
      "# comment\n"
      "corba.nameservers: 127.0.0.1:2809\n"
      "  exec_cxt.periodic.rate = 100  \n"
      "! another comment\n"
      "naming.formats: %h.host_cxt/\\\n"
      "  %n.rtc\n"
      "empty.value:\n");
  coil::Properties config;
  config.load(text);
  EXPECT_EQ(config.getProperty("corba.nameservers"), "127.0.0.1:2809");
  EXPECT_EQ(config.getProperty("exec_cxt.periodic.rate"), "100");
  EXPECT_EQ(config.getProperty("naming.formats"), "%h.host_cxt/%n.rtc");
  EXPECT_TRUE(config.hasKey("empty.value"));
  EXPECT_EQ(config.size(), 4u);
}

TEST(Properties, nodeCutsThePrefix) {
  coil::Properties config;
  config.setProperty("Hiro.Brisko.conf.default.PoseDB", "other.csv");
  config.setProperty("Hiro.Brisko0.x", "1");
  coil::Properties node = config.getNode("Hiro.Brisko");
  EXPECT_EQ(node.getProperty("conf.default.PoseDB"), "other.csv");
  EXPECT_FALSE(node.hasKey("x"));
  EXPECT_EQ(node.size(), 1u);
}

TEST(StringTo, numbersMustBeWholeText) {
  double value = 7.0;
  EXPECT_TRUE(coil::stringTo(value, "+0.350"));
  EXPECT_DOUBLE_EQ(value, 0.35);
  EXPECT_FALSE(coil::stringTo(value, "0.5x"));
  EXPECT_FALSE(coil::stringTo(value, ""));
  EXPECT_FALSE(coil::stringTo(value, "abc"));
  EXPECT_DOUBLE_EQ(value, 0.35);
  int count = 0;
  EXPECT_TRUE(coil::stringTo(count, " 3 "));
  EXPECT_EQ(count, 3);
  EXPECT_FALSE(coil::stringTo(count, "3.5"));
}

TEST(StringTo, unsignedRejectsNegative) {
  unsigned long value = 5;
  EXPECT_FALSE(coil::stringTo(value, "-1"));
  EXPECT_EQ(value, 5u);
}

TEST(StringTo, stringKeepsTextAndBoolReadsWords) {
  std::string text;
  EXPECT_TRUE(coil::stringTo(text, "pose-db.csv"));
  EXPECT_EQ(text, "pose-db.csv");
  bool flag = false;
  EXPECT_TRUE(coil::stringTo(flag, "YES"));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(coil::stringTo(flag, "false"));
  EXPECT_FALSE(flag);
  EXPECT_FALSE(coil::stringTo(flag, "maybe"));
}

}  // namespace
