#pragma once
// Turns wall-clock time into fixed control steps of simulated time: with a time scale k
// the simulation runs k times faster than the clock.

#include <optional>

namespace hirosim {

class StepPacer {
 public:
  // timeScale > 0 and controlPeriod_s > 0.
  StepPacer(double timeScale, double controlPeriod_s);

  // Control steps due since the previous call, for the wall clock reading wallNow_s (any
  // monotonic origin). The first call only sets the origin.
  long stepsDue(double wallNow_s);

  double simulatedTime_s() const { return stepsTaken_ * controlPeriod_s_; }

 private:
  double timeScale_;
  double controlPeriod_s_;
  std::optional<double> wallOrigin_s_;
  long stepsTaken_ = 0;
};

}  // namespace hirosim
