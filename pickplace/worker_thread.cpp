#include "worker_thread.h"

#include <chrono>

namespace pickplace {

Thread::~Thread() {
  console_.error(">> ~Thread()");
  join();
  console_.error("<< ~Thread()");
}

bool Thread::start(std::function<void()> body) {
  if (thread_.joinable()) {
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = false;
  }
  thread_ = std::thread([this, body = std::move(body)] {
    body();
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    ended_.notify_all();
  });
  return true;
}

void Thread::join() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

bool Thread::poll(int wait_ms) {
  if (!thread_.joinable()) {
    return true;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  return ended_.wait_for(lock, std::chrono::milliseconds(wait_ms), [this] { return finished_; });
}

}  // namespace pickplace
