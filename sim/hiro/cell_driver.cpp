#include "cell_driver.h"

#include <algorithm>
#include <chrono>
#include <iostream>

#include "step_pacer.h"

namespace hirosim {
namespace {

constexpr double kShortestSleep_s = 0.001;
// Steps run at one wake at the most: when the machine cannot keep up with the time scale,
// simulated time falls behind instead of holding the cell for ever longer stretches.
constexpr long kMostStepsPerWake = 2000;

double steadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CellDriver::CellDriver(HiroCell& cell, double timeScale)
    : cell_(cell), thread_([this, timeScale] { run(timeScale); }) {}

CellDriver::~CellDriver() { stop(); }

void CellDriver::stop() {
  running_ = false;
  if (thread_.joinable()) thread_.join();
}

void CellDriver::run(double timeScale) {
  StepPacer pacer(timeScale, HiroCell::kControlPeriod_s);
  // Wake about once per control step of wall time, but not more than once a millisecond.
  const double sleep_s = std::max(kShortestSleep_s, HiroCell::kControlPeriod_s / timeScale);
  pacer.stepsDue(steadySeconds());
  bool warnedBehind = false;
  while (running_) {
    std::this_thread::sleep_for(std::chrono::duration<double>(sleep_s));
    const long due = pacer.stepsDue(steadySeconds());
    if (due > kMostStepsPerWake && !warnedBehind) {
      std::cerr << "HiroSimComp: this machine cannot keep up with time scale " << timeScale
                << "; simulated time runs slower" << std::endl;
      warnedBehind = true;
    }
    if (due > 0) cell_.step(std::min(due, kMostStepsPerWake));
  }
}

}  // namespace hirosim
