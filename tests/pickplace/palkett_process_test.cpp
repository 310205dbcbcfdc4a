// PalkettComp as a process: found through a private name server, activated, driven and read
// with rtctl over its data ports. No outside service is connected, so activation reports the
// missing controller and an object task fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <sstream>
#include <thread>

#include "tests/support/test_support.h"

namespace {

using namespace std::chrono_literals;
using test_support::Seconds;

class PalkettProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::RtcConfOptions options;
    options.nameServer = names.address();
    options.rate_hz = rate_hz;
    conf = test_support::writeRtcConf(directory.path(), options);
    palkett = std::make_unique<test_support::ChildProcess>(test_support::binPath("PalkettComp"),
                                                           std::vector<std::string>{"-f", conf});
    ASSERT_TRUE(names.waitForBinding("Palkett0.rtc", Seconds(15))) << palkett->output();
  }

  // Activates the coordinator, with no outside service connected.
  void activate() {
    ASSERT_TRUE(rtctl({"activate", "Palkett0"}).status.exitedWith(0));
    ASSERT_TRUE(palkett->waitForOutput("Palkett::activate(): HIROController and HiroNX not found.",
                                       Seconds(15)))
        << palkett->output();
  }

  // Starts the listener on "output" and returns once it hears every answer from now on: a
  // STOP with nothing running always answers, so it is repeated until one is heard; then the
  // answer to a different word shows that the late answers to those probes have all landed
  // (words are answered in order). The listener's answers are then exactly these two.
  void listen() {
    listener = std::make_unique<test_support::ChildProcess>(
        test_support::binPath("rtctl"),
        std::vector<std::string>{"-n", names.address(), "print", "Palkett0:output"});
    bool listening = false;
    for (int attempt = 0; attempt < 30 && !listening; ++attempt) {
      rtctl({"inject", "Palkett0:input", "HIRO_TRAY_MANIP_STOP"});
      listening = waitForAnswersBeyond(0, Seconds(1));
    }
    ASSERT_TRUE(listening) << listener->output() << palkett->output();
    ASSERT_TRUE(rtctl({"inject", "Palkett0:input", "HIRO_OBJ_MANIP_STOP"}).status.exitedWith(0));
    ASSERT_TRUE(waitForLatestAnswer("HIRO_OBJ_MANIP_STOPPED", Seconds(15)))
        << listener->output() << palkett->output();
    const auto heard = answers();
    answersBefore = heard.size();
    ASSERT_EQ(heard.front(), "HIRO_TRAY_MANIP_STOPPED");
  }

  // The answers since listen() returned.
  std::vector<std::string> newAnswers() const {
    const auto heard = answers();
    return {heard.begin() + static_cast<std::ptrdiff_t>(answersBefore), heard.end()};
  }

  test_support::RunResult rtctl(const std::vector<std::string>& arguments) {
    return test_support::runRtctl(names, arguments, Seconds(30));
  }

  std::vector<std::string> answers() const {
    std::vector<std::string> lines;
    std::istringstream text(listener->standardOutput());
    for (std::string line; std::getline(text, line);) {
      lines.push_back(line);
    }
    return lines;
  }

  // Waits until the listener has printed more than `count` answers.
  bool waitForAnswersBeyond(std::size_t count, Seconds timeout) {
    return test_support::waitUntil([&] { return answers().size() > count; }, timeout, 50ms);
  }

  // Waits until the listener's latest answer is `word`.
  bool waitForLatestAnswer(const std::string& word, Seconds timeout) {
    return test_support::waitUntil(
        [&] {
          const auto lines = answers();
          return !lines.empty() && lines.back() == word;
        },
        timeout, 50ms);
  }

  std::string exchange(const std::string& word) {
    const std::size_t before = answers().size();
    const auto sent = rtctl({"inject", "Palkett0:input", word});
    if (!sent.status.exitedWith(0)) {
      return "<inject failed: " + sent.err + ">";
    }
    if (!waitForAnswersBeyond(before, Seconds(15))) {
      return "<no answer>";
    }
    return answers()[before];
  }

  double rate_hz = 100.0;
  test_support::NameServer names;
  test_support::TempDir directory;
  std::string conf;
  std::size_t answersBefore = 0;
  std::unique_ptr<test_support::ChildProcess> palkett;
  std::unique_ptr<test_support::ChildProcess> listener;
};

TEST_F(PalkettProcess, answersCommandWordsOnItsOutputPort) {
  activate();
  // A STOP with nothing running answers at once: listen() relies on both.
  listen();
  EXPECT_EQ(exchange("HIRO_OBJ_MANIP_START"), "HIRO_OBJ_MANIP_ERROR");
  EXPECT_EQ(exchange("FINISH"), "");
  EXPECT_TRUE(
      palkett->waitForOutput("Palkett::processObj(): Lumeris does not respond.", Seconds(5)));

  // Words that answer nothing: the next answer is the STOP's.
  rtctl({"inject", "Palkett0:input", "HELLO"});
  rtctl({"inject", "Palkett0:input", "HIRO"});
  EXPECT_EQ(exchange("HIRO_TRAY_MANIP_STOP"), "HIRO_TRAY_MANIP_STOPPED");

  palkett->sendSignal(SIGTERM);
  const auto status = palkett->waitForExit(Seconds(20));
  ASSERT_TRUE(status) << palkett->output();
  EXPECT_NE(palkett->standardOutput().find("<< Palkett::~Palkett()"), std::string::npos)
      << palkett->output();
}

TEST_F(PalkettProcess, registersItsProfileAndParameterDefaults) {
  const auto profile = rtctl({"cat", "Palkett0"});
  ASSERT_TRUE(profile.status.exitedWith(0)) << profile.err;
  for (const char* text : {"Palkett", "Kesta.Orvn", "StateMachineGateway", "1.0.0", "input",
                           "output", "HiroNX", "BriskoService", "LumerisService", "HIRO"}) {
    EXPECT_NE(profile.out.find(text), std::string::npos) << text << "\n" << profile.out;
  }
  const auto configuration = rtctl({"conf", "Palkett0"});
  ASSERT_TRUE(configuration.status.exitedWith(0)) << configuration.err;
  // Every parameter, in binding order, at its default.
  const std::string defaults =
      "  xWorldR_m = +0.350\n  yWorldR_m = -0.096\n  zWorldR_m = +0.032\n  yWorldR_deg = 0.0\n"
      "  xPalletPlacedB_m = +0.470\n  yPalletPlacedB_m = +0.000\n  zPalletPlacedB_m = +0.015\n"
      "  rPalletPlacedB_deg = 0.0\n  pPalletPlacedB_deg = -90.0\n  yPalletPlacedB_deg = 0.0\n"
      "  directionPalletPlacedR_deg = 100.0\n  liftDistancePalletR_m = 0.15\n"
      "  xPalletToBePlacedB_m = +0.470\n  yPalletToBePlacedB_m = +0.000\n  zPalletToBePlacedB_m = "
      "+0.032\n"
      "  directionPalletToBePlacedR_deg = 0.0\n  holdDistance_m = 0.001\n  releaseDistance_m = "
      "0.002\n"
      "  fingerBacklash_deg = 8.0\n  xOPEOffsetR_m = 0.0\n  yOPEOffsetR_m = 0.0\n  speedBase = "
      "5.0\n"
      "  serialNo = 3\n";
  EXPECT_NE(configuration.out.find(defaults), std::string::npos) << configuration.out;
}

TEST_F(PalkettProcess, refusesAParameterOutsideItsRangeAndKeepsTheValueInForce) {
  const auto refused = rtctl({"conf", "Palkett0", "set", "holdDistance_m", "-0.02"});
  EXPECT_TRUE(refused.status.exitedWith(1)) << refused.out << refused.err;
  EXPECT_NE(refused.err.find("holdDistance_m"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("must be from 0 to"), std::string::npos) << refused.err;
  const auto afterRefusal = rtctl({"conf", "Palkett0"});
  EXPECT_NE(afterRefusal.out.find("  holdDistance_m = 0.001\n"), std::string::npos)
      << afterRefusal.out;

  const auto accepted = rtctl({"conf", "Palkett0", "set", "holdDistance_m", "0.002"});
  EXPECT_TRUE(accepted.status.exitedWith(0)) << accepted.err;
  EXPECT_NE(rtctl({"conf", "Palkett0"}).out.find("  holdDistance_m = 0.002\n"), std::string::npos);
}

// The coordinator at 1000 periods a second, the middleware's default rate.
class PalkettUnderFlood : public PalkettProcess {
 protected:
  PalkettUnderFlood() { rate_hz = 1000.0; }
};

TEST_F(PalkettUnderFlood, aStartAmongTenThousandOtherWordsIsAnswered) {
  activate();
  listen();
  test_support::ChildProcess writer(test_support::binPath("command_word_writer"), {"-f", conf});
  ASSERT_TRUE(names.waitForBinding("CommandWordWriter0.rtc", Seconds(15))) << writer.output();
  ASSERT_TRUE(
      rtctl({"connect", "CommandWordWriter0:words", "Palkett0:input"}).status.exitedWith(0));
  ASSERT_TRUE(rtctl({"activate", "CommandWordWriter0"}).status.exitedWith(0));

  ASSERT_TRUE(writer.waitForOutput("wrote 10000 words", Seconds(120))) << writer.output();
  ASSERT_TRUE(waitForAnswersBeyond(answersBefore, Seconds(30))) << palkett->output();
  // No controller and no estimation gateway: the task that the START began fails at once.
  EXPECT_EQ(newAnswers(), std::vector<std::string>{"HIRO_OBJ_MANIP_ERROR"});
  EXPECT_EQ(palkett->countInOutput(">> HIRO_OBJ_MANIP_START"), 1);
  EXPECT_EQ(palkett->countInOutput("dropped"), 0) << palkett->output();
}

}  // namespace
