#include "supervisor_options.h"

#include <shell/program_command_line.h>

#include <sstream>

namespace routesupervisor {

void addSupervisorOptions(CLI::App& app, SupervisorSettings& settings) {
  std::ostringstream range;
  range << " (" << kShortestTimeout_s << " to " << kLongestTimeout_s << ")";
  const CLI::Validator inRange = shell::finiteBetween(kShortestTimeout_s, kLongestTimeout_s);
  const auto addSeconds = [&](const char* name, double& seconds, const std::string& what) {
    app.add_option(name, seconds, what + range.str())
        ->check(inRange)
        ->type_name("S")
        ->capture_default_str();
  };
  addSeconds("--connect-timeout", settings.timeouts.connect_s,
             "seconds from activation until both word ports are connected");
  addSeconds("--arrival-timeout", settings.timeouts.arrival_s,
             "seconds from ROBOT_START to ROBOT_ARRIVED");
  addSeconds("--finish-timeout", settings.timeouts.finish_s,
             "seconds from ROBOT_GO_BACK to ROBOT_FINISH");
  addSeconds("--fault-timeout", settings.watch.fault_s,
             "seconds the planner may stay silent or without its map service before the route "
             "is given up");
  addSeconds("--progress-timeout", settings.watch.progress_s,
             "seconds the base may stay within 0.1 m of one place before the route is given up "
             "(needs BaseStatusService connected)");
  app.add_option("--at-station", settings.stationCommand,
                 "shell command line run at the station; ROBOT_GO_BACK is sent when it exits "
                 "with 0")
      ->type_name("COMMAND");
  addSeconds("--station-timeout", settings.stationTimeout_s,
             "the station command is killed (with its children) after this many seconds");
}

}  // namespace routesupervisor
