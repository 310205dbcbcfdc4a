// RouteSupervisor and PlanViewer as programs: --help and --version answer, and a command line
// they do not understand ends them with their usage and exit status 2 before anything starts
// (no middleware: no log file, no frame folder).
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_support.h"

using namespace test_support;

namespace {

const Seconds kRunTimeout(30);

RunResult runIn(const TempDir& dir, const std::string& program,
                const std::vector<std::string>& arguments) {
  ChildOptions inDir;
  inDir.workingDirectory = dir.path();
  return runProgram(binPath(program), arguments, kRunTimeout, inDir);
}

// Nothing in the folder: the middleware never started (it would have opened its log file).
void expectNothingStarted(const TempDir& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    ADD_FAILURE() << "left behind: " << entry.path();
}

}  // namespace

TEST(ToolCommandLine, helpAndVersionAnswerWithoutStarting) {
  for (const std::string program : {"RouteSupervisor", "PlanViewer"}) {
    TempDir dir("simbase-line-");
    const RunResult help = runIn(dir, program, {"--help"});
    EXPECT_TRUE(help.status.exitedWith(0)) << program << help.status.describe();
    EXPECT_NE(help.out.find("Usage: " + program), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("-f FILE"), std::string::npos) << help.out;
    const RunResult version = runIn(dir, program, {"--version"});
    EXPECT_TRUE(version.status.exitedWith(0));
    EXPECT_EQ(version.out.rfind(program + " ", 0), 0u) << version.out;
    expectNothingStarted(dir);
  }
  TempDir dir("simbase-line-");
  EXPECT_NE(runIn(dir, "RouteSupervisor", {"--help"}).out.find("--progress-timeout"),
            std::string::npos);
  EXPECT_NE(runIn(dir, "PlanViewer", {"--help"}).out.find("--fps"), std::string::npos);
}

TEST(ToolCommandLine, whatIsNotUnderstoodEndsWithTheUsageAndTwo) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> lines = {
      {"RouteSupervisor", {"--bogus"}},
      {"RouteSupervisor", {"--fault-timeout", "0"}},
      {"RouteSupervisor", {"--arrival-timeout", "nan"}},
      {"RouteSupervisor", {"stray"}},
      {"PlanViewer", {"--fps", "0", "--dir", "frames"}},
      {"PlanViewer", {"--dir", "frames", "--unknown"}},
  };
  for (const auto& [program, arguments] : lines) {
    TempDir dir("simbase-line-");
    const RunResult result = runIn(dir, program, arguments);
    EXPECT_TRUE(result.status.exitedWith(2))
        << program << " " << arguments[0] << ": " << result.status.describe() << "\n"
        << result.err;
    EXPECT_NE(result.err.find("Usage: " + program), std::string::npos) << result.err;
    expectNothingStarted(dir);
  }
}
