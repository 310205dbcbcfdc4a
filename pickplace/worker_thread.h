#pragma once
// The coordinator's single worker slot: one task thread at a time, started by the execution
// context and collected by it with a bounded poll and a join.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "console.h"

namespace pickplace {

class Thread {
 public:
  // The console receives the destructor's lines.
  explicit Thread(Console& console) : console_(console) {}
  // Joins a held thread, between its two log lines.
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts body on a new thread; false, starting nothing, while a thread is held.
  bool start(std::function<void()> body);
  // Waits without limit for a held thread and releases it; nothing when none is held.
  void join();
  // Waits at most wait_ms for the held thread's end; true when it has ended or none is held.
  bool poll(int wait_ms);
  bool held() const { return thread_.joinable(); }

 private:
  Console& console_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable ended_;
  bool finished_ = false;
};

}  // namespace pickplace
