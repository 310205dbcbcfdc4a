// The rates a periodic execution context runs at, and the period of each.
#pragma once

#include <chrono>
#include <cmath>

namespace RTC {

// From one callback every 1000 s to one every microsecond.
inline constexpr double kMinRate_hz = 0.001;
inline constexpr double kMaxRate_hz = 1e6;
inline constexpr const char* kUsableRateText = "between 0.001 and 1000000 Hz";

inline bool isUsableRate(double rate_hz) {
  return std::isfinite(rate_hz) && rate_hz >= kMinRate_hz && rate_hz <= kMaxRate_hz;
}

// The period of a usable rate.
inline std::chrono::nanoseconds periodOf(double rate_hz) {
  return std::chrono::nanoseconds(std::llround(1e9 / rate_hz));
}

// When the cycle after the one scheduled at `scheduled` starts, seen at `now` (the end of
// that cycle). Cycles keep to a fixed grid of periods, so that the mean period is the
// period whatever the callbacks take. A cycle that ends late is followed at once by the next
// one, which catches up; when the callbacks have fallen a whole period or more behind, the
// cycles missed are dropped rather than run back to back, and the next one starts at once,
// on the grid point just passed.
template <class TimePoint, class Duration>
TimePoint nextCycleStart(TimePoint scheduled, Duration period, TimePoint now) {
  TimePoint next = scheduled + period;
  if (now - next >= period) next += ((now - next) / period) * period;
  return next;
}

}  // namespace RTC
