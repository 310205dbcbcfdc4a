#include <gtest/gtest.h>
#include <signal.h>

#include "rt_process_fixture.h"

namespace rt_test {
namespace {

class DataPorts : public RtProcessTest {
 protected:
  void startPair(std::vector<std::string> talkerArguments = {}) {
    talker = startComponents("Talker", talkerArguments);
    listener = startComponents("Listener");
    ASSERT_TRUE(names.waitForBinding("Talker0.rtc", kStartTimeout)) << talker->output();
    ASSERT_TRUE(names.waitForBinding("Listener0.rtc", kStartTimeout)) << listener->output();
  }

  void connectAndActivate(const std::string& from, const std::string& to) {
    auto connected = rtctl({"connect", from, to});
    ASSERT_TRUE(connected.status.exitedWith(0)) << connected.err;
    ASSERT_TRUE(rtctl({"activate", "Listener0", "Talker0"}).status.exitedWith(0));
  }

  std::unique_ptr<test_support::ChildProcess> talker;
  std::unique_ptr<test_support::ChildProcess> listener;
};

TEST_F(DataPorts, aTimedStringCrossesBetweenTwoProcesses) {
  startPair();
  connectAndActivate("Talker0:out", "Listener0:in");
  ASSERT_TRUE(listener->waitForOutput("received: hello #", kEventTimeout, 3));
  for (const auto& line : linesOf(listener->standardOutput())) {
    if (line.rfind("received: ", 0) == 0) {
      EXPECT_EQ(line.rfind("received: hello #", 0), 0u) << line;
    }
  }
}

TEST_F(DataPorts, a480000ByteImageCrossesIntact) {
  startPair({"-o", "test.Talker.conf.default.send_image:1"});
  connectAndActivate("Talker0:image", "Listener0:image");
  ASSERT_TRUE(listener->waitForOutput("image received: 400x400x3 bytes=480000 pattern=ok",
                                      kEventTimeout, 3))
      << listener->output();
  EXPECT_EQ(listener->countInOutput("pattern=bad"), 0);
}

TEST_F(DataPorts, portsOfDifferentDataTypesAreNotConnected) {
  startPair();
  auto refused = rtctl({"connect", "Talker0:out", "Listener0:image"});
  EXPECT_TRUE(refused.status.exitedWith(1)) << refused.status.describe();
  EXPECT_EQ(linesOf(refused.err).size(), 1u) << refused.err;
  EXPECT_NE(refused.err.find("different data types"), std::string::npos) << refused.err;
  auto profile = rtctl({"cat", "Talker0"});
  EXPECT_EQ(profile.out.find("connected:"), std::string::npos) << profile.out;
}

TEST_F(DataPorts, aWriterWhosePeerWasKilledReportsFailureAndKeepsWriting) {
  startPair();
  connectAndActivate("Talker0:out", "Listener0:in");
  ASSERT_TRUE(listener->waitForOutput("received: hello #", kEventTimeout));
  listener->sendSignal(SIGKILL);
  ASSERT_TRUE(listener->waitForExit(kEventTimeout).has_value());
  ASSERT_TRUE(talker->waitForOutput(" failed", kEventTimeout)) << talker->output();
  int writes = talker->countInOutput("write ");
  EXPECT_TRUE(talker->waitForOutput("write ", kEventTimeout, writes + 10));
  EXPECT_TRUE(talker->isRunning());
  EXPECT_TRUE(waitForState("Talker0", "Active"));
}

TEST_F(DataPorts, rtctlInjectsIntoAnInPortAndPrintsAnOutPort) {
  startPair();
  ASSERT_TRUE(rtctl({"activate", "Listener0", "Talker0"}).status.exitedWith(0));
  auto injected = rtctl({"inject", "Listener0:in", "from the tool"});
  ASSERT_TRUE(injected.status.exitedWith(0)) << injected.err;
  EXPECT_TRUE(listener->waitForOutput("received: from the tool", kEventTimeout));

  auto printed = rtctl({"print", "Talker0:out", "-n", "3", "--timeout", "20"});
  ASSERT_TRUE(printed.status.exitedWith(0)) << printed.err;
  auto lines = linesOf(printed.out);
  ASSERT_EQ(lines.size(), 3u) << printed.out;
  for (const auto& line : lines) EXPECT_EQ(line.rfind("hello #", 0), 0u) << line;
  // print took its connection away again.
  EXPECT_EQ(rtctl({"cat", "Talker0"}).out.find("connected:"), std::string::npos);
}

TEST_F(DataPorts, rtctlPrintStopsOnInterruptAndTakesItsConnectionAway) {
  startPair();
  ASSERT_TRUE(rtctl({"activate", "Talker0"}).status.exitedWith(0));
  test_support::ChildProcess printer(test_support::binPath("rtctl"),
                                     {"-n", names.address(), "print", "Talker0:out"});
  ASSERT_TRUE(printer.waitForOutput("hello #", kEventTimeout)) << printer.output();
  printer.sendSignal(SIGINT);
  auto status = printer.waitForExit(kEventTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(status->exitedWith(0)) << status->describe() << printer.standardError();
  EXPECT_EQ(rtctl({"cat", "Talker0"}).out.find("connected:"), std::string::npos);
  EXPECT_TRUE(talker->isRunning());
}

TEST_F(DataPorts, rtctlRefusesToInjectIntoANonStringPort) {
  startPair();
  auto refused = rtctl({"inject", "Listener0:image", "text"});
  EXPECT_TRUE(refused.status.exitedWith(1));
  EXPECT_NE(refused.err.find("TimedImageData"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace rt_test
