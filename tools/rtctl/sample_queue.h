#pragma once
// Samples handed from the ORB's threads to rtctl's main thread, oldest first. Beyond its
// capacity the oldest is dropped and counted, so that a slow terminal never holds up the
// component that writes.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "tools/port_data/sample_value.h"

namespace rtctl {

struct ArrivedSample {
  port_data::Bytes octets;
  std::chrono::steady_clock::time_point arrival;
};

class SampleQueue {
 public:
  explicit SampleQueue(size_t capacity) : capacity_(capacity) {}

  void push(ArrivedSample sample) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (samples_.size() >= capacity_) {
      samples_.pop_front();
      ++dropped_;
    }
    samples_.push_back(std::move(sample));
    arrived_.notify_one();
  }

  // The oldest sample, waiting at most timeout_s; empty on time-out.
  std::optional<ArrivedSample> next(double timeout_s) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!arrived_.wait_for(lock, std::chrono::duration<double>(timeout_s),
                           [this] { return !samples_.empty(); })) {
      return std::nullopt;
    }
    ArrivedSample sample = std::move(samples_.front());
    samples_.pop_front();
    return sample;
  }

  std::uint64_t dropped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
  }

 private:
  const size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<ArrivedSample> samples_;
  std::uint64_t dropped_ = 0;
};

}  // namespace rtctl
