#include "tests/support/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <thread>

namespace test_support {
namespace {

using std::chrono::seconds;

std::vector<std::string> shell(const std::string& script) { return {"-c", script}; }

// True when pid names no process, or only a zombie, within the time-out.
bool processGone(pid_t pid, Seconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    size_t close = line.rfind(')');
    if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z')
      return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

TEST(ChildProcess, capturesStandardOutputAndErrorApartAndReportsTheExitCode) {
  ChildProcess child("sh", shell("echo to-out; echo to-err >&2; exit 3"));
  auto status = child.waitForExit(seconds(10));
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->exitedWith(3)) << status->describe();
  EXPECT_EQ(child.standardOutput(), "to-out\n");
  EXPECT_EQ(child.standardError(), "to-err\n");
  EXPECT_FALSE(child.isRunning());
}

TEST(ChildProcess, passesArgumentsEnvironmentAndWorkingDirectory) {
  TempDir directory;
  ChildOptions options;
  options.environment = {{"MM_TEST_VALUE", "forty two"}, {"HOME", "/nowhere"}};
  options.workingDirectory = directory.path();
  ChildProcess child(
      "sh", shell("printf '%s|%s|%s|%s' \"$0\" \"$MM_TEST_VALUE\" \"$HOME\" \"$(pwd)\""), options);
  ASSERT_TRUE(child.waitForExit(seconds(10)).has_value());
  EXPECT_EQ(child.standardOutput(), "sh|forty two|/nowhere|" + directory.path());
}

TEST(ChildProcess, waitForOutputFindsTextWrittenLaterAndCountsRepeats) {
  ChildProcess child("sh", shell("sleep 0.2; echo tick; echo tick >&2; echo tick; exec sleep 30"));
  EXPECT_TRUE(child.waitForOutput("tick", seconds(10), 2));
  EXPECT_EQ(child.countInOutput("tick"), 3);
  EXPECT_TRUE(child.isRunning());
}

TEST(ChildProcess, waitForOutputGivesUpAtTheTimeOutWhileTheChildRuns) {
  ChildProcess child("sleep", {"30"});
  EXPECT_FALSE(child.waitForOutput("never written", Seconds(0.3)));
  EXPECT_TRUE(child.isRunning());
}

TEST(ChildProcess, waitForOutputStopsWhenTheChildEndsWithoutTheText) {
  ChildProcess child("sh", shell("echo something else"));
  // A long time-out: this returns because the child ended, not because time ran out.
  EXPECT_FALSE(child.waitForOutput("never written", seconds(120)));
  EXPECT_FALSE(child.isRunning());
}

TEST(ChildProcess, sendSignalEndsTheChildWithThatSignal) {
  ChildProcess child("sleep", {"30"});
  ASSERT_TRUE(child.sendSignal(SIGTERM));
  auto status = child.waitForExit(seconds(10));
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->killedBy(SIGTERM)) << status->describe();
  EXPECT_FALSE(child.sendSignal(SIGTERM));
}

TEST(ChildProcess, waitForExitTimesOutOnARunningChild) {
  ChildProcess child("sleep", {"30"});
  EXPECT_FALSE(child.waitForExit(Seconds(0.2)).has_value());
  EXPECT_TRUE(child.isRunning());
}

TEST(ChildProcess, destructionKillsTheChildAndItsOwnChildren) {
  pid_t childPid = 0;
  pid_t grandchildPid = 0;
  {
    ChildProcess child("sh", shell("sleep 300 & echo $!; wait"));
    ASSERT_TRUE(child.waitForOutput("\n", seconds(10)));
    grandchildPid = std::stoi(child.standardOutput());
    childPid = child.pid();
    ASSERT_FALSE(processGone(grandchildPid, Seconds(0)));
  }
  EXPECT_TRUE(processGone(childPid, seconds(10)));
  EXPECT_TRUE(processGone(grandchildPid, seconds(10)));
}

TEST(ChildProcess, aProgramThatCannotBeStartedThrows) {
  EXPECT_THROW(ChildProcess("/nonexistent/program", {}), std::runtime_error);
  EXPECT_THROW(ChildProcess("no-such-program-in-path-xyz", {}), std::runtime_error);
}

TEST(RunProgram, returnsOutputAndStatusOfAFinishedProgram) {
  RunResult result = runProgram("sh", shell("echo done; exit 0"), seconds(10));
  EXPECT_FALSE(result.timedOut);
  EXPECT_TRUE(result.status.exitedWith(0));
  EXPECT_EQ(result.out, "done\n");
  EXPECT_EQ(result.err, "");
}

TEST(RunProgram, killsAProgramThatOverrunsItsTimeOut) {
  RunResult result = runProgram("sh", shell("echo started; exec sleep 30"), Seconds(0.5));
  EXPECT_TRUE(result.timedOut);
  EXPECT_TRUE(result.status.killedBy(SIGKILL)) << result.status.describe();
  EXPECT_EQ(result.out, "started\n");
}

}  // namespace
}  // namespace test_support
