#pragma once
// Runs the work at the station (for example the arm's task) as a shell command line, with a
// time-out after which the command's whole process group is killed.

#include <string>

namespace routesupervisor {

struct CommandOutcome {
  bool succeeded = false;
  std::string
      description;  // "exit code 0", "exit code 3", "signal 9", "timed out after 5.0 s", ...
};

CommandOutcome runStationCommand(const std::string& commandLine, double timeout_s);

}  // namespace routesupervisor
