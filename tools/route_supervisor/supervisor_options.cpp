#include "supervisor_options.h"

#include "program_options.h"

namespace routesupervisor {

SupervisorCommandLine parseSupervisorCommandLine(const std::vector<std::string>& arguments) {
  const auto split = programoptions::splitCommandLine(
      arguments, {"--connect-timeout", "--arrival-timeout", "--finish-timeout", "--station-timeout",
                  "--at-station"});
  SupervisorCommandLine line;
  line.middlewareArguments = split.middlewareArguments;
  line.error = split.error;
  SupervisorSettings& settings = line.settings;
  const std::map<std::string, double*> durations = {
      {"--connect-timeout", &settings.timeouts.connect_s},
      {"--arrival-timeout", &settings.timeouts.arrival_s},
      {"--finish-timeout", &settings.timeouts.finish_s},
      {"--station-timeout", &settings.stationTimeout_s}};
  for (const auto& [option, value] : split.own) {
    const auto duration = durations.find(option);
    if (duration == durations.end()) {
      settings.stationCommand = value;
    } else if (!programoptions::readPositive(value, *duration->second)) {
      line.error = option + " needs a positive number of seconds, not '" + value + "'";
    }
  }
  return line;
}

}  // namespace routesupervisor
