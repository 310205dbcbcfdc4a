#pragma once
// Writes the supervisor's words on a thread of its own. A put to a planner that does not
// answer waits out the port's call time-out (dataport.call_timeout_ms, 3 s by default); the
// execution context must go on watching the route meanwhile, so that a hung planner is given
// up within the user's fault time-out whatever the write does.
//
// send() queues and returns at once; `write` runs on the sender's thread, one word after the
// other, in order. stop() returns once the write in progress has ended (words still queued are
// not sent: the supervisor has ended).

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace routesupervisor {

class WordSender {
 public:
  using Write = std::function<void(const std::string& word)>;

  explicit WordSender(Write write);
  ~WordSender();
  WordSender(const WordSender&) = delete;
  WordSender& operator=(const WordSender&) = delete;

  void send(const std::string& word);
  void stop();

 private:
  void run();

  const Write write_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> queue_;
  bool stopping_ = false;
  std::thread thread_;  // last: starts once everything it uses is there
};

}  // namespace routesupervisor
