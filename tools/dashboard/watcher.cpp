#include "watcher.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include <opencv2/imgcodecs.hpp>

#include "command_words.h"
#include "frame_annotation.h"

namespace dashboard {

namespace {

std::string pngOf(const cv::Mat& picture) {
  std::vector<unsigned char> bytes;
  if (picture.empty() || !cv::imencode(".png", picture, bytes)) return "";
  return std::string(bytes.begin(), bytes.end());
}

bool samePicture(const cv::Mat& first, const cv::Mat& second) {
  if (first.size() != second.size() || first.type() != second.type()) return false;
  cv::Mat difference;
  cv::absdiff(first, second, difference);
  return cv::countNonZero(difference.reshape(1)) == 0;
}

}  // namespace

double wallClock_s() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

Watcher::Watcher(WatcherLinks links, double pollRate_hz)
    : links_(std::move(links)),
      pollRate_hz_(std::clamp(pollRate_hz, kMinPollRate_hz, kMaxPollRate_hz)) {
  state_.pollRate_hz = pollRate_hz_;
  state_.stepsSource = links_.readStepsFile ? links_.stepsFileName : "words";
  publish({});
}

Watcher::~Watcher() { stop(); }

void Watcher::start() {
  thread_ = std::thread([this] { run(); });
}

void Watcher::stop() {
  {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(pendingMutex_);
  for (Pending& pending : pending_) {
    pending.outcome.set_value({"", false, "the dashboard is ending", wallClock_s()});
  }
  pending_.clear();
}

std::shared_ptr<const Snapshot> Watcher::snapshot() const {
  std::lock_guard<std::mutex> lock(snapshotMutex_);
  return snapshot_;
}

ActionOutcome Watcher::request(const ActionRequest& action) {
  std::future<ActionOutcome> outcome;
  {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    if (stopping_) return {"", false, "the dashboard is ending", wallClock_s()};
    pending_.push_back({action, {}});
    outcome = pending_.back().outcome.get_future();
  }
  wake_.notify_all();
  if (outcome.wait_for(std::chrono::duration<double>(kActionTimeout_s)) !=
      std::future_status::ready) {
    return {"", false, "not carried out in time: the dashboard is busy", wallClock_s()};
  }
  return outcome.get();
}

void Watcher::run() {
  const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(1.0 / pollRate_hz_));
  auto next = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> lock(pendingMutex_);
  while (!stopping_) {
    if (std::chrono::steady_clock::now() >= next) {
      lock.unlock();
      poll();
      lock.lock();
      next = std::max(next + period, std::chrono::steady_clock::now());
      continue;
    }
    if (!pending_.empty()) {
      lock.unlock();
      carryOutPending();
      lock.lock();
      continue;
    }
    wake_.wait_until(lock, next);
  }
}

void Watcher::carryOutPending() {
  for (;;) {
    Pending pending;
    {
      std::lock_guard<std::mutex> lock(pendingMutex_);
      if (pending_.empty()) return;
      pending = std::move(pending_.front());
      pending_.pop_front();
    }
    ActionOutcome outcome = carryOut(pending.action);
    state_.actions.push_back(outcome);
    while (state_.actions.size() > kMaxActionOutcomes) state_.actions.pop_front();
    publish(images_);
    pending.outcome.set_value(outcome);
  }
}

ActionOutcome Watcher::carryOut(const ActionRequest& action) {
  ActionOutcome outcome;
  outcome.time_s = wallClock_s();
  if (action.kind == ActionRequest::Kind::Word) {
    const CommandButton* button = findButton(action.button);
    if (!button) {
      outcome.what = "button \"" + action.button + "\"";
      outcome.detail = "no such button";
      return outcome;
    }
    outcome.what = std::string(button->word) + " to the " + targetName(button->target);
    outcome.detail = links_.sendWord(button->target, button->word);
    outcome.ok = outcome.detail.empty();
    if (outcome.ok) {
      outcome.detail = "sent";
      state_.sentWords.add(button->word, outcome.time_s);
      stepTracker_.commandSent(button->target, button->word, outcome.time_s);
    }
    return outcome;
  }
  const bool activate = action.kind == ActionRequest::Kind::Activate;
  outcome.what = std::string(activate ? "activate " : "deactivate ") + action.component;
  if (action.component.empty()) {
    outcome.detail = "no component named";
    return outcome;
  }
  outcome.detail = links_.changeState(action.component, activate);
  outcome.ok = outcome.detail.empty();
  if (outcome.ok) outcome.detail = "done";
  return outcome;
}

void Watcher::poll() {
  carryOutPending();
  state_.system = links_.readSystem();
  takeInbox(images_);
  drawScenes(images_);
  if (links_.readStepsFile) {
    std::optional<std::string> text = links_.readStepsFile();
    if (text) {
      StepsFromFile steps = stepsFromText(*text);
      state_.steps = steps.steps;
      state_.stepsProblem = steps.error;
    } else {
      state_.stepsProblem = "cannot read " + links_.stepsFileName;
    }
  } else {
    state_.steps = stepTracker_.steps();
  }
  publish(images_);
}

void Watcher::takeInbox(std::map<std::string, std::string>& images) {
  Inbox::Contents contents = inbox_.take();
  for (const ReceivedWord& word : contents.words) {
    (word.source == WordTarget::Coordinator ? state_.coordinatorWords : state_.plannerWords)
        .add(word.word, word.time_s);
    stepTracker_.answerSeen(word.source, word.word, word.time_s);
  }
  if (contents.frame) {
    const ReceivedFrame& frame = *contents.frame;
    images["planning"] = pngOf(planviewer::annotatedFrame(frame.picture, frame.caption));
    state_.planning = PlanningFrameInfo{frame.received, frame.caption.step, frame.caption.time_s,
                                        frame.time_s, frame.caption.mapMissing};
  }
}

void Watcher::drawScenes(std::map<std::string, std::string>& images) {
  if (!links_.drawScenes) return;
  std::vector<ScenePicture> pictures = links_.drawScenes();
  std::vector<SceneStatus> scenes;
  for (const ScenePicture& picture : pictures) {
    SceneStatus status{picture.name, picture.title, !picture.picture.empty(), picture.problem, 0};
    for (const SceneStatus& earlier : state_.scenes) {
      if (earlier.name == picture.name) status.version = earlier.version;
    }
    if (picture.picture.empty()) {
      images.erase(picture.name);
    } else if (!samePicture(picture.picture, lastScenes_[picture.name])) {
      // Encoded only when it changed: a robot standing still costs no encoding.
      images[picture.name] = pngOf(picture.picture);
      lastScenes_[picture.name] = picture.picture.clone();
      ++status.version;
    }
    scenes.push_back(status);
  }
  state_.scenes = scenes;
}

void Watcher::publish(std::map<std::string, std::string> images) {
  state_.time_s = wallClock_s();
  auto snapshot = std::make_shared<Snapshot>();
  snapshot->state = state_;
  snapshot->stateJson = pageStateJson(state_).dump();
  snapshot->images = std::move(images);
  std::lock_guard<std::mutex> lock(snapshotMutex_);
  snapshot_ = std::move(snapshot);
}

}  // namespace dashboard
