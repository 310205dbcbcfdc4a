#pragma once

#include <chrono>
#include <cstdint>

namespace planner {

// The planner's millisecond clock and its 1 ms sleep, passed in so that tests can drive time.
// Every time the planner measures or waits for (the pacing to LOOP_TIME, the activation wait,
// the statistics) runs on this clock.
class MillisecondClock {
 public:
  virtual ~MillisecondClock() = default;
  // Milliseconds since an arbitrary start; wraps like a 32-bit counter.
  virtual std::uint32_t now_ms() = 0;
  virtual void sleepOneMillisecond() = 0;
};

// The machine's steady clock, run `timeScale` times as fast: the simulated time of a run on
// simulated hardware ("clock.time_scale" in rtc.conf, simulated seconds per wall-clock second;
// 1, real time, on a real robot). A 1 ms sleep lasts 1/timeScale ms of wall-clock time.
class SteadyMillisecondClock : public MillisecondClock {
 public:
  explicit SteadyMillisecondClock(double timeScale = 1.0);
  std::uint32_t now_ms() override;
  void sleepOneMillisecond() override;
  double timeScale() const { return timeScale_; }

 private:
  const double timeScale_;
  const std::chrono::steady_clock::time_point start_;
};

// The clock's count after `wall` of wall-clock time at `timeScale`.
std::uint32_t simulatedMilliseconds(std::chrono::nanoseconds wall, double timeScale);

}  // namespace planner
