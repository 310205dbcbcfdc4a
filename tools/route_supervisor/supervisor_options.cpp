#include "supervisor_options.h"

#include <cmath>
#include <cstdlib>

namespace routesupervisor {
namespace {

// A positive, finite number of seconds; false otherwise.
bool readSeconds(const std::string& text, double& seconds) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(value) || value <= 0.0) return false;
  seconds = value;
  return true;
}

}  // namespace

SupervisorCommandLine parseSupervisorCommandLine(const std::vector<std::string>& arguments) {
  SupervisorCommandLine line;
  SupervisorSettings& settings = line.settings;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    double* seconds = nullptr;
    if (word == "--arrival-timeout") seconds = &settings.timeouts.arrival_s;
    if (word == "--finish-timeout") seconds = &settings.timeouts.finish_s;
    if (word == "--station-timeout") seconds = &settings.stationTimeout_s;
    const bool ours = seconds != nullptr || word == "--at-station";
    if (i == 0 || !ours) {
      line.middlewareArguments.push_back(word);
      continue;
    }
    if (i + 1 >= arguments.size()) {
      line.error = word + " needs a value";
      return line;
    }
    const std::string& value = arguments[++i];
    if (!seconds) {
      settings.stationCommand = value;
    } else if (!readSeconds(value, *seconds)) {
      line.error = word + " needs a positive number of seconds, not '" + value + "'";
      return line;
    }
  }
  return line;
}

}  // namespace routesupervisor
