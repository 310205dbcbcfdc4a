// The route supervisor's program: exit status 0 only when the route finished, 2 for a command
// line it does not understand.
#include <shell/component_shell.h>
#include <shell/program_command_line.h>

#include "RouteSupervisor.h"
#include "supervisor_options.h"

namespace {

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, RouteSupervisorInit, "RouteSupervisor");
}

}  // namespace

int main(int argc, char** argv) {
  shell::ProgramCommandLine line(
      "RouteSupervisor",
      "Runs the planner's route once: sends ROBOT_START, waits for ROBOT_ARRIVED, runs the work "
      "at the station, sends ROBOT_GO_BACK, waits for ROBOT_FINISH; gives up with the reason "
      "when the route cannot go on.");
  routesupervisor::SupervisorSettings settings;
  routesupervisor::addSupervisorOptions(line.app(), settings);
  if (std::optional<int> status = line.parse(argc, argv)) return *status;
  RouteSupervisor::setSettings(settings);
  const int managerStatus = shell::runComponentProcess(line, moduleInit);
  return managerStatus != 0 ? managerStatus : RouteSupervisor::exitStatus();
}
