#include <gtest/gtest.h>
#include <signal.h>

#include "rt_process_fixture.h"

namespace rt_test {
namespace {

TEST_F(RtProcessTest, maxInstanceRefusesOneMoreComponent) {
  auto probes = startComponents("Probe,Probe,Probe");
  ASSERT_TRUE(probes->waitForOutput("create returned null for Probe", kStartTimeout))
      << probes->output();
  std::string out = probes->standardOutput();
  EXPECT_NE(out.find("created Probe0"), std::string::npos) << out;
  EXPECT_NE(out.find("created Probe1"), std::string::npos) << out;
  EXPECT_EQ(out.find("created Probe2"), std::string::npos) << out;
  EXPECT_TRUE(names.waitForBinding("Probe1.rtc", kStartTimeout));
  EXPECT_FALSE(names.isBound("Probe2.rtc"));
}

TEST_F(RtProcessTest, configurationDefaultsApplyOnActivation) {
  auto probe = startComponents("Probe");
  ASSERT_TRUE(names.waitForBinding("Probe0.rtc", kStartTimeout)) << probe->output();
  ASSERT_TRUE(rtctl({"activate", "Probe0"}).status.exitedWith(0));
  EXPECT_TRUE(probe->waitForOutput("config: gain=1.5 label=plain count=7", kEventTimeout))
      << probe->output();
}

TEST_F(RtProcessTest, commandLineOverridesReplaceDefaults) {
  auto probe = startComponents("Probe", {"-o", "test.Probe.conf.default.gain:2.25"});
  ASSERT_TRUE(names.waitForBinding("Probe0.rtc", kStartTimeout)) << probe->output();
  ASSERT_TRUE(rtctl({"activate", "Probe0"}).status.exitedWith(0));
  EXPECT_TRUE(probe->waitForOutput("config: gain=2.25 label=plain count=7", kEventTimeout))
      << probe->output();
  EXPECT_TRUE(probe->isRunning());
}

TEST_F(RtProcessTest, aCommandLineValueThatDoesNotConvertStopsTheStartNamingIt) {
  auto probe = startComponents("Probe", {"-o", "test.Probe.conf.default.count:seven"});
  ASSERT_TRUE(probe->waitForOutput("create returned null for Probe", kStartTimeout))
      << probe->output();
  EXPECT_NE(probe->output().find("count \"seven\" refused: does not convert"), std::string::npos)
      << probe->output();
  EXPECT_FALSE(names.isBound("Probe0.rtc"));
}

TEST_F(RtProcessTest, lifecycleCallbacksRunInTheirOrder) {
  auto probe = startComponents("Probe");
  ASSERT_TRUE(names.waitForBinding("Probe0.rtc", kStartTimeout)) << probe->output();
  ASSERT_TRUE(rtctl({"activate", "Probe0"}).status.exitedWith(0));
  ASSERT_TRUE(probe->waitForOutput("callback: onExecute", kEventTimeout));
  ASSERT_TRUE(rtctl({"deactivate", "Probe0"}).status.exitedWith(0));
  ASSERT_TRUE(probe->waitForOutput("callback: onDeactivated", kEventTimeout));
  ASSERT_TRUE(rtctl({"exit", "Probe0"}).status.exitedWith(0));
  auto status = probe->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();

  std::vector<std::string> callbacks;
  for (const auto& line : linesOf(probe->standardOutput())) {
    if (line.rfind("callback: ", 0) == 0) callbacks.push_back(line.substr(10));
  }
  EXPECT_EQ(callbacks,
            (std::vector<std::string>{"onInitialize", "onStartup", "onActivated", "onExecute",
                                      "onDeactivated", "onShutdown", "onFinalize"}));
  EXPECT_NE(probe->standardOutput().find("destroyed Probe"), std::string::npos);
}

TEST_F(RtProcessTest, aFailingCallbackLeadsToTheErrorStateAndResetLeadsBack) {
  auto probe = startComponents("Probe", {"-o", "test.Probe.conf.default.fail_on_execute:1"});
  ASSERT_TRUE(names.waitForBinding("Probe0.rtc", kStartTimeout)) << probe->output();
  ASSERT_TRUE(rtctl({"activate", "Probe0"}).status.exitedWith(0));
  ASSERT_TRUE(waitForState("Probe0", "Error"));
  EXPECT_TRUE(probe->waitForOutput("callback: onError", kEventTimeout));
  std::string out = probe->standardOutput();
  EXPECT_LT(out.find("callback: onExecute"), out.find("callback: onAborting")) << out;
  EXPECT_LT(out.find("callback: onAborting"), out.find("callback: onError")) << out;

  ASSERT_TRUE(rtctl({"conf", "Probe0", "set", "fail_on_execute", "0"}).status.exitedWith(0));
  auto reset = rtctl({"reset", "Probe0"});
  ASSERT_TRUE(reset.status.exitedWith(0)) << reset.err;
  EXPECT_TRUE(waitForState("Probe0", "Inactive"));
  EXPECT_TRUE(probe->waitForOutput("callback: onReset", kEventTimeout));
  ASSERT_TRUE(rtctl({"activate", "Probe0"}).status.exitedWith(0));
  EXPECT_TRUE(waitForState("Probe0", "Active"));
}

TEST_F(RtProcessTest, sigtermFinalisesUnbindsAndExitsZero) {
  auto probe = startComponents("Probe");
  ASSERT_TRUE(names.waitForBinding("Probe0.rtc", kStartTimeout)) << probe->output();
  ASSERT_TRUE(rtctl({"activate", "Probe0"}).status.exitedWith(0));
  ASSERT_TRUE(probe->waitForOutput("callback: onExecute", kEventTimeout));
  probe->sendSignal(SIGTERM);
  auto status = probe->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->exitedWith(0)) << status->describe();
  EXPECT_TRUE(names.waitForUnbinding("Probe0.rtc", kEventTimeout));
  std::string out = probe->standardOutput();
  EXPECT_NE(out.find("callback: onDeactivated"), std::string::npos) << out;
  EXPECT_NE(out.find("callback: onFinalize"), std::string::npos) << out;
  EXPECT_NE(out.find("destroyed Probe"), std::string::npos) << out;
}

TEST_F(RtProcessTest, aNameServerThatAppearsLaterGetsTheNames) {
  int port = test_support::findFreePort();
  names.stop();
  test_support::RtcConfOptions options;
  options.nameServer = "127.0.0.1:" + std::to_string(port);
  options.extra = {{"naming.update.interval", "0.5"}};
  std::string conf = test_support::writeRtcConf(runDir.path(), options, "late.conf");
  test_support::ChildOptions childOptions;
  childOptions.environment = {{"RT_TEST_CREATE", "Probe"}};
  test_support::ChildProcess probe(test_support::binPath("rt_test_components"), {"-f", conf},
                                   childOptions);
  ASSERT_TRUE(probe.waitForOutput("created Probe0", kStartTimeout)) << probe.output();
  test_support::NameServer late(port);
  EXPECT_TRUE(late.waitForBinding("Probe0.rtc", kEventTimeout)) << probe.output();
  EXPECT_TRUE(probe.isRunning());
}

}  // namespace
}  // namespace rt_test
