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

}  // namespace
}  // namespace rt_test
