#include <gtest/gtest.h>

#include "rt_process_fixture.h"

namespace rt_test {
namespace {

TEST_F(RtProcessTest, aServiceCallCrossesProcessesThroughConnectedServicePorts) {
  auto provider = startComponents("EchoProvider");
  auto caller = startComponents("EchoCaller");
  ASSERT_TRUE(names.waitForBinding("EchoProvider0.rtc", kStartTimeout)) << provider->output();
  ASSERT_TRUE(names.waitForBinding("EchoCaller0.rtc", kStartTimeout)) << caller->output();
  ASSERT_TRUE(rtctl({"activate", "EchoCaller0"}).status.exitedWith(0));
  ASSERT_TRUE(caller->waitForOutput("consumer nil", kEventTimeout));

  auto connected = rtctl({"connect", "EchoCaller0:echo", "EchoProvider0:echo"});
  ASSERT_TRUE(connected.status.exitedWith(0)) << connected.err;
  ASSERT_TRUE(caller->waitForOutput("reply: echo:ping sum=42", kEventTimeout)) << caller->output();

  auto disconnected = rtctl({"disconnect", "EchoCaller0:echo", "EchoProvider0:echo"});
  ASSERT_TRUE(disconnected.status.exitedWith(0)) << disconnected.err;
  EXPECT_TRUE(caller->waitForOutput("consumer nil", kEventTimeout, 2)) << caller->output();
}

// A provider can be replaced while the caller runs: connect the new one, then disconnect the
// old; the consumer holds the new one, never nothing.
TEST_F(RtProcessTest, aConsumerFollowsItsLatestRemainingConnection) {
  auto caller = startComponents("EchoCaller");
  ASSERT_TRUE(names.waitForBinding("EchoCaller0.rtc", kStartTimeout)) << caller->output();
  // Two processes each with its EchoProvider0, bound in contexts of their own.
  const std::string firstPath = "first.host_cxt/EchoProvider0.rtc";
  const std::string secondPath = "second.host_cxt/EchoProvider0.rtc";
  extraConf = {{"naming.formats", "first.host_cxt/%n.rtc"}};
  auto first = startComponents("EchoProvider");
  extraConf = {{"naming.formats", "second.host_cxt/%n.rtc"}};
  auto second = startComponents("EchoProvider");
  ASSERT_TRUE(names.waitForBinding(firstPath, kStartTimeout)) << first->output();
  ASSERT_TRUE(names.waitForBinding(secondPath, kStartTimeout)) << second->output();
  ASSERT_TRUE(rtctl({"connect", "EchoCaller0:echo", firstPath + ":echo"}).status.exitedWith(0));
  ASSERT_TRUE(rtctl({"activate", "EchoCaller0"}).status.exitedWith(0));
  ASSERT_TRUE(caller->waitForOutput("reply: echo:ping sum=42", kEventTimeout)) << caller->output();

  ASSERT_TRUE(rtctl({"connect", "EchoCaller0:echo", secondPath + ":echo"}).status.exitedWith(0));
  ASSERT_TRUE(rtctl({"disconnect", "EchoCaller0:echo", firstPath + ":echo"}).status.exitedWith(0));
  // The caller's calls go to the second provider now: killing it makes them fail.
  second->kill();
  ASSERT_TRUE(caller->waitForOutput("call failed", kEventTimeout)) << caller->output();
  EXPECT_EQ(caller->countInOutput("consumer nil"), 0) << caller->output();
}

}  // namespace
}  // namespace rt_test
