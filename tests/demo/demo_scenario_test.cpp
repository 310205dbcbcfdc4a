// The whole system through scripts/demo: the scenario with --fast, and a stop during the first
// object's trajectory. Real processes, a real name server, on loopback.
#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>

#include <opencv2/imgcodecs.hpp>

#include "building_view.h"
#include "demo_run.h"
#include "tests/scene_views/picture_probe.h"

namespace demo_test {
namespace {

using test_support::Seconds;

const Seconds kScenarioTimeout{480};
const Seconds kStartTimeout{90};
const Seconds kAnswerTimeout{120};
const Seconds kShutdownTimeout{60};
// How often the waits look again: each look may start an rtctl.
const std::chrono::milliseconds kPoll{100};

// Ends a run that is still going (Ctrl-C, as a user would) and checks the clean shutdown.
void interruptAndCheckShutdown(DemoRun& run) {
  if (run.process().isRunning()) {
    run.process().sendSignal(SIGINT);
    const auto status = run.process().waitForExit(kShutdownTimeout);
    ASSERT_TRUE(status) << "the demo did not end after Ctrl-C";
    EXPECT_TRUE(status->exitedWith(130)) << status->describe();
  }
  EXPECT_EQ(run.process().output().find("still bound in the name server"), std::string::npos)
      << run.process().output();
  const auto left = run.processesLeft();
  EXPECT_TRUE(left.empty()) << "left running: " << left.front();
}

TEST(DemoScenario, fastRunPutsEveryObjectInItsSlotAndDrivesBackWithoutCollision) {
  DemoRun run({});
  const auto status = run.process().waitForExit(kScenarioTimeout);
  if (!status) interruptAndCheckShutdown(run);
  ASSERT_TRUE(status) << "the demo did not finish in time\n" << run.process().output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe() << "\n" << run.process().output();

  const std::string summary = test_support::readFile(run.outDir() + "/summary.txt");
  ASSERT_FALSE(summary.empty()) << run.process().output();
  expectSuccessfulSummary(summary);

  // The pictures of the run: each drawn; the route shows the path driven there and back; the
  // objects have moved between the cell before and the cell after.
  EXPECT_TRUE(run.process().waitForOutput(
      "pictures of the run: " + run.outDir() + "/cell-before.png, route.png, cell-after.png",
      Seconds(1)))
      << run.process().output();
  std::map<std::string, cv::Mat> pictures;
  for (const char* name : {"cell-before.png", "route.png", "cell-after.png"}) {
    pictures[name] = cv::imread(run.outDir() + "/" + name, cv::IMREAD_COLOR);
    ASSERT_FALSE(pictures[name].empty()) << name;
    EXPECT_GT(scene_views::inkedPixels(pictures[name], scene_views::kBackgroundColour), 5000)
        << name;
  }
  EXPECT_GT(scene_views::pixelsOf(pictures["route.png"], scene_views::kPathColour), 500);
  EXPECT_GT(cv::norm(pictures["cell-before.png"], pictures["cell-after.png"], cv::NORM_L1), 0.0);

  interruptAndCheckShutdown(run);
}

// --private: the same scenario with the name server and every program on Unix sockets in a
// folder only the user can open.
TEST(DemoScenario, privateRunSucceedsOnUnixSocketsAndLeavesNoSocketBehind) {
  DemoRun run({"--private"});
  const auto status = run.process().waitForExit(kScenarioTimeout);
  if (!status) interruptAndCheckShutdown(run);
  ASSERT_TRUE(status) << "the demo did not finish in time\n" << run.process().output();
  EXPECT_TRUE(status->exitedWith(0)) << status->describe() << "\n" << run.process().output();
  expectSuccessfulSummary(test_support::readFile(run.outDir() + "/summary.txt"));

  const std::string launchLog = run.logOf("rtctl-launch");
  std::smatch socket;
  ASSERT_TRUE(std::regex_search(launchLog, socket,
                                std::regex(R"(started the name server omniNames \(pid [0-9]+\) on )"
                                           R"((/[^,]*/names\.sock))")))
      << launchLog;
  const std::string conf = test_support::readFile(run.outDir() + "/run/PalkettComp/rtc.conf");
  EXPECT_NE(conf.find("corba.nameservers: corbaloc:omniunix:" + socket[1].str()), std::string::npos)
      << conf;
  // The socket and its folder went with the run.
  struct stat left {};
  EXPECT_NE(stat(socket[1].str().c_str(), &left), 0) << socket[1].str() << " is left";
  interruptAndCheckShutdown(run);
}

// The words on Palkett0:output, one line per sample, as a listener started by the test sees
// them.
class AnswerListener {
 public:
  AnswerListener(const std::string& nameServer, const std::string& endpoint)
      : nameServer_(nameServer) {
    const std::string component = endpoint.substr(0, endpoint.find(':'));
    const std::string before = rtctl({"cat", component}).out;
    process_ = std::make_unique<test_support::ChildProcess>(
        test_support::binPath("rtctl"),
        std::vector<std::string>{"-n", nameServer, "print", endpoint});
    // Connected once the component's profile shows the new connection.
    test_support::waitUntil(
        [&] {
          return rtctl({"cat", component}).out != before || !process_->isRunning();
        },
        Seconds(15), kPoll);
  }

  test_support::RunResult rtctl(const std::vector<std::string>& arguments) const {
    std::vector<std::string> all{"-n", nameServer_};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return test_support::runProgram(test_support::binPath("rtctl"), all, Seconds(30));
  }

  int answerCount() const {
    const std::string text = process_->standardOutput();
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  // Sends the word and returns the next answer (empty on time-out, "<none>").
  std::string exchange(const std::string& inEndpoint, const std::string& word) {
    const int before = answerCount();
    const auto sent = rtctl({"inject", inEndpoint, word});
    if (!sent.status.exitedWith(0)) return "<send failed: " + sent.err + ">";
    if (!test_support::waitUntil([&] { return answerCount() > before; }, kAnswerTimeout, kPoll))
      return "<none>";
    std::istringstream lines(process_->standardOutput());
    std::string line;
    for (int i = 0; i <= before; ++i) std::getline(lines, line);
    return line;
  }

 private:
  std::string nameServer_;
  std::unique_ptr<test_support::ChildProcess> process_;
};

// The gateway's panel lines of both arms, the last complete ones printed.
std::string lastArmLines(const std::string& gatewayLog) {
  const std::string complete = gatewayLog.substr(0, gatewayLog.rfind('\n') + 1);
  const auto left = linesWith(complete, "[ Arm   L ]:");
  const auto right = linesWith(complete, "[ Arm   R ]:");
  if (left.empty() || right.empty()) return "";
  return left.back() + " / " + right.back();
}

bool waitForText(const std::function<std::string()>& read, const std::string& text, Seconds timeout,
                 int count = 1) {
  return test_support::waitUntil(
      [&] {
        const std::string now = read();
        int found = 0;
        for (auto at = now.find(text); at != std::string::npos; at = now.find(text, at + 1))
          ++found;
        return found >= count;
      },
      timeout, kPoll);
}

TEST(DemoFault, stopDuringTheFirstObjectHaltsTheRobotAndFinishLetsTheNextStartWork) {
  DemoRun run({"--no-scenario"});
  ASSERT_TRUE(run.process().waitForOutput("Ctrl-C ends it", kStartTimeout))
      << run.process().output();
  std::smatch found;
  const std::string output = run.process().output();
  ASSERT_TRUE(std::regex_search(output, found, std::regex(R"(-n (127\.0\.0\.1:[0-9]+) ls)")))
      << output;
  AnswerListener answers(found[1].str(), "Palkett0:output");

  const auto coordinatorLog = [&] { return run.logOf("PalkettComp"); };
  const auto gatewayLog = [&] { return run.logOf("BriskoComp"); };
  ASSERT_TRUE(
      answers.rtctl({"inject", "Palkett0:input", "HIRO_OBJ_MANIP_START"}).status.exitedWith(0));
  ASSERT_TRUE(waitForText(coordinatorLog, "[Object pick & place]", kAnswerTimeout))
      << coordinatorLog();

  EXPECT_EQ(answers.exchange("Palkett0:input", "HIRO_OBJ_MANIP_STOP"), "HIRO_OBJ_MANIP_STOPPED");
  // The simulated cell's own account: the stop ended a trajectory that was under way.
  EXPECT_TRUE(waitForText([&] { return run.logOf("HiroSimComp"); },
                          "movePTPJointAbsSeq: motion halted: the protective stop was engaged",
                          Seconds(10)))
      << run.logOf("HiroSimComp");

  // Halted: two later panels of the gateway show the arms where the first one after the stop
  // showed them.
  const int panels = static_cast<int>(linesWith(gatewayLog(), "[ Arm   L ]:").size());
  ASSERT_TRUE(waitForText(gatewayLog, "[ Arm   L ]:", Seconds(20), panels + 1)) << gatewayLog();
  const std::string halted = lastArmLines(gatewayLog());
  ASSERT_FALSE(halted.empty()) << gatewayLog();
  ASSERT_TRUE(waitForText(gatewayLog, "[ Arm   L ]:", Seconds(20), panels + 3)) << gatewayLog();
  EXPECT_EQ(lastArmLines(gatewayLog()), halted);

  EXPECT_EQ(answers.exchange("Palkett0:input", "FINISH"), "");
  EXPECT_EQ(answers.exchange("Palkett0:input", "HIRO_OBJ_MANIP_START"), "HIRO_OBJ_MANIP_FINISHED")
      << coordinatorLog();

  interruptAndCheckShutdown(run);
}

}  // namespace
}  // namespace demo_test
