// The route supervisor's program: exit status 0 only when the route finished.
#include <cstdio>

#include <shell/component_shell.h>

#include "RouteSupervisor.h"
#include "supervisor_options.h"

namespace {

constexpr int kUsageError = 2;

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrAbort(manager, RouteSupervisorInit, "RouteSupervisor");
}

}  // namespace

int main(int argc, char** argv) {
  const auto line =
      routesupervisor::parseSupervisorCommandLine(std::vector<std::string>(argv, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr,
                 "RouteSupervisor: %s\nusage: RouteSupervisor [--arrival-timeout S] "
                 "[--finish-timeout S] [--at-station COMMAND] [--station-timeout S] "
                 "[middleware options]\n",
                 line.error.c_str());
    return kUsageError;
  }
  RouteSupervisor::setSettings(line.settings);
  std::vector<char*> middlewareArgv;
  for (const std::string& word : line.middlewareArguments)
    middlewareArgv.push_back(const_cast<char*>(word.c_str()));
  middlewareArgv.push_back(nullptr);
  const int managerStatus = shell::runComponentProcess(
      static_cast<int>(line.middlewareArguments.size()), middlewareArgv.data(), moduleInit);
  return managerStatus != 0 ? managerStatus : RouteSupervisor::exitStatus();
}
