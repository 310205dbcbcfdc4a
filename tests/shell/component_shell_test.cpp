#include <gtest/gtest.h>
#include <signal.h>

#include "tests/support/test_support.h"

namespace {

using test_support::Seconds;

// Runs the failing program with the log going where `logFileName` says (by default nowhere).
// The middleware may still report the failed creation itself; the shell's own output is the
// one line at the end.
test_support::RunResult runFailingProgram(const std::vector<std::string>& extraArguments,
                                          const std::string& type = "Failing",
                                          const std::string& logFileName = "") {
  test_support::TempDir directory;
  test_support::RtcConfOptions options;
  options.extra = {{"naming.enable", "NO"}};
  if (logFileName.empty())
    options.extra.emplace_back("logger.enable", "NO");
  else
    options.extra.emplace_back("logger.file_name", logFileName);
  std::vector<std::string> arguments{"-f", test_support::writeRtcConf(directory.path(), options)};
  arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
  test_support::ChildOptions childOptions;
  childOptions.workingDirectory = directory.path();
  childOptions.environment = {{"SHELL_FAILING_TYPE", type}};
  return test_support::runProgram(test_support::binPath("shell_failing_program"), arguments,
                                  Seconds(60), childOptions);
}

void expectShellLineLast(const std::string& err) {
  const std::string line = "Component create failed.\n";
  ASSERT_GE(err.size(), line.size()) << err;
  EXPECT_EQ(err.substr(err.size() - line.size()), line) << err;
  EXPECT_EQ(err.find(line), err.size() - line.size()) << err;
}

TEST(ComponentShell, aFactoryThatCreatesNothingEndsTheProcessWithOneLineAndStatusOne) {
  auto result = runFailingProgram({});
  ASSERT_FALSE(result.timedOut);
  EXPECT_TRUE(result.status.exitedWith(1)) << result.status.describe();
  expectShellLineLast(result.err);
}

TEST(ComponentShell, aRefusedStartGivesItsReasonOnStandardErrorThoughTheLogGoesToAFile) {
  test_support::TempDir logDirectory;
  const std::string log = logDirectory.file("refusing.log");
  auto result = runFailingProgram({}, "Refusing", log);
  ASSERT_FALSE(result.timedOut);
  EXPECT_TRUE(result.status.exitedWith(1)) << result.status.describe();
  const std::string reason = "gain \"-1\" refused: must be > 0";
  EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
  EXPECT_LT(result.err.find(reason), result.err.find("Component create failed.")) << result.err;
  expectShellLineLast(result.err);
  EXPECT_NE(test_support::readFile(log).find(reason), std::string::npos);
}

TEST(ComponentShell, consoleTextUsesUtf8ByDefault) {
  auto result = runFailingProgram({});
  EXPECT_NE(result.out.find("encoded: \xE2\x96\xA0\xEF\xBC\x9A\n"), std::string::npos)
      << result.out;
}

TEST(ComponentShell, consoleEncodingFromTheConfigurationSelectsCodePage932) {
  auto result = runFailingProgram({"-o", "console.encoding:cp932"});
  EXPECT_NE(result.out.find("encoded: \x81\xA1\x81\x46\n"), std::string::npos) << result.out;
  expectShellLineLast(result.err);
}

TEST(ComponentShell, anUnknownConsoleEncodingIsReportedAndUtf8Used) {
  auto result = runFailingProgram({"-o", "console.encoding:latin9"});
  EXPECT_NE(result.err.find("console.encoding: unknown encoding \"latin9\", writing UTF-8\n"),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.out.find("encoded: \xE2\x96\xA0\xEF\xBC\x9A\n"), std::string::npos)
      << result.out;
}

}  // namespace
