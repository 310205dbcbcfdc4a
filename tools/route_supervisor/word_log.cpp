#include "word_log.h"

#include <cstdio>
#include <ctime>

namespace routesupervisor {

std::string wordLine(std::chrono::system_clock::time_point when, const std::string& what) {
  const auto since = when.time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
  const long long millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(since - seconds).count();
  const std::time_t whole = static_cast<std::time_t>(seconds.count());
  std::tm utc{};
  gmtime_r(&whole, &utc);
  char stamp[40];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &utc);
  char millisText[8];
  std::snprintf(millisText, sizeof millisText, ".%03lldZ ", millis);
  return std::string(stamp) + millisText + what;
}

}  // namespace routesupervisor
