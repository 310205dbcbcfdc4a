#include "planner_clock.h"

#include <thread>

namespace planner {
namespace {

constexpr double kNanosecondsPerMillisecond = 1e6;

}  // namespace

std::uint32_t simulatedMilliseconds(std::chrono::nanoseconds wall, double timeScale) {
  const double simulated_ms =
      static_cast<double>(wall.count()) * timeScale / kNanosecondsPerMillisecond;
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(simulated_ms));
}

SteadyMillisecondClock::SteadyMillisecondClock(double timeScale)
    : timeScale_(timeScale), start_(std::chrono::steady_clock::now()) {}

std::uint32_t SteadyMillisecondClock::now_ms() {
  return simulatedMilliseconds(std::chrono::steady_clock::now() - start_, timeScale_);
}

void SteadyMillisecondClock::sleepOneMillisecond() {
  std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(1.0 / timeScale_));
}

}  // namespace planner
