// The whole system spread over four hosts (network namespaces joined on a bridge, made by the
// test and removed after it): rtctl launch starts each program on its host, and the scenario
// ends with the summary of the one-machine demo. Then a host's link is pulled out for 3 s in the
// middle of a drive. Needs root.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <regex>
#include <thread>

#include "host_network.h"
#include "launched_system.h"
#include "tests/demo/demo_summary_check.h"
#include "tests/support/wait_until.h"
#include "tools/rtctl/system_file.h"

namespace hosts_test {
namespace {

using test_support::Seconds;

// Simulated seconds per wall-clock second: the base's drive is the longest step.
constexpr double kTimeScale = 4;
const Seconds kCut{3};
const Seconds kEventTimeout{120};

class HostsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    network_ = HostNetwork::make(whyNot);
    if (!network_) GTEST_SKIP() << "the system on several hosts is not tried: " << whyNot;
  }

  std::unique_ptr<LaunchedSystem> launchOnHosts(const std::string& systemFile) {
    LaunchOptions options;
    options.systemFile = systemFile;
    options.nameServer = kNameServer;
    options.prefix = network_->on("operator", {});
    options.variables = {{"NETNS", network_->prefix()}};
    options.timeScale = kTimeScale;
    return std::make_unique<LaunchedSystem>(options);
  }

  // Declared before the system: its processes end before the namespaces go.
  std::unique_ptr<HostNetwork> network_;
};

TEST(HostsSystemFile, connectsConfiguresAndActivatesAsTheOneMachineDemo) {
  std::vector<std::pair<std::string, std::string>> variables{
      {"BIN", "/bin"},           {"OUT", "/out"},       {"SCENE", "s"},
      {"BUILDING", "/b.plan"},   {"TIME_SCALE", "1"},   {"NETNS", "x-"},
      {"PLANNER_RATE_HZ", "10"}, {"BASE_RATE_HZ", "50"}};
  rtctl::SystemFileRead hosts = rtctl::readSystemFile(shippedSystemFile("hosts.system"), variables);
  rtctl::SystemFileRead demo = rtctl::readSystemFile(shippedSystemFile("demo.system"), variables);
  ASSERT_TRUE(hosts.file) << hosts.error;
  ASSERT_TRUE(demo.file) << demo.error;
  std::vector<std::string> hostsLines, demoLines;
  for (const auto& line : hosts.file->actions) hostsLines.push_back(line.text());
  for (const auto& line : demo.file->actions) demoLines.push_back(line.text());
  EXPECT_EQ(hostsLines, demoLines);
  ASSERT_EQ(hosts.file->programs.size(), demo.file->programs.size());
  for (size_t i = 0; i < demo.file->programs.size(); ++i) {
    EXPECT_EQ(hosts.file->programs[i].components, demo.file->programs[i].components);
    EXPECT_NE(hosts.file->programs[i].host, "local") << hosts.file->programs[i].label;
  }
}

TEST_F(HostsTest, theWholeScenarioAcrossFourHostsEndsWithTheDemosSummary) {
  auto system = launchOnHosts(shippedSystemFile("hosts.system"));
  ASSERT_TRUE(system->waitUntilUp()) << system->launch().output();
  // Each program listens on its host's address and is named after its host.
  const std::string conf = test_support::readFile(system->outDir() + "/run/BriskoComp/rtc.conf");
  EXPECT_NE(conf.find("corba.endpoints: 198.18.0.2:\n"), std::string::npos) << conf;
  EXPECT_NE(conf.find("corba.nameservers: 198.18.0.1:2809\n"), std::string::npos) << conf;
  EXPECT_NE(conf.find("naming.formats: robot.host_cxt/%n.rtc\n"), std::string::npos) << conf;
  const auto listing = system->rtctl({"ls"}, Seconds(60));
  EXPECT_NE(listing.out.find("robot.host_cxt/Brisko0.rtc"), std::string::npos) << listing.out;
  EXPECT_NE(listing.out.find("operator.host_cxt/Palkett0.rtc"), std::string::npos) << listing.out;
  EXPECT_NE(listing.out.find("base.host_cxt/Torvane0.rtc"), std::string::npos) << listing.out;

  EXPECT_TRUE(system->runScenario()) << test_support::readFile(system->outDir() + "/steps.tsv");
  const std::string summary = system->summary();
  std::cout << summary;
  demo_test::expectSuccessfulSummary(summary);

  const auto status = system->stop();
  ASSERT_TRUE(status) << system->launch().output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe() << "\n" << system->launch().output();
}

// hosts.system with the planner moved from the base's host to the operator's: it commands the
// base across the network, as a planner away from its base would.
std::string plannerAwayFromTheBase(const test_support::TempDir& dir) {
  std::string text = test_support::readFile(shippedSystemFile("hosts.system"));
  const std::string onBase = "components=Torvane0 host=base";
  const auto at = text.find(onBase);
  if (at == std::string::npos) return "";
  text.replace(at, onBase.size(), "components=Torvane0 host=operator");
  test_support::writeFile(dir.file("hosts.system"), text);
  test_support::writeFile(dir.file("hosts.conf"),
                          test_support::readFile(shippedSystemFile("hosts.conf")));
  return dir.file("hosts.system");
}

TEST_F(HostsTest, aLinkCutForThreeSecondsStopsTheBaseIsReportedAndTheDriveGoesOnOnceItIsBack) {
  test_support::TempDir files("mm-hosts-file-");
  const std::string systemFile = plannerAwayFromTheBase(files);
  ASSERT_FALSE(systemFile.empty()) << "hosts.system no longer puts Torvane0 on the base host";
  auto system = launchOnHosts(systemFile);
  ASSERT_TRUE(system->waitUntilUp()) << system->launch().output();
  const auto baseLog = [&] { return system->logOf("BaseSimComp"); };
  const auto plannerLog = [&] { return system->logOf("TorvaneComp"); };
  const auto count = [](const std::string& text, const std::string& what) {
    int found = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++found;
    return found;
  };
  const std::string watchdog = "the watchdog brought the base to rest";

  const std::string nameServer = kNameServer;
  std::vector<std::string> drive =
      network_->on("operator", {test_support::binPath("rtctl"), "-n", nameServer, "wait",
                                "Torvane0:message", "ROBOT_ARRIVED|ROBOT_FINISH", "--timeout",
                                "600", "--send", "Torvane0:in_message", "ROBOT_START"});
  test_support::ChildProcess driving(drive[0], {drive.begin() + 1, drive.end()});
  // Under way: the planner commands a speed.
  ASSERT_TRUE(test_support::waitUntil([&] { return count(plannerLog(), "Velocity:0.3") > 0; },
                                      kEventTimeout))
      << plannerLog();

  const int restsBefore = count(baseLog(), watchdog);
  ASSERT_TRUE(network_->setLink("base", false));
  const auto cutAt = std::chrono::steady_clock::now();
  // Pulled out for 3 s, and for as long as it takes launch to tell and the base to stop.
  const std::regex silence(R"(BaseSimComp \(pid [0-9]+\) stopped answering)");
  const bool reported = test_support::waitUntil(
      [&] { return std::regex_search(system->launch().standardOutput(), silence); }, kEventTimeout);
  const bool stopped = test_support::waitUntil(
      [&] { return count(baseLog(), watchdog) > restsBefore; }, kEventTimeout);
  std::this_thread::sleep_until(cutAt + std::chrono::duration_cast<std::chrono::nanoseconds>(kCut));
  ASSERT_TRUE(network_->setLink("base", true));
  EXPECT_TRUE(reported) << system->launch().output();
  EXPECT_TRUE(stopped) << baseLog();

  // Back: launch makes the connections the cut dropped again, and the drive goes on.
  EXPECT_TRUE(system->launch().waitForOutput("BaseSimComp answers again", kEventTimeout))
      << system->launch().output();
  const auto arrived = driving.waitForExit(Seconds(600));
  ASSERT_TRUE(arrived) << driving.output() << plannerLog();
  EXPECT_TRUE(arrived->exitedWith(0)) << driving.output();
  EXPECT_EQ(driving.standardOutput(), "ROBOT_ARRIVED\n") << driving.output();

  const auto status = system->stop();
  ASSERT_TRUE(status) << system->launch().output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe() << "\n" << system->launch().output();
}

}  // namespace
}  // namespace hosts_test
