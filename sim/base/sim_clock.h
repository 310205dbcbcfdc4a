#pragma once
// Where the simulation takes its time from: the steady clock, scaled by "clock.time_scale" and
// stepped by the component when running; a hand-moved clock in tests.

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

// The simulated world's own time: follows `source`, but only when tick() is called, and by at
// most `longestStep_s` a tick. The component ticks it once per execution: when its process gets
// no processor for a while (a loaded machine, a scaled clock), the world waits instead of
// jumping ahead under the last command, and commands that came meanwhile take effect where the
// planner sent them. Read from any thread.
class SteppedClock : public SimClock {
 public:
  SteppedClock(const SimClock& source, double longestStep_s)
      : source_(source),
        longestStep_s_(longestStep_s),
        sourceSeen_s_(source.now_s()),
        now_s_(sourceSeen_s_) {}
  double now_s() const override { return now_s_.load(); }
  // Moves on by the source's time since the last tick, at most the longest step. Returns the
  // source's time that was left out (0 when the process kept up).
  double tick() {
    const double source_s = source_.now_s();
    const double elapsed_s = source_s - sourceSeen_s_;
    sourceSeen_s_ = source_s;
    const double step_s = elapsed_s < longestStep_s_ ? elapsed_s : longestStep_s_;
    now_s_.store(now_s_.load() + step_s);
    return elapsed_s - step_s;
  }

 private:
  const SimClock& source_;
  const double longestStep_s_;
  double sourceSeen_s_;  // ticking thread only
  std::atomic<double> now_s_;
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
