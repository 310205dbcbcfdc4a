#include <gtest/gtest.h>
#include <signal.h>

#include "rt_process_fixture.h"

namespace rt_test {
namespace {

TEST_F(RtProcessTest, rtctlListsActivatesDeactivatesAndEndsComponents) {
  auto talker = startComponents("Talker");
  ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout)) << talker->output();
  EXPECT_TRUE(waitForState("Talker0", "Inactive"));

  auto activated = rtctl({"activate", "Talker0"});
  ASSERT_TRUE(activated.status.exitedWith(0)) << activated.err;
  EXPECT_TRUE(waitForState("Talker0", "Active"));
  EXPECT_TRUE(talker->waitForOutput("write 1 ok", kEventTimeout));

  ASSERT_TRUE(rtctl({"deactivate", "Talker0"}).status.exitedWith(0));
  EXPECT_TRUE(waitForState("Talker0", "Inactive"));

  auto ended = rtctl({"exit", "Talker0"});
  ASSERT_TRUE(ended.status.exitedWith(0)) << ended.err;
  auto status = talker->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  EXPECT_TRUE(names.waitForUnbinding("Talker0.rtc", kEventTimeout));
}

TEST_F(RtProcessTest, rtctlCatShowsTheRegisteredProfilePortsAndConfiguration) {
  auto talker = startComponents("Talker");
  ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout));
  auto shown = rtctl({"cat", "Talker0"});
  ASSERT_TRUE(shown.status.exitedWith(0)) << shown.err;
  for (const char* expected :
       {"type_name: Talker", "description: Talker test component", "version: 1.0.0", "vendor: test",
        "category: test", "state: Inactive", "out Talker0.out [IDL:RTC/TimedString:1.0]",
        "out Talker0.image [IDL:Orvn/TimedImageData:1.0]", "message = hello", "send_image = 0"}) {
    EXPECT_NE(shown.out.find(expected), std::string::npos) << expected << " in\n" << shown.out;
  }
}

TEST_F(RtProcessTest, rtctlConfChangesAParameterAndRefusesAnUnknownKey) {
  auto talker = startComponents("Talker");
  ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout));
  auto set = rtctl({"conf", "Talker0", "set", "message", "changed"});
  ASSERT_TRUE(set.status.exitedWith(0)) << set.err;
  auto shown = rtctl({"conf", "Talker0"});
  EXPECT_NE(shown.out.find("message = changed"), std::string::npos) << shown.out;
  ASSERT_TRUE(rtctl({"activate", "Talker0"}).status.exitedWith(0));
  EXPECT_TRUE(talker->waitForOutput("write 1 ok", kEventTimeout));
  auto printed = rtctl({"print", "Talker0:out", "-n", "1", "--timeout", "20"});
  EXPECT_EQ(printed.out.rfind("changed #", 0), 0u) << printed.out << printed.err;

  auto unknown = rtctl({"conf", "Talker0", "set", "no_such_key", "1"});
  EXPECT_TRUE(unknown.status.exitedWith(1));
  EXPECT_EQ(linesOf(unknown.err).size(), 1u) << unknown.err;
  EXPECT_NE(unknown.err.find("no_such_key"), std::string::npos) << unknown.err;
}

TEST_F(RtProcessTest, rtctlReportsAnUnknownNameOnOneLine) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"cat", "Nobody0"},
                                                    {"activate", "Nobody0"},
                                                    {"connect", "Nobody0:out", "Other0:in"},
                                                    {"cat", "no.host_cxt/Nobody0.rtc"}}) {
    auto result = rtctl(arguments);
    EXPECT_TRUE(result.status.exitedWith(1)) << arguments[0];
    EXPECT_EQ(linesOf(result.err).size(), 1u) << result.err;
    EXPECT_NE(result.err.find("Nobody0"), std::string::npos) << result.err;
  }
}

TEST_F(RtProcessTest, rtctlReportsADeadComponentOnOneLineInsteadOfHanging) {
  auto talker = startComponents("Talker");
  ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout));
  talker->sendSignal(SIGKILL);
  ASSERT_TRUE(talker->waitForExit(kEventTimeout).has_value());
  // Killed outright, it left its name behind.
  ASSERT_TRUE(names.isBound("Talker0.rtc"));
  EXPECT_TRUE(waitForState("Talker0", "unreachable"));
  auto activated = rtctl({"activate", "Talker0"});
  EXPECT_FALSE(activated.timedOut);
  EXPECT_TRUE(activated.status.exitedWith(1));
  EXPECT_EQ(linesOf(activated.err).size(), 1u) << activated.err;
}

TEST_F(RtProcessTest, rtctlWithoutANameServerFailsOnOneLine) {
  names.stop();
  auto listed = rtctl({"ls"});
  EXPECT_FALSE(listed.timedOut);
  EXPECT_TRUE(listed.status.exitedWith(1));
  EXPECT_EQ(linesOf(listed.err).size(), 1u) << listed.err;
}

}  // namespace
}  // namespace rt_test
