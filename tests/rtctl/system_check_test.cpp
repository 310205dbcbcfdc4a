#include "tools/rtctl/system_check.h"

#include <gtest/gtest.h>

#include "live_system_fixture.h"

namespace rtctl {
namespace {

Action line(const std::string& text) {
  SystemFileRead read = parseSystemFile(text, "f.system", "/", {});
  EXPECT_TRUE(read.file) << read.error;
  return read.file->actions.at(0);
}

TEST(SystemCheck, anExistingConnectionWithTheWantedPropertiesHolds) {
  LiveSystem live = smallSystem();
  LineCheck check = checkLine(line("connect Talker0:out Listener0:in"), live);
  EXPECT_TRUE(check.holds) << check.detail;
  EXPECT_TRUE(checkLine(line("connect Listener0:in Talker0:out"), live).holds);
  EXPECT_TRUE(checkLine(line("connect Caller0:echo Provider0:echo"), live).holds);
  EXPECT_TRUE(
      checkLine(line("connect Talker0:out Listener0:in subscription_type=FLUSH"), live).holds);
}

TEST(SystemCheck, aConnectionWithOtherPropertiesDiffersAndAMissingOneIsMissing) {
  LiveSystem live = smallSystem();
  ConnectionState state =
      connectionState(line("connect Talker0:out Listener0:in subscription_type=new"), live);
  EXPECT_EQ(state.error, "");
  EXPECT_TRUE(state.matching.empty());
  EXPECT_EQ(state.differing, std::vector<std::string>{"c-data"});
  EXPECT_EQ(checkLine(line("connect Talker0:out Listener0:in subscription_type=new"), live).detail,
            "connected with other properties");

  live[1].ports[0].connectors.clear();
  live[0].ports[0].connectors.clear();
  LineCheck missing = checkLine(line("connect Talker0:out Listener0:in"), live);
  EXPECT_FALSE(missing.holds);
  EXPECT_FALSE(missing.unknown);
  EXPECT_EQ(missing.detail, "missing");
}

TEST(SystemCheck, aConnectionLeftOverFromAProcessThatIsGoneIsStaleOnTheSurvivingPort) {
  LiveSystem live = smallSystem();
  // The listener was restarted: the talker's connector leads to a port that no longer answers.
  live[0].ports[0].connectors = {connector("c-old", "Talker0.out", "<unreachable port>")};
  live[0].ports[0].connectors[0].name = "Talker0.out_Listener0.in";
  live[1].ports[0].connectors.clear();
  ConnectionState state = connectionState(line("connect Talker0:out Listener0:in"), live);
  EXPECT_TRUE(state.matching.empty());
  EXPECT_TRUE(state.differing.empty());
  ASSERT_EQ(state.stale.size(), 1u);
  EXPECT_EQ(state.stale[0].endpoint, 0);
  EXPECT_EQ(state.stale[0].id, "c-old");
  EXPECT_EQ(checkLine(line("connect Talker0:out Listener0:in"), live).detail, "missing");
}

TEST(SystemCheck, linesThatCannotBeComparedSayWhy) {
  LiveSystem live = smallSystem();
  struct Case {
    const char* text;
    const char* detail;
  };
  for (const Case& bad :
       {Case{"connect Talker0:out Nobody0:in", "Nobody0 is not running"},
        Case{"connect Talker0:nope Listener0:in", "Talker0 has no port \"nope\""},
        Case{"connect Talker0:out Provider0:echo",
             "cannot connect service port Provider0.echo to data port Talker0.out"},
        Case{"conf Talker0 set nope 1", "Talker0 has no configuration parameter \"nope\""},
        Case{"activate Nobody0", "Nobody0 is not running"}}) {
    LineCheck check = checkLine(line(bad.text), live);
    EXPECT_FALSE(check.holds) << bad.text;
    EXPECT_TRUE(check.unknown) << bad.text;
    EXPECT_EQ(check.detail, bad.detail) << bad.text;
  }
}

TEST(SystemCheck, statesAndValuesAreComparedAndEqualNumbersWrittenOtherwiseAreEqual) {
  LiveSystem live = smallSystem();
  EXPECT_TRUE(checkLine(line("activate Talker0"), live).holds);
  LineCheck inactive = checkLine(line("activate Listener0"), live);
  EXPECT_FALSE(inactive.holds);
  EXPECT_EQ(inactive.detail, "Inactive, Active wanted");
  EXPECT_TRUE(checkLine(line("deactivate Listener0"), live).holds);
  EXPECT_TRUE(checkLine(line("conf Talker0 set message hello"), live).holds);
  EXPECT_TRUE(checkLine(line("conf Talker0 set gain 0.5"), live).holds);
  EXPECT_TRUE(checkLine(line("conf Talker0 set gain +5e-1"), live).holds);
  LineCheck other = checkLine(line("conf Talker0 set message bye"), live);
  EXPECT_FALSE(other.holds);
  EXPECT_EQ(other.detail, "is hello, bye wanted");
  EXPECT_FALSE(sameConfigurationValue("0.5abc", "0.5"));
  EXPECT_FALSE(sameConfigurationValue("", "0"));
}

TEST(SystemCheck, aDisconnectHoldsWhenThePortsAreNotConnected) {
  LiveSystem live = smallSystem();
  EXPECT_FALSE(checkLine(line("disconnect Talker0:out Listener0:in"), live).holds);
  live[0].ports[0].connectors.clear();
  EXPECT_TRUE(checkLine(line("disconnect Talker0:out Listener0:in"), live).holds);
}

TEST(SystemCheck, componentsAreFoundByInstanceNameOrNamingPath) {
  LiveSystem live = smallSystem();
  EXPECT_EQ(findLiveComponent(live, "Listener0"), &live[1]);
  EXPECT_EQ(findLiveComponent(live, "host.host_cxt/Listener0.rtc"), &live[1]);
  EXPECT_EQ(findLiveComponent(live, "other.host_cxt/Listener0.rtc"), nullptr);
  EXPECT_EQ(findLivePort(live[0], "Talker0.out"), &live[0].ports[0]);
  EXPECT_EQ(findLivePort(live[0], "out"), &live[0].ports[0]);
}

}  // namespace
}  // namespace rtctl
