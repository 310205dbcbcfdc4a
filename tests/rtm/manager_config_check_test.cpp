#include <rtm/ManagerConfig.h>
#include <rtm/ManagerConfigCheck.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The defaults with `key` set to `value`, as rtc.conf or -o would set it.
RTC::ManagerConfigReport checkWith(const std::string& key, const std::string& value,
                                   coil::Properties* checked = nullptr) {
  coil::Properties config = RTC::defaultManagerConfig();
  config.setProperty(key, value);
  RTC::ManagerConfigReport report = RTC::checkManagerConfig(config);
  if (checked != nullptr) *checked = config;
  return report;
}

TEST(ManagerConfigCheck, theDefaultsPass) {
  coil::Properties config = RTC::defaultManagerConfig();
  const RTC::ManagerConfigReport report = RTC::checkManagerConfig(config);
  EXPECT_TRUE(report.errors.empty()) << report.errors.front();
  EXPECT_TRUE(report.warnings.empty()) << report.warnings.front();
}

TEST(ManagerConfigCheck, anUnusableValueGivesOneLineNamingKeyValueAndReason) {
  const std::vector<std::pair<std::pair<std::string, std::string>, std::string>> cases = {
      {{"corba.endpoints", "999.1.1.1:"},
       "corba.endpoints: \"999.1.1.1:\" is not a list of host:port (999.1.1.1 is not an IPv4 "
       "address)"},
      {{"corba.endpoints", "127.0.0.1:70000"},
       "corba.endpoints: \"127.0.0.1:70000\" is not a list of host:port (70000 is not a port "
       "number)"},
      {{"corba.endpoint", "1.2.3:"},
       "corba.endpoint: \"1.2.3:\" is not a list of host:port (1.2.3 is not an IPv4 address)"},
      {{"corba.nameservers", "localhost:28x9"},
       "corba.nameservers: \"localhost:28x9\" is not a list of host[:port] (28x9 is not a port "
       "number)"},
      {{"exec_cxt.periodic.rate", "fast"},
       "exec_cxt.periodic.rate: \"fast\" is not a rate between 0.001 and 1000000 Hz"},
      {{"exec_cxt.periodic.rate", "0"},
       "exec_cxt.periodic.rate: \"0\" is not a rate between 0.001 and 1000000 Hz"},
      {{"exec_cxt.periodic.rate", "-100"},
       "exec_cxt.periodic.rate: \"-100\" is not a rate between 0.001 and 1000000 Hz"},
      {{"exec_cxt.periodic.rate", "1e308"},
       "exec_cxt.periodic.rate: \"1e308\" is not a rate between 0.001 and 1000000 Hz"},
      {{"logger.log_level", "LOUD"},
       "logger.log_level: \"LOUD\" is not a log level (SILENT FATAL ERROR WARN INFO DEBUG TRACE "
       "VERBOSE PARANOID)"},
      {{"logger.enable", "maybe"}, "logger.enable: \"maybe\" is not YES or NO"},
      {{"naming.enable", "si"}, "naming.enable: \"si\" is not YES or NO"},
      {{"manager.shutdown_on_nortcs", "2"}, "manager.shutdown_on_nortcs: \"2\" is not YES or NO"},
      {{"corba.call_timeout_ms", "3s"},
       "corba.call_timeout_ms: \"3s\" is not a whole number of milliseconds (0 for none)"},
      {{"dataport.call_timeout_ms", "-1"},
       "dataport.call_timeout_ms: \"-1\" is not a whole number of milliseconds (0 for none)"},
      {{"naming.update.interval", "-2"},
       "naming.update.interval: \"-2\" is not a number of seconds (0 for never)"},
      {{"naming.formats", "%h.host_cxt/%x.rtc"},
       "naming.formats: \"%h.host_cxt/%x.rtc\" has an unknown field %x (known: %n %t %m %i %v %V "
       "%c %h %M %p)"},
      {{"manager.components.preconnect", "A0.out"},
       "manager.components.preconnect: \"A0.out\" cannot be read: preconnect entry \"A0.out\" "
       "needs two ports written as instance.port:instance.port"},
  };
  for (const auto& [setting, line] : cases) {
    const RTC::ManagerConfigReport report = checkWith(setting.first, setting.second);
    ASSERT_EQ(report.errors.size(), 1u) << setting.first << " " << setting.second;
    EXPECT_EQ(report.errors[0], line);
  }
}

TEST(ManagerConfigCheck, usableValuesPass) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"corba.endpoints", "127.0.0.1:"},
      {"corba.endpoints", ":2810, 192.168.10.5:2811"},
      {"corba.endpoints", "2812"},
      {"corba.endpoints", "robot-pc.local:0"},
      {"corba.endpoints", "[::1]:2813"},
      {"corba.nameservers", "localhost, 127.0.0.1:2809, corbaloc::host:2809/NameService"},
      {"exec_cxt.periodic.rate", "0.5"},
      {"exec_cxt.periodic.rate", "1000000"},
      {"logger.log_level", "debug"},
      {"logger.enable", "no"},
      {"corba.call_timeout_ms", "0"},
      {"naming.update.interval", "0"},
      {"naming.formats", "%h.host_cxt/%n.rtc,%M/%t%%.rtc"},
      {"manager.components.preconnect", "A0.out:B0.in(dataflow_type=push)"},
  };
  for (const auto& [key, value] : cases) {
    const RTC::ManagerConfigReport report = checkWith(key, value);
    EXPECT_TRUE(report.errors.empty()) << key << " " << value << ": " << report.errors.front();
  }
}

TEST(ManagerConfigCheck, aKeyWithNoValueKeepsItsDefaultWithAWarning) {
  for (const auto& [key, fallback] :
       std::vector<std::pair<std::string, std::string>>{{"exec_cxt.periodic.rate", "1000"},
                                                        {"logger.log_level", "INFO"},
                                                        {"logger.file_name", "./rtc%p.log"},
                                                        {"corba.call_timeout_ms", "3000"},
                                                        {"corba.nameservers", "localhost"}}) {
    coil::Properties checked;
    const RTC::ManagerConfigReport report = checkWith(key, "", &checked);
    EXPECT_TRUE(report.errors.empty()) << key;
    ASSERT_EQ(report.warnings.size(), 1u) << key;
    EXPECT_EQ(report.warnings[0], key + ": no value; using the default " + fallback);
    EXPECT_EQ(checked[key], fallback);
  }
}

TEST(ManagerConfigCheck, aKeyWhoseDefaultIsEmptyMayStayEmpty) {
  for (const char* key : {"corba.endpoints", "corba.args", "manager.components.preconnect"}) {
    const RTC::ManagerConfigReport report = checkWith(key, "");
    EXPECT_TRUE(report.errors.empty()) << key;
    EXPECT_TRUE(report.warnings.empty()) << key;
  }
}

TEST(ManagerConfigCheck, everyProblemIsReportedAtOnce) {
  coil::Properties config = RTC::defaultManagerConfig();
  config.setProperty("logger.log_level", "LOUD");
  config.setProperty("exec_cxt.periodic.rate", "abc");
  EXPECT_EQ(RTC::checkManagerConfig(config).errors.size(), 2u);
}

}  // namespace
