#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

namespace planner {

// The planner's millisecond clock and its 1 ms sleep, passed in so that tests can drive time.
class MillisecondClock {
 public:
  virtual ~MillisecondClock() = default;
  // Milliseconds since an arbitrary start; wraps like a 32-bit counter.
  virtual std::uint32_t now_ms() = 0;
  virtual void sleepOneMillisecond() = 0;
};

class SteadyMillisecondClock : public MillisecondClock {
 public:
  std::uint32_t now_ms() override {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
  void sleepOneMillisecond() override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
};

}  // namespace planner
