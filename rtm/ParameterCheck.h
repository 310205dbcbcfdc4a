// Checks of configuration values. A check is written next to the bind of the member it
// guards, so that a value which converts but makes no sense (a negative distance, an
// infinite period) is refused where it is set, with the reason, and never reaches the member.
#pragma once

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <type_traits>

namespace RTC {

// Empty when `value` is usable, otherwise why it is not ("must be > 0").
template <class T>
using ParameterCheck = std::function<std::string(const T& value)>;

namespace check {

// Any finite number (integers always are).
template <class T>
ParameterCheck<T> finite() {
  return [](const T& value) -> std::string {
    if constexpr (std::is_floating_point<T>::value)
      if (!std::isfinite(value)) return "must be a finite number";
    return {};
  };
}

// A finite number greater than zero.
template <class T>
ParameterCheck<T> positive() {
  return [](const T& value) -> std::string {
    if (std::string reason = finite<T>()(value); !reason.empty()) return reason;
    if (!(value > T{0})) return "must be > 0";
    return {};
  };
}

// A finite number of at least `lowest`.
template <class T>
ParameterCheck<T> atLeast(T lowest) {
  return [lowest](const T& value) -> std::string {
    if (std::string reason = finite<T>()(value); !reason.empty()) return reason;
    if (!(value >= lowest)) {
      std::ostringstream reason;
      reason << "must be >= " << lowest;
      return reason.str();
    }
    return {};
  };
}

// A finite number from `lowest` to `highest`, both included.
template <class T>
ParameterCheck<T> between(T lowest, T highest) {
  return [lowest, highest](const T& value) -> std::string {
    if (std::string reason = finite<T>()(value); !reason.empty()) return reason;
    if (!(value >= lowest && value <= highest)) {
      std::ostringstream reason;
      reason << "must be from " << lowest << " to " << highest;
      return reason.str();
    }
    return {};
  };
}

}  // namespace check
}  // namespace RTC
