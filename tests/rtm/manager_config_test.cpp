#include <rtm/ManagerConfig.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#include <string>

namespace {

RTC::CommandLine parse(std::vector<const char*> words) {
  words.insert(words.begin(), "Comp");
  return RTC::parseCommandLine(static_cast<int>(words.size()), words.data());
}

class ConfigFiles : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& text) {
    const std::string path = dir_.file(name);
    test_support::writeFile(path, text);
    return path;
  }
  const test_support::TempDir dir_{"rtm_config_"};
};

TEST(CommandLine, readsEveryOptionSplittingOverridesAtTheFirstColon) {
  RTC::CommandLine line = parse({"-f", "my.conf", "-o", "corba.nameservers:127.0.0.1:2809", "-o",
                                 "logger.enable:NO", "-p", "2810", "-d"});
  EXPECT_EQ(line.configFile, "my.conf");
  ASSERT_EQ(line.overrides.size(), 2u);
  EXPECT_EQ(line.overrides[0].first, "corba.nameservers");
  EXPECT_EQ(line.overrides[0].second, "127.0.0.1:2809");
  EXPECT_EQ(line.endpointPort, "2810");
  EXPECT_TRUE(line.isMaster);
  EXPECT_TRUE(line.problems.empty());
}

TEST(CommandLine, reportsUnusableOptionsAndKeepsTheRest) {
  RTC::CommandLine line = parse({"-o", "novalue", "-p", "port", "-x", "-f"});
  EXPECT_TRUE(line.overrides.empty());
  EXPECT_TRUE(line.endpointPort.empty());
  EXPECT_EQ(line.problems.size(), 4u);
}

TEST(ConfigSearch, commandLineFileComesBeforeEnvironmentAndUsualPlaces) {
  std::vector<std::string> paths = RTC::configSearchPath("a.conf", "b.conf");
  ASSERT_GE(paths.size(), 4u);
  EXPECT_EQ(paths[0], "a.conf");
  EXPECT_EQ(paths[1], "b.conf");
  EXPECT_EQ(paths[2], "./rtc.conf");
  EXPECT_EQ(paths[3], "/etc/rtc.conf");
}

TEST_F(ConfigFiles, fileOverridesDefaultsAndCommandLineOverridesFile) {
  const std::string file =
      write("rtc.conf", "exec_cxt.periodic.rate: 50\nlogger.log_level: TRACE\n");
  const std::string env_file = write("env.conf", "exec_cxt.periodic.rate: 20\n");
  RTC::CommandLine line = parse({"-f", file.c_str(), "-o", "logger.log_level:ERROR"});
  std::string used;
  std::vector<std::string> problems;
  coil::Properties config = RTC::buildManagerConfig(line, env_file, used, problems);
  EXPECT_EQ(used, file);
  EXPECT_EQ(config.getProperty("exec_cxt.periodic.rate"), "50");
  EXPECT_EQ(config.getProperty("logger.log_level"), "ERROR");
  EXPECT_EQ(config.getProperty("naming.formats"), "%h.host_cxt/%n.rtc");
  EXPECT_TRUE(problems.empty());
}

TEST_F(ConfigFiles, environmentFileIsUsedWithoutDashF) {
  const std::string env_file = write("env.conf", "exec_cxt.periodic.rate: 20\n");
  std::string used;
  std::vector<std::string> problems;
  coil::Properties config = RTC::buildManagerConfig(parse({}), env_file, used, problems);
  EXPECT_EQ(used, env_file);
  EXPECT_EQ(config.getProperty("exec_cxt.periodic.rate"), "20");
}

TEST_F(ConfigFiles, unreadableDashFIsReportedAndSearchGoesOn) {
  const std::string env_file = write("env.conf", "exec_cxt.periodic.rate: 20\n");
  RTC::CommandLine line = parse({"-f", dir_.file("missing.conf").c_str()});
  std::string used;
  std::vector<std::string> problems;
  coil::Properties config = RTC::buildManagerConfig(line, env_file, used, problems);
  EXPECT_EQ(problems.size(), 1u);
  EXPECT_EQ(config.getProperty("exec_cxt.periodic.rate"), "20");
}

TEST(ManagerDefaults, areTheDocumentedOnes) {
  coil::Properties config = RTC::defaultManagerConfig();
  EXPECT_EQ(config.getProperty("corba.nameservers"), "localhost");
  EXPECT_EQ(config.getProperty("exec_cxt.periodic.rate"), "1000");
  EXPECT_EQ(config.getProperty("logger.file_name"), "./rtc%p.log");
  EXPECT_EQ(config.getProperty("manager.shutdown_on_nortcs"), "YES");
  EXPECT_EQ(config.getProperty("naming.update.interval"), "10.0");
}

TEST(OrbArguments, endpointsBecomeEndPointOptionsBeforeCorbaArgs) {
  coil::Properties config = RTC::defaultManagerConfig();
  config.setProperty("corba.endpoints", "127.0.0.1:2810, :2811");
  config.setProperty("corba.args", "-ORBclientCallTimeOutPeriod 10000");
  std::vector<std::string> args = RTC::orbArguments(config);
  std::vector<std::string> expected = {
      "-ORBendPoint",   "giop:tcp:127.0.0.1:2810",     "-ORBendPoint",
      "giop:tcp::2811", "-ORBclientCallTimeOutPeriod", "10000"};
  EXPECT_EQ(args, expected);
}

TEST(OrbArguments, dashPSetsTheEndpointPort) {
  std::string used;
  std::vector<std::string> problems;
  coil::Properties config = RTC::buildManagerConfig(
      parse({"-p", "2900", "-f", "/nonexistent/rtc.conf"}), "", used, problems);
  std::vector<std::string> args = RTC::orbArguments(config);
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[1], "giop:tcp::2900");
}

TEST(NameServiceLocation, addsTheStandardPortWhenMissing) {
  EXPECT_EQ(RTC::nameServiceLocation("localhost"), "corbaloc::localhost:2809/NameService");
  EXPECT_EQ(RTC::nameServiceLocation(" 127.0.0.1:5000 "), "corbaloc::127.0.0.1:5000/NameService");
}

TEST(Preconnect, readsPortsAndPrefixesOptions) {
  std::vector<std::string> problems;
  auto entries = RTC::parsePreconnect(
      "A0.out:B0.in(dataflow_type=push&interface_type=corba_cdr), C0.svc:D0.svc, bad, "
      "E0.x:F0.y(oops",
      problems);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].ports, (std::vector<std::string>{"A0.out", "B0.in"}));
  EXPECT_EQ(entries[0].properties.getProperty("dataport.dataflow_type"), "push");
  EXPECT_EQ(entries[0].properties.getProperty("dataport.interface_type"), "corba_cdr");
  EXPECT_EQ(entries[1].ports, (std::vector<std::string>{"C0.svc", "D0.svc"}));
  EXPECT_EQ(problems.size(), 2u);
}

}  // namespace
