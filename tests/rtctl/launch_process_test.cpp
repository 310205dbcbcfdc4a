// rtctl launch with real programs: bring-up, an orderly stop that leaves no process and no
// name, a SIGKILL noticed and the program brought back with its connection and activation,
// failures at start-up, an optional program's end, and the name server's death.
#include <signal.h>

#include <cerrno>

#include "rtctl_process_fixture.h"

namespace rtctl_test {
namespace {

// True once no process has the pid (it ended and its parent reaped it).
bool waitForNoProcess(int pid) {
  return test_support::waitUntil([pid] { return kill(pid, 0) != 0 && errno == ESRCH; },
                                 kEventTimeout);
}

class LaunchTest : public RtctlSystemTest {
 protected:
  LaunchTest() { writeBaseConf(); }

  // rtctl launch FILE against nameServer (the test's own by default), its logs and working
  // folders under the run directory. Generous time-outs: a loaded machine must not make a
  // healthy program look hung.
  std::unique_ptr<test_support::ChildProcess> launch(const std::string& file,
                                                     std::vector<std::string> options = {},
                                                     std::string nameServer = "") {
    std::vector<std::string> arguments{"-n",
                                       nameServer.empty() ? names.address() : nameServer,
                                       "launch",
                                       file,
                                       "--out",
                                       runDir.file("launch"),
                                       "--start-timeout",
                                       "60"};
    if (std::find(options.begin(), options.end(), "--answer-timeout") == options.end()) {
      arguments.insert(arguments.end(), {"--answer-timeout", "10"});
    }
    arguments.insert(arguments.end(), options.begin(), options.end());
    test_support::ChildOptions childOptions;
    childOptions.label = "rtctl launch";
    return std::make_unique<test_support::ChildProcess>(test_support::binPath("rtctl"), arguments,
                                                        childOptions);
  }

  std::string talkSystem(const std::string& listenerOptions = "") {
    return writeSystemFile("talk.system",
                           testProgram("talker", "Talker0", "Talker") +
                               testProgram("listener", "Listener0", "Listener", listenerOptions) +
                               "connect Talker0:out Listener0:in\n"
                               "conf Talker0 set message launched\n"
                               "activate Listener0\n"
                               "activate Talker0\n");
  }

  std::string logOf(const std::string& label) {
    return test_support::readFile(runDir.file("launch/logs/" + label + ".log"));
  }
};

TEST_F(LaunchTest, bringsTheSystemUpAndASigtermStopsItLeavingNoProcessAndNoName) {
  std::string file = talkSystem();
  auto launched = launch(file);
  ASSERT_TRUE(launched->waitForOutput("system up", kStartTimeout)) << launched->output();
  EXPECT_TRUE(rtctl({"check", file}).status.exitedWith(0));
  int talker = startedPid(launched->standardOutput(), "talker");
  int listener = startedPid(launched->standardOutput(), "listener");
  ASSERT_GT(talker, 0);
  ASSERT_GT(listener, 0);
  // Each program writes to its own log, in its own working folder with the rtc.conf written
  // for it.
  EXPECT_TRUE(test_support::waitUntil(
      [&] { return contains(logOf("listener"), "received: launched #"); }, kEventTimeout))
      << logOf("listener");
  EXPECT_TRUE(contains(test_support::readFile(runDir.file("launch/run/talker/rtc.conf")),
                       "corba.nameservers: " + names.address()));

  launched->sendSignal(SIGTERM);
  auto status = launched->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value()) << launched->output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe() << launched->output();
  std::string out = launched->standardOutput();
  EXPECT_LT(out.find("deactivated Talker0"), out.find("deactivated Listener0")) << out;
  EXPECT_LT(out.find("listener (pid"),
            out.find("talker (pid " + std::to_string(talker) + ") stopped"))
      << out;
  EXPECT_TRUE(waitForNoProcess(talker));
  EXPECT_TRUE(waitForNoProcess(listener));
  EXPECT_TRUE(names.listBindings().empty());
}

TEST_F(LaunchTest, noticesASigkillAndBringsTheProgramBackWithItsConnectionAndActivation) {
  std::string file = talkSystem("respawn");
  auto launched = launch(file);
  ASSERT_TRUE(launched->waitForOutput("system up", kStartTimeout)) << launched->output();
  int first = startedPid(launched->standardOutput(), "listener");
  ASSERT_GT(first, 0);
  ASSERT_EQ(kill(first, SIGKILL), 0);

  std::string ended = "listener (pid " + std::to_string(first) + ") ended: killed by SIGKILL";
  ASSERT_TRUE(launched->waitForOutput(ended, kEventTimeout)) << launched->output();
  ASSERT_TRUE(launched->waitForOutput("listener: back up", kStartTimeout)) << launched->output();
  EXPECT_EQ(launched->countInOutput("ended: killed by SIGKILL"), 1) << launched->output();
  int second = startedPid(launched->standardOutput(), "listener", 2);
  EXPECT_GT(second, 0);
  EXPECT_NE(second, first);
  EXPECT_TRUE(waitForCheck(file)) << rtctl({"check", file}).out;
  // Samples reach the new process: its part of the log (after its start line) receives them.
  auto receivedSinceRestart = [&] {
    std::string log = logOf("listener");
    size_t restart = log.rfind("=== rtctl launch");
    return restart != std::string::npos && contains(log.substr(restart), "received: launched #");
  };
  EXPECT_TRUE(test_support::waitUntil(receivedSinceRestart, kEventTimeout)) << logOf("listener");
  EXPECT_TRUE(launched->isRunning());
}

TEST_F(LaunchTest, aProgramThatStopsAnsweringIsNoticedAndWithRespawnReplaced) {
  std::string file = talkSystem("respawn");
  auto launched = launch(file, {"--answer-timeout", "2"});
  ASSERT_TRUE(launched->waitForOutput("system up", kStartTimeout)) << launched->output();
  int hung = startedPid(launched->standardOutput(), "listener");
  ASSERT_EQ(kill(hung, SIGSTOP), 0);
  std::string noticed = "listener (pid " + std::to_string(hung) + ") stopped answering";
  ASSERT_TRUE(launched->waitForOutput(noticed, kEventTimeout)) << launched->output();
  ASSERT_TRUE(launched->waitForOutput("listener: back up", kStartTimeout)) << launched->output();
  EXPECT_TRUE(waitForNoProcess(hung));
  EXPECT_TRUE(waitForCheck(file)) << rtctl({"check", file}).out;
}

TEST_F(LaunchTest, aProgramOnADeclaredHostStartsThroughItsLauncherWithTheHostsAddressAndName) {
  std::string file =
      writeSystemFile("hosts.system", "host box 127.0.0.1 via=\"env RTCTL_LAUNCHED_VIA=box\"\n" +
                                          testProgram("talker", "Talker0", "Talker", "host=box") +
                                          "activate Talker0\n");
  auto launched = launch(file);
  ASSERT_TRUE(launched->waitForOutput("system up", kStartTimeout)) << launched->output();
  std::string conf = test_support::readFile(runDir.file("launch/run/talker/rtc.conf"));
  EXPECT_TRUE(contains(conf, "corba.endpoints: 127.0.0.1:\n")) << conf;
  EXPECT_TRUE(contains(conf, "naming.formats: box.host_cxt/%n.rtc\n")) << conf;
  EXPECT_TRUE(names.isBound("box.host_cxt/Talker0.rtc"));
  EXPECT_TRUE(contains(logOf("talker"), "env RTCTL_LAUNCHED_VIA=box ")) << logOf("talker");
}

TEST_F(LaunchTest, aProgramThatEndsWhileStartingEndsTheLaunchNamingItAndLeavesNothing) {
  std::string file =
      writeSystemFile("broken.system", testProgram("talker", "Talker0", "Talker") +
                                           "program broken components=Broken0 conf=none -- false\n"
                                           "activate Talker0\n");
  auto launched = launch(file);
  auto status = launched->waitForExit(kStartTimeout);
  ASSERT_TRUE(status.has_value()) << launched->output();
  EXPECT_TRUE(status->exitedWith(1)) << status->describe();
  EXPECT_TRUE(
      contains(launched->standardError(), "rtctl: broken ended while starting: exit code 1"))
      << launched->output();
  int talker = startedPid(launched->standardOutput(), "talker");
  ASSERT_GT(talker, 0);
  EXPECT_TRUE(waitForNoProcess(talker));
  EXPECT_TRUE(names.listBindings().empty());
}

TEST_F(LaunchTest, refusesToStartASecondCopyOfAComponentThatRuns) {
  auto running = startComponents("Talker");
  ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout)) << running->output();
  auto launched = launch(talkSystem());
  auto status = launched->waitForExit(kStartTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->exitedWith(1));
  EXPECT_TRUE(contains(launched->standardError(), "Talker0 already runs")) << launched->output();
  EXPECT_FALSE(contains(launched->standardOutput(), "started talker")) << launched->output();
  EXPECT_TRUE(running->isRunning());
}

TEST_F(LaunchTest, aMissingFileAProgramNeedsIsNamedBeforeAnythingStarts) {
  std::string file = writeSystemFile(
      "needs.system", testProgram("talker", "Talker0", "Talker", "needs=MotionSet.mtn"));
  auto launched = launch(file);
  auto status = launched->waitForExit(kStartTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->exitedWith(1));
  EXPECT_TRUE(contains(launched->standardError(),
                       file + ":1: talker: needs " +
                           runDir.file("launch/run/talker/MotionSet.mtn") + ", which is missing"))
      << launched->output();
  EXPECT_FALSE(contains(launched->standardOutput(), "started")) << launched->output();
}

TEST_F(LaunchTest, anOptionalProgramsEndIsAWarningAndTheNameServersEndStopsEverything) {
  names.stop();
  std::string nameServer = "127.0.0.1:" + std::to_string(test_support::findFreePort());
  std::string file = writeSystemFile(
      "optional.system", "nameserver start\n" + testProgram("talker", "Talker0", "Talker") +
                             testProgram("viewer", "Listener0", "Listener", "optional") +
                             "connect Talker0:out Listener0:in\n"
                             "activate Listener0\n"
                             "activate Talker0\n");
  auto launched = launch(file, {"--exit-on-failure"}, nameServer);
  ASSERT_TRUE(launched->waitForOutput("system up", kStartTimeout)) << launched->output();
  int viewer = startedPid(launched->standardOutput(), "viewer");
  int talker = startedPid(launched->standardOutput(), "talker");
  ASSERT_EQ(kill(viewer, SIGKILL), 0);
  ASSERT_TRUE(launched->waitForOutput("(optional: the system goes on without it)", kEventTimeout))
      << launched->output();
  EXPECT_TRUE(launched->isRunning());

  std::smatch found;
  std::string out = launched->standardOutput();
  ASSERT_TRUE(std::regex_search(out, found, std::regex("omniNames \\(pid ([0-9]+)\\)"))) << out;
  ASSERT_EQ(kill(std::stoi(found[1]), SIGKILL), 0);
  auto status = launched->waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value()) << launched->output();
  EXPECT_TRUE(status->exitedWith(1));
  EXPECT_TRUE(contains(
      launched->standardOutput(),
      "the name server omniNames (pid " + std::string(found[1]) + ") ended: killed by SIGKILL"))
      << launched->output();
  EXPECT_TRUE(contains(launched->standardError(), "rtctl: the name server ended"))
      << launched->output();
  EXPECT_TRUE(waitForNoProcess(talker));
}

}  // namespace
}  // namespace rtctl_test
