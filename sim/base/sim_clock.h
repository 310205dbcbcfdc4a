#pragma once
// Where the simulation takes its time from: the steady clock, scaled by "clock.time_scale" when
// running; a hand-moved clock in tests.

#include <atomic>
#include <chrono>

namespace basesim {

class SimClock {
 public:
  virtual ~SimClock() = default;
  virtual double now_s() const = 0;
};

class SteadyClock : public SimClock {
 public:
  double now_s() const override {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

// Simulated time running `scale` times as fast as `source`, from the moment it is made. With a
// scale of 1 it reads the same as its source.
class ScaledClock : public SimClock {
 public:
  ScaledClock(const SimClock& source, double scale)
      : source_(source), scale_(scale), origin_s_(source.now_s()) {}
  double now_s() const override { return origin_s_ + scale_ * (source_.now_s() - origin_s_); }
  double scale() const { return scale_; }

 private:
  const SimClock& source_;
  const double scale_;
  const double origin_s_;
};

class ManualClock : public SimClock {
 public:
  explicit ManualClock(double start_s = 0.0) : now_s_(start_s) {}
  double now_s() const override { return now_s_.load(); }
  void advance(double dt_s) { now_s_.store(now_s_.load() + dt_s); }

 private:
  std::atomic<double> now_s_;
};

}  // namespace basesim
