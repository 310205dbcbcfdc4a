#pragma once
// When the simulated base publishes odometry.
//
// The planner reads the oldest unread pose sample, once per cycle, right after it has asked
// for the map. A sample per map request therefore reaches it fresh; any extra sample would
// stay queued and make every later read one sample older. So: one sample for each map request,
// and the configured rate only while nobody asks for the map (a consumer without a map still
// gets odometry).

namespace basesim {

class OdometrySchedule {
 public:
  explicit OdometrySchedule(double rate_hz) : period_s_(1.0 / rate_hz) {}

  // Notes a map request seen at `now_s`; the next due() publishes.
  void mapRequested(double now_s) {
    requestPending_ = true;
    lastRequest_s_ = now_s;
  }

  // True when a sample should go out now; the caller publishes it.
  bool due(double now_s) {
    const bool requestsStopped =
        !seenRequest_ || now_s - lastRequest_s_ > kQuietPeriods * period_s_;
    const bool periodic = requestsStopped && (!published_ || now_s - lastPublish_s_ >= period_s_);
    if (!requestPending_ && !periodic) return false;
    seenRequest_ = seenRequest_ || requestPending_;
    requestPending_ = false;
    published_ = true;
    lastPublish_s_ = now_s;
    return true;
  }

 private:
  // Map requests this many periods apart still count as a running planner.
  static constexpr double kQuietPeriods = 2.0;

  const double period_s_;
  bool requestPending_ = false;
  bool seenRequest_ = false;
  bool published_ = false;
  double lastRequest_s_ = 0.0;
  double lastPublish_s_ = 0.0;
};

}  // namespace basesim
