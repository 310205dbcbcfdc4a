#pragma once
// The dashboard's one thread that looks at the system. At a bounded rate it reads the system
// (components, states, connections), draws the scene pictures, takes what the component
// received (words, the planning picture), and publishes all of it as one immutable snapshot;
// HTTP handlers only copy that snapshot. Button presses come to this thread too and are
// carried out between two reads, so the page never adds calls to the system beyond them.
//
// The system is reached only through the functions in WatcherLinks, so the watcher is tested
// without a running system.
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <opencv2/core.hpp>

#include "inbox.h"
#include "watcher_types.h"

namespace dashboard {

// Reads at most this often and at least this often, whatever the options say.
inline constexpr double kMinPollRate_hz = 0.2;
inline constexpr double kMaxPollRate_hz = 2.0;
// A button press not carried out within this time is answered as failed.
inline constexpr double kActionTimeout_s = 15.0;

// A scene picture drawn for the page, or why there is none.
struct ScenePicture {
  std::string name;  // "building", "cell-top", "cell-side"
  std::string title;
  cv::Mat picture;  // BGR; empty when there is none
  std::string problem;
};

struct WatcherLinks {
  std::function<SystemView()> readSystem;
  // Empty on success, else the reason (one line).
  std::function<std::string(const std::string& instanceName, bool activate)> changeState;
  std::function<std::string(WordTarget target, const std::string& word)> sendWord;
  std::function<std::vector<ScenePicture>()> drawScenes;
  // The steps file's text, or nullopt when it cannot be read; unset without a steps file.
  std::function<std::optional<std::string>()> readStepsFile;
  std::string stepsFileName;
};

class Watcher {
 public:
  Watcher(WatcherLinks links, double pollRate_hz);
  ~Watcher();
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  // Publishes a first (empty) snapshot at once, then starts the thread.
  void start();
  void stop();

  Inbox& inbox() { return inbox_; }
  std::shared_ptr<const Snapshot> snapshot() const;
  // Carried out on the watcher's thread; waits for the outcome (kActionTimeout_s at most).
  ActionOutcome request(const ActionRequest& action);

  // One round: carries out waiting presses, reads, draws and publishes. The thread runs it at
  // the poll rate; tests call it directly instead of start().
  void poll();

  double pollRate_hz() const { return pollRate_hz_; }

 private:
  struct Pending {
    ActionRequest action;
    std::promise<ActionOutcome> outcome;
  };
  void run();
  void carryOutPending();
  ActionOutcome carryOut(const ActionRequest& action);
  void takeInbox(std::map<std::string, std::string>& images);
  void drawScenes(std::map<std::string, std::string>& images);
  void publish(std::map<std::string, std::string> images);

  WatcherLinks links_;
  const double pollRate_hz_;
  Inbox inbox_;

  // The page's state as the thread builds it; only the watcher's thread touches it.
  PageState state_;
  StepTracker stepTracker_;
  std::map<std::string, std::string> images_;
  std::map<std::string, cv::Mat> lastScenes_;

  mutable std::mutex snapshotMutex_;
  std::shared_ptr<const Snapshot> snapshot_;

  std::mutex pendingMutex_;
  std::condition_variable wake_;
  std::deque<Pending> pending_;
  bool stopping_ = false;
  std::thread thread_;
};

// Seconds since the Unix epoch, now.
double wallClock_s();

}  // namespace dashboard
