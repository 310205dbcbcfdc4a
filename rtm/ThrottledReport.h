// A report of something that may happen many times a second (a full in-port dropping
// samples): the first occurrence is reported at once, later ones at most once per interval,
// each report with the running count, so that a flood does not flood the log.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>

namespace RTC {

class ThrottledReport {
 public:
  using Clock = std::chrono::steady_clock;
  explicit ThrottledReport(Clock::duration interval) : interval_(interval) {}

  // Counts one occurrence at `now`; true when a report is due, which then says count().
  bool occurred(Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++count_;
    if (reported_ && now - lastReport_ < interval_) return false;
    reported_ = true;
    lastReport_ = now;
    return true;
  }
  size_t count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return count_;
  }

 private:
  const Clock::duration interval_;
  mutable std::mutex mutex_;
  size_t count_ = 0;
  bool reported_ = false;
  Clock::time_point lastReport_;
};

}  // namespace RTC
