// The route supervisor's program: exit status 0 only when the route finished.
#include <cstdio>

#include <shell/component_shell.h>

#include "program_options.h"

#include "RouteSupervisor.h"
#include "supervisor_options.h"

namespace {

constexpr int kUsageError = 2;

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, RouteSupervisorInit, "RouteSupervisor");
}

}  // namespace

int main(int argc, char** argv) {
  const auto line =
      routesupervisor::parseSupervisorCommandLine(std::vector<std::string>(argv, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(
        stderr,
        "RouteSupervisor: %s\nusage: RouteSupervisor [--connect-timeout S] [--arrival-timeout S] "
        "[--finish-timeout S] [--at-station COMMAND] [--station-timeout S] "
        "[middleware options]\n",
        line.error.c_str());
    return kUsageError;
  }
  RouteSupervisor::setSettings(line.settings);
  programoptions::MiddlewareArgv middleware(line.middlewareArguments);
  const int managerStatus =
      shell::runComponentProcess(middleware.argc(), middleware.argv(), moduleInit);
  return managerStatus != 0 ? managerStatus : RouteSupervisor::exitStatus();
}
