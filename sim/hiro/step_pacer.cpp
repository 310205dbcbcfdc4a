#include "step_pacer.h"

#include <cmath>

namespace hirosim {

StepPacer::StepPacer(double timeScale, double controlPeriod_s)
    : timeScale_(timeScale), controlPeriod_s_(controlPeriod_s) {}

long StepPacer::stepsDue(double wallNow_s) {
  if (!wallOrigin_s_) {
    wallOrigin_s_ = wallNow_s;
    return 0;
  }
  const double simulated_s = (wallNow_s - *wallOrigin_s_) * timeScale_;
  const long target = static_cast<long>(std::floor(simulated_s / controlPeriod_s_));
  if (target <= stepsTaken_) return 0;
  const long due = target - stepsTaken_;
  stepsTaken_ = target;
  return due;
}

}  // namespace hirosim
