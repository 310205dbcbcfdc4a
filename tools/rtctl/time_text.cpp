#include "time_text.h"

#include <cstdio>
#include <ctime>

namespace rtctl {

std::string wallClockText(std::chrono::system_clock::time_point when) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  long milliseconds = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
      1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min,
                local.tm_sec, milliseconds);
  return text;
}

std::string secondsText(double seconds) {
  char text[32];
  int decimals = seconds < 10 ? 2 : seconds < 100 ? 1 : 0;
  std::snprintf(text, sizeof text, "%.*f s", decimals, seconds);
  return text;
}

}  // namespace rtctl
