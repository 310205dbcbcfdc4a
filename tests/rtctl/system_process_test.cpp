// rtctl apply, check, capture and stop against real components in their own processes.
#include <signal.h>

#include "rtctl_process_fixture.h"

namespace rtctl_test {
namespace {

TEST_F(RtctlSystemTest, applyStopsAtTheFirstFailureAndChangesNothingAfterIt) {
  auto probes = startComponents("Probe,Probe");
  ASSERT_TRUE(names.waitForBinding("Probe1.rtc", kStartTimeout)) << probes->output();
  std::string file = writeSystemFile("refused.system",
                                     "conf Probe0 set count 9\n"
                                     "conf Probe0 set gain abc\n"
                                     "conf Probe1 set count 8\n"
                                     "activate Probe0\n");
  auto applied = rtctl({"apply", file});
  EXPECT_TRUE(applied.status.exitedWith(1)) << applied.out << applied.err;
  ASSERT_EQ(linesOf(applied.err).size(), 1u) << applied.err;
  EXPECT_TRUE(contains(applied.err, file + ":2: conf Probe0 set gain abc: Probe0: invalid "
                                           "parameter"))
      << applied.err;
  EXPECT_TRUE(contains(applied.err, "the lines after it were not applied")) << applied.err;
  EXPECT_EQ(linesOf(applied.out),
            std::vector<std::string>{file + ":1: conf Probe0 set count 9: set"});

  std::string first = rtctl({"conf", "Probe0"}).out;
  EXPECT_TRUE(contains(first, "count = 9")) << first;
  EXPECT_TRUE(contains(first, "gain = 1.5")) << first;
  EXPECT_TRUE(contains(rtctl({"conf", "Probe1"}).out, "count = 7"));
  EXPECT_TRUE(waitForState("Probe0", "Inactive"));
}

TEST_F(RtctlSystemTest, applyChangesNothingWhenALineCannotBeCarriedOut) {
  auto probes = startComponents("Probe");
  ASSERT_TRUE(names.waitForBinding("Probe0.rtc", kStartTimeout)) << probes->output();
  std::string file = writeSystemFile("partial.system",
                                     "conf Probe0 set count 9\n"
                                     "activate Probe0\n"
                                     "connect Probe0:out Nobody0:in\n");
  auto applied = rtctl({"apply", file});
  EXPECT_TRUE(applied.status.exitedWith(1));
  EXPECT_TRUE(contains(applied.err, file + ":3: connect Probe0:out Nobody0:in: no component "
                                           "named \"Nobody0\""))
      << applied.err;
  EXPECT_TRUE(contains(applied.err, "(nothing was changed)")) << applied.err;
  EXPECT_TRUE(applied.out.empty()) << applied.out;
  EXPECT_TRUE(contains(rtctl({"conf", "Probe0"}).out, "count = 7"));
  EXPECT_TRUE(waitForState("Probe0", "Inactive"));
}

TEST_F(RtctlSystemTest, applyTwiceChangesNothingTheSecondTimeAndCheckThenMatches) {
  auto talk = startComponents("Talker,Listener,EchoProvider,EchoCaller");
  ASSERT_TRUE(names.waitForBinding("EchoCaller0.rtc", kStartTimeout)) << talk->output();
  std::string file = writeSystemFile("talk.system",
                                     "connect Talker0:out Listener0:in\n"
                                     "connect EchoCaller0:echo EchoProvider0:echo\n"
                                     "conf Talker0 set message again\n"
                                     "activate EchoProvider0\n"
                                     "activate EchoCaller0\n"
                                     "activate Listener0\n"
                                     "activate Talker0\n");
  auto before = rtctl({"check", file});
  EXPECT_TRUE(before.status.exitedWith(1)) << before.out;
  EXPECT_TRUE(contains(before.out, file + ":1: connect Talker0:out Listener0:in: differs: missing"))
      << before.out;
  EXPECT_TRUE(contains(before.out, file + ":5: activate EchoCaller0: differs: Inactive, Active "
                                          "wanted"))
      << before.out;

  auto first = rtctl({"apply", file});
  ASSERT_TRUE(first.status.exitedWith(0)) << first.err;
  EXPECT_TRUE(contains(first.out, "applied (7 changed, 0 already so)")) << first.out;
  EXPECT_TRUE(talk->waitForOutput("received: again #", kEventTimeout));
  EXPECT_TRUE(talk->waitForOutput("reply: echo:ping", kEventTimeout));

  auto second = rtctl({"apply", file});
  ASSERT_TRUE(second.status.exitedWith(0)) << second.err;
  EXPECT_TRUE(contains(second.out, "applied (0 changed, 7 already so)")) << second.out;
  EXPECT_TRUE(contains(second.out, file + ":1: connect Talker0:out Listener0:in: already "
                                          "connected"))
      << second.out;
  std::string shown = rtctl({"cat", "Talker0"}).out;
  size_t connections = 0;
  for (const std::string& line : linesOf(shown)) connections += contains(line, "connected:");
  EXPECT_EQ(connections, 1u) << shown;

  auto matched = rtctl({"check", file});
  EXPECT_TRUE(matched.status.exitedWith(0)) << matched.out;
  EXPECT_TRUE(contains(matched.out, "the live system matches")) << matched.out;
}

TEST_F(RtctlSystemTest, captureThenApplyOnAFreshSystemReproducesIt) {
  std::string captured = runDir.file("captured.system");
  std::vector<std::string> original;
  {
    auto talk = startComponents("Talker,Listener,EchoProvider,EchoCaller");
    ASSERT_TRUE(names.waitForBinding("EchoCaller0.rtc", kStartTimeout)) << talk->output();
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"connect", "Talker0:out", "Listener0:in",
                                   "dataport.buffer.length=16"},
          {"connect", "EchoCaller0:echo", "EchoProvider0:echo"},
          {"conf", "Talker0", "set", "message", "two words"},
          {"activate", "EchoCaller0"},
          {"activate", "EchoProvider0"},
          {"activate", "Listener0"},
          {"activate", "Talker0"}}) {
      auto result = rtctl(command);
      ASSERT_TRUE(result.status.exitedWith(0)) << command[0] << ": " << result.err;
    }
    auto capture = rtctl({"capture", "-o", captured});
    ASSERT_TRUE(capture.status.exitedWith(0)) << capture.err;
    original = withoutComments(test_support::readFile(captured));
    talk->sendSignal(SIGTERM);
    ASSERT_TRUE(talk->waitForExit(kEventTimeout));
    ASSERT_TRUE(names.waitForUnbinding("Talker0.rtc", kEventTimeout));
  }
  EXPECT_NE(std::find(original.begin(), original.end(),
                      "connect Talker0:out Listener0:in dataport.buffer.length=16"),
            original.end());
  EXPECT_NE(std::find(original.begin(), original.end(), "conf Talker0 set message \"two words\""),
            original.end());

  auto fresh = startComponents("Talker,Listener,EchoProvider,EchoCaller");
  ASSERT_TRUE(names.waitForBinding("EchoCaller0.rtc", kStartTimeout)) << fresh->output();
  EXPECT_TRUE(rtctl({"check", captured}).status.exitedWith(1));
  auto applied = rtctl({"apply", captured});
  ASSERT_TRUE(applied.status.exitedWith(0)) << applied.err;
  EXPECT_TRUE(fresh->waitForOutput("received: two words #", kEventTimeout));
  EXPECT_TRUE(rtctl({"check", captured}).status.exitedWith(0));
  auto again = rtctl({"capture"});
  ASSERT_TRUE(again.status.exitedWith(0)) << again.err;
  EXPECT_EQ(withoutComments(again.out), original);
}

TEST_F(RtctlSystemTest, stopDeactivatesInTheReverseOrderOfActivation) {
  auto probes = startComponents("Probe,Probe");
  ASSERT_TRUE(names.waitForBinding("Probe1.rtc", kStartTimeout)) << probes->output();
  std::string file = writeSystemFile("two.system", "activate Probe0\nactivate Probe1\n");
  ASSERT_TRUE(rtctl({"apply", file}).status.exitedWith(0));
  auto stopped = rtctl({"stop", file});
  ASSERT_TRUE(stopped.status.exitedWith(0)) << stopped.err;
  EXPECT_EQ(linesOf(stopped.out),
            (std::vector<std::string>{file + ":2: deactivate Probe1: deactivated",
                                      file + ":1: deactivate Probe0: deactivated"}));
  EXPECT_TRUE(waitForState("Probe0", "Inactive"));
  EXPECT_TRUE(waitForState("Probe1", "Inactive"));
  auto again = rtctl({"stop", file});
  EXPECT_TRUE(again.status.exitedWith(0));
  EXPECT_TRUE(contains(again.out, "deactivate Probe1: already Inactive")) << again.out;
}

TEST_F(RtctlSystemTest, checkOfTheFileAloneNamesWhatWouldStopALaunch) {
  writeBaseConf();
  std::string file = writeSystemFile(
      "files.system", "program planner components=P0 needs=MotionSet.mtn conf=base.conf -- " +
                          test_support::binPath("rt_test_components") + "\n" +
                          "program ghost conf=none -- no-such-program-anywhere\n");
  auto checked = rtctl({"check", "--file-only", file, "--var", "UNUSED=1"});
  EXPECT_TRUE(checked.status.exitedWith(1)) << checked.out << checked.err;
  EXPECT_TRUE(contains(checked.out, file + ":1: planner: needs ")) << checked.out;
  EXPECT_TRUE(contains(checked.out, file + ":2: ghost: no-such-program-anywhere: no such program"))
      << checked.out;

  auto broken = rtctl({"check", "--file-only", writeSystemFile("broken.system", "activate\n")});
  EXPECT_TRUE(broken.status.exitedWith(1));
  EXPECT_TRUE(contains(broken.err, "broken.system:1: activate needs exactly one component name"))
      << broken.err;
}

}  // namespace
}  // namespace rtctl_test
