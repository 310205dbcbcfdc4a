// The watcher with a fake system behind it: what it publishes, how it carries out presses.
#include <gtest/gtest.h>

#include <future>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "watcher.h"

namespace dashboard {
namespace {

struct FakeSystem {
  SystemView view;
  std::vector<std::pair<WordTarget, std::string>> sent;
  std::vector<std::pair<std::string, bool>> changes;
  std::string sendProblem;
  cv::Mat building = cv::Mat(40, 60, CV_8UC3, cv::Scalar(255, 255, 255));
  int reads = 0;

  WatcherLinks links() {
    WatcherLinks links;
    links.readSystem = [this] {
      ++reads;
      return view;
    };
    links.changeState = [this](const std::string& name, bool activate) {
      changes.emplace_back(name, activate);
      return name == "Gone0" ? std::string("activate Gone0: no such component") : std::string();
    };
    links.sendWord = [this](WordTarget target, const std::string& word) {
      if (sendProblem.empty()) sent.emplace_back(target, word);
      return sendProblem;
    };
    links.drawScenes = [this] {
      return std::vector<ScenePicture>{{"building", "Building", building, ""},
                                       {"cell-top", "Cell from above", cv::Mat(), "no cell"}};
    };
    return links;
  }
};

// A press is carried out by the watcher's poll; the caller waits for it on another thread.
ActionOutcome pressDuringPoll(Watcher& watcher, const ActionRequest& action) {
  std::future<ActionOutcome> outcome =
      std::async(std::launch::async, [&] { return watcher.request(action); });
  while (outcome.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    watcher.poll();
  }
  return outcome.get();
}

ActionRequest wordRequest(const std::string& button) {
  ActionRequest action;
  action.button = button;
  return action;
}

TEST(Watcher, PublishesAnEmptyStateBeforeTheFirstRead) {
  FakeSystem system;
  Watcher watcher(system.links(), 1.0);
  std::shared_ptr<const Snapshot> snapshot = watcher.snapshot();
  ASSERT_NE(snapshot, nullptr);
  EXPECT_EQ(system.reads, 0);
  EXPECT_TRUE(nlohmann::json::parse(snapshot->stateJson)["components"].empty());
  EXPECT_EQ(nlohmann::json::parse(snapshot->stateJson)["stepsSource"], "words");
}

TEST(Watcher, PollRateIsBounded) {
  FakeSystem system;
  EXPECT_DOUBLE_EQ(Watcher(system.links(), 100.0).pollRate_hz(), kMaxPollRate_hz);
  EXPECT_DOUBLE_EQ(Watcher(system.links(), 0.0).pollRate_hz(), kMinPollRate_hz);
}

TEST(Watcher, APollPublishesComponentsWordsAndScenes) {
  FakeSystem system;
  system.view.components.push_back({"Palkett0.rtc", "Palkett0", "Active", "", {}});
  Watcher watcher(system.links(), 1.0);
  watcher.inbox().addWord(WordTarget::Coordinator, "HIRO_OBJ_MANIP_FINISHED", 12.0);
  watcher.inbox().addWord(WordTarget::Planner, "ROBOT_ARRIVED", 13.0);
  watcher.poll();
  std::shared_ptr<const Snapshot> snapshot = watcher.snapshot();
  nlohmann::json json = nlohmann::json::parse(snapshot->stateJson);
  EXPECT_EQ(json["components"][0]["name"], "Palkett0");
  EXPECT_EQ(json["words"]["coordinator"][0]["word"], "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_EQ(json["words"]["planner"][0]["word"], "ROBOT_ARRIVED");
  ASSERT_EQ(json["scenes"].size(), 2u);
  EXPECT_TRUE(json["scenes"][0]["available"]);
  EXPECT_FALSE(json["scenes"][1]["available"]);
  EXPECT_EQ(json["scenes"][1]["problem"], "no cell");
  ASSERT_EQ(snapshot->images.count("building"), 1u);
  EXPECT_EQ(snapshot->images.count("cell-top"), 0u);
  const std::string& png = snapshot->images.at("building");
  cv::Mat decoded =
      cv::imdecode(std::vector<unsigned char>(png.begin(), png.end()), cv::IMREAD_COLOR);
  EXPECT_EQ(decoded.cols, 60);
  EXPECT_EQ(decoded.rows, 40);
}

TEST(Watcher, ASceneIsEncodedAgainOnlyWhenItChanged) {
  FakeSystem system;
  Watcher watcher(system.links(), 1.0);
  watcher.poll();
  const int first = nlohmann::json::parse(watcher.snapshot()->stateJson)["scenes"][0]["version"];
  watcher.poll();
  EXPECT_EQ(nlohmann::json::parse(watcher.snapshot()->stateJson)["scenes"][0]["version"], first);
  cv::circle(system.building, {30, 20}, 5, cv::Scalar(0, 0, 255), -1);
  watcher.poll();
  EXPECT_EQ(nlohmann::json::parse(watcher.snapshot()->stateJson)["scenes"][0]["version"],
            first + 1);
}

TEST(Watcher, APlanningPictureIsPublishedWithItsStep) {
  FakeSystem system;
  Watcher watcher(system.links(), 1.0);
  ReceivedFrame frame;
  frame.picture = cv::Mat(400, 400, CV_8UC3, cv::Scalar(0, 255, 0));
  frame.caption.step = 17;
  frame.caption.time_s = 8.5;
  frame.received = 20;
  frame.time_s = 1000.0;
  watcher.inbox().setFrame(frame);
  watcher.poll();
  std::shared_ptr<const Snapshot> snapshot = watcher.snapshot();
  nlohmann::json json = nlohmann::json::parse(snapshot->stateJson);
  EXPECT_EQ(json["planning"]["step"], 17);
  EXPECT_EQ(json["planning"]["received"], 20);
  ASSERT_EQ(snapshot->images.count("planning"), 1u);
  const std::string& png = snapshot->images.at("planning");
  cv::Mat decoded =
      cv::imdecode(std::vector<unsigned char>(png.begin(), png.end()), cv::IMREAD_COLOR);
  // The picture with the viewer's panel (step, time, scale bar, legend) beside it.
  EXPECT_GT(decoded.cols, 400);
  EXPECT_EQ(decoded.at<cv::Vec3b>(200, 200), cv::Vec3b(0, 255, 0));
}

TEST(Watcher, AButtonSendsItsWordAndTheStepWaitsForTheAnswer) {
  FakeSystem system;
  Watcher watcher(system.links(), 1.0);
  ActionOutcome outcome = pressDuringPoll(watcher, wordRequest("object-start"));
  EXPECT_TRUE(outcome.ok) << outcome.detail;
  ASSERT_EQ(system.sent.size(), 1u);
  EXPECT_EQ(system.sent[0].first, WordTarget::Coordinator);
  EXPECT_EQ(system.sent[0].second, "HIRO_OBJ_MANIP_START");
  watcher.inbox().addWord(WordTarget::Coordinator, "HIRO_OBJ_MANIP_FINISHED", wallClock_s());
  watcher.poll();
  nlohmann::json json = nlohmann::json::parse(watcher.snapshot()->stateJson);
  EXPECT_EQ(json["words"]["sent"][0]["word"], "HIRO_OBJ_MANIP_START");
  ASSERT_EQ(json["steps"].size(), 1u);
  EXPECT_EQ(json["steps"][0]["answer"], "HIRO_OBJ_MANIP_FINISHED");
  EXPECT_FALSE(json["steps"][0]["duration_s"].is_null());
  EXPECT_EQ(json["actions"][0]["what"], "HIRO_OBJ_MANIP_START to the coordinator");
}

TEST(Watcher, AnUnknownButtonSendsNothing) {
  FakeSystem system;
  Watcher watcher(system.links(), 1.0);
  ActionOutcome outcome = pressDuringPoll(watcher, wordRequest("ROBOT_START"));
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.detail, "no such button");
  EXPECT_TRUE(system.sent.empty());
}

TEST(Watcher, AWordThatCannotGoOutIsReportedAndNoStepOpened) {
  FakeSystem system;
  system.sendProblem = "not sent: Dashboard's route_command is connected to nothing";
  Watcher watcher(system.links(), 1.0);
  ActionOutcome outcome = pressDuringPoll(watcher, wordRequest("route-start"));
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.detail, system.sendProblem);
  watcher.poll();
  nlohmann::json json = nlohmann::json::parse(watcher.snapshot()->stateJson);
  EXPECT_TRUE(json["steps"].empty());
  EXPECT_FALSE(json["actions"][0]["ok"]);
}

TEST(Watcher, ActivationAndDeactivationGoToTheNamedComponent) {
  FakeSystem system;
  Watcher watcher(system.links(), 1.0);
  ActionRequest activate;
  activate.kind = ActionRequest::Kind::Activate;
  activate.component = "Torvane0";
  EXPECT_TRUE(pressDuringPoll(watcher, activate).ok);
  ActionRequest deactivate;
  deactivate.kind = ActionRequest::Kind::Deactivate;
  deactivate.component = "Gone0";
  ActionOutcome failed = pressDuringPoll(watcher, deactivate);
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.detail, "activate Gone0: no such component");
  ASSERT_EQ(system.changes.size(), 2u);
  EXPECT_EQ(system.changes[0], std::make_pair(std::string("Torvane0"), true));
  EXPECT_EQ(system.changes[1], std::make_pair(std::string("Gone0"), false));
}

TEST(Watcher, ThreadCarriesOutAPressWithoutWaitingForItsNextRound) {
  FakeSystem system;
  Watcher watcher(system.links(), kMinPollRate_hz);
  watcher.start();
  EXPECT_TRUE(watcher.request(wordRequest("finish")).ok);
  watcher.stop();
  ASSERT_EQ(system.sent.size(), 1u);
  EXPECT_EQ(system.sent[0].second, "FINISH");
}

TEST(Watcher, APressAfterStopIsRefused) {
  FakeSystem system;
  Watcher watcher(system.links(), 1.0);
  watcher.start();
  watcher.stop();
  EXPECT_FALSE(watcher.request(wordRequest("finish")).ok);
  EXPECT_TRUE(system.sent.empty());
}

TEST(Watcher, StepsComeFromTheStepsFileWhenGiven) {
  FakeSystem system;
  WatcherLinks links = system.links();
  std::string text = "route out\tROBOT_START\tROBOT_ARRIVED\tROBOT_ARRIVED\t41\n";
  links.readStepsFile = [&text] { return std::optional<std::string>(text); };
  links.stepsFileName = "out/steps.tsv";
  Watcher watcher(std::move(links), 1.0);
  watcher.poll();
  nlohmann::json json = nlohmann::json::parse(watcher.snapshot()->stateJson);
  EXPECT_EQ(json["stepsSource"], "out/steps.tsv");
  ASSERT_EQ(json["steps"].size(), 1u);
  EXPECT_EQ(json["steps"][0]["label"], "route out");
}

}  // namespace
}  // namespace dashboard
