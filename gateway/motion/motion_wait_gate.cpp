#include "gateway/motion/motion_wait_gate.h"

MotionWaitGate::Entry MotionWaitGate::enter() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return releases_;
}

std::optional<MotionWaitGate::Release> MotionWaitGate::pause(Entry entry,
                                                             std::chrono::milliseconds period) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, period, [&] { return released(entry); })) return std::nullopt;
  return shutDown_ ? Release::ShutDown : Release::Deactivated;
}

void MotionWaitGate::releaseWaits() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++releases_;
  }
  changed_.notify_all();
}

void MotionWaitGate::shutDown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
  }
  changed_.notify_all();
}
