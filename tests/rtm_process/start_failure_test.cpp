// A process that cannot start as configured ends with status 1 and one line saying why, on
// standard error, whatever the log is set to; never with an abort.
#include <gtest/gtest.h>

#include "rt_process_fixture.h"

namespace rt_test {
namespace {

class StartFailure : public RtProcessTest {
 protected:
  // Runs the test components program to its end with the generated rtc.conf.
  test_support::RunResult run(const std::string& types, std::vector<std::string> arguments = {}) {
    std::vector<std::string> all{"-f", writeConf("run-" + std::to_string(++runs_) + ".conf")};
    all.insert(all.end(), arguments.begin(), arguments.end());
    test_support::ChildOptions options;
    options.environment = {{"RT_TEST_CREATE", types}};
    options.workingDirectory = runDir.path();
    return test_support::runProgram(test_support::binPath("rt_test_components"), all, kEventTimeout,
                                    options);
  }

  // Asserts that the run ended with status 1, standard error being exactly `line`.
  static void expectRefusedWithLine(const test_support::RunResult& result,
                                    const std::string& line) {
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(result.status.exitedWith(1)) << result.status.describe() << "\n" << result.err;
    EXPECT_EQ(result.err, line + "\n");
    EXPECT_EQ(result.out.find("created"), std::string::npos) << result.out;
  }

 private:
  int runs_ = 0;
};

TEST_F(StartFailure, anEndpointThatCannotBeIsRefusedBeforeTheOrbStarts) {
  extraConf = {{"corba.endpoints", "999.1.1.1:"}};
  expectRefusedWithLine(run("Probe"),
                        "corba.endpoints: \"999.1.1.1:\" is not a list of host:port (999.1.1.1 "
                        "is not an IPv4 address)");
}

TEST_F(StartFailure, anEndpointTheOrbCannotOpenIsNamedWithTheOrbsReason) {
  const std::string taken = "127.0.0.1:" + std::to_string(names.port());
  extraConf = {{"corba.endpoints", taken}};
  expectRefusedWithLine(run("Probe"), "corba.endpoints: \"" + taken +
                                          "\" cannot be used: Failed to bind to address "
                                          "127.0.0.1 port " +
                                          std::to_string(names.port()) + ". Address in use?");
}

TEST_F(StartFailure, anOrbOptionTheOrbDoesNotKnowIsNamed) {
  const auto result = run("Probe", {"-ORBnoSuchOption", "1"});
  expectRefusedWithLine(result,
                        "corba.args: \"-ORBnoSuchOption 1\" cannot be used: ORB_init failed: "
                        "unknown option (-ORBnoSuchOption) in -ORB arguments");
}

TEST_F(StartFailure, anUnknownLogLevelIsRefused) {
  extraConf = {{"logger.log_level", "CHATTY"}};
  expectRefusedWithLine(run("Probe"),
                        "logger.log_level: \"CHATTY\" is not a log level (SILENT FATAL ERROR WARN "
                        "INFO DEBUG TRACE VERBOSE PARANOID)");
}

TEST_F(StartFailure, aRateThatIsNotPositiveIsRefusedFromTheFileAndFromTheCommandLine) {
  extraConf = {{"exec_cxt.periodic.rate", "-5"}};
  expectRefusedWithLine(
      run("Probe"), "exec_cxt.periodic.rate: \"-5\" is not a rate between 0.001 and 1000000 Hz");
  extraConf.clear();
  expectRefusedWithLine(run("Probe", {"-o", "exec_cxt.periodic.rate:fast"}),
                        "exec_cxt.periodic.rate: \"fast\" is not a rate between 0.001 and "
                        "1000000 Hz");
}

TEST_F(StartFailure, aComponentsOwnRateThatIsNotARateRefusesItsStart) {
  const auto result = run("Probe", {"-o", "test.Probe.exec_cxt.periodic.rate:0"});
  ASSERT_FALSE(result.timedOut);
  EXPECT_TRUE(result.status.exitedWith(1)) << result.status.describe();
  EXPECT_NE(result.out.find("create returned null for Probe"), std::string::npos) << result.out;
  EXPECT_NE(
      result.out.find("exec_cxt.periodic.rate: \"0\" is not a rate between 0.001 and 1000000 Hz"),
      std::string::npos)
      << result.out;
}

TEST_F(StartFailure, aConfigurationFileThatCannotBeReadIsRefused) {
  test_support::ChildOptions options;
  options.environment = {{"RT_TEST_CREATE", "Probe"}};
  options.workingDirectory = runDir.path();
  const std::string missing = runDir.file("missing.conf");
  const auto result = test_support::runProgram(test_support::binPath("rt_test_components"),
                                               {"-f", missing}, kEventTimeout, options);
  expectRefusedWithLine(result, "configuration file " + missing + " cannot be read");
}

TEST_F(StartFailure, aLogFileThatCannotBeOpenedIsRefused) {
  extraConf = {{"logger.file_name", "/nonexistent-folder/rtc.log"}};
  expectRefusedWithLine(run("Probe"),
                        "logger.file_name: \"/nonexistent-folder/rtc.log\" cannot be opened as "
                        "/nonexistent-folder/rtc.log (No such file or directory)");
}

TEST_F(StartFailure, aRateWrittenWithNoValueKeepsTheDefaultWithAWarning) {
  extraConf = {{"exec_cxt.periodic.rate", ""}};
  auto probe = startComponents("Probe");
  ASSERT_TRUE(probe->waitForOutput("created Probe0", kStartTimeout)) << probe->output();
  EXPECT_NE(probe->output().find("exec_cxt.periodic.rate: no value; using the default 1000"),
            std::string::npos)
      << probe->output();
  const auto listing = rtctl({"cat", "Probe0"});
  EXPECT_NE(listing.out.find("(rate 1000 Hz)"), std::string::npos) << listing.out;
}

TEST_F(StartFailure, aProcessLeftWithNoComponentEndsWithStatusOne) {
  auto probe = startComponents("Probe", {"-o", "test.Probe.conf.default.count:seven"});
  ASSERT_TRUE(probe->waitForOutput("create returned null for Probe", kStartTimeout))
      << probe->output();
  const auto status = probe->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value()) << "still running:\n" << probe->output();
  EXPECT_TRUE(status->exitedWith(1)) << status->describe();
}

TEST_F(StartFailure, theReasonOfARefusedStartReachesStandardErrorWhenTheLogGoesToAFile) {
  const std::string log = runDir.file("probe.log");
  extraConf = {{"logger.file_name", log}};
  const auto result = run("Probe", {"-o", "test.Probe.conf.default.count:seven"});
  ASSERT_FALSE(result.timedOut);
  EXPECT_TRUE(result.status.exitedWith(1)) << result.status.describe();
  const std::string reason = "count \"seven\" refused: does not convert";
  EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
  EXPECT_NE(test_support::readFile(log).find(reason), std::string::npos);
}

}  // namespace
}  // namespace rt_test
