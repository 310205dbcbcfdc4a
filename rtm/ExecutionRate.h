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

}  // namespace RTC
