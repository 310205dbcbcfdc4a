// The dashboard's program: the live page of the running system on 127.0.0.1.
#include <shell/component_shell.h>
#include <shell/program_command_line.h>

#include "Dashboard.h"
#include "dashboard_options.h"

namespace {

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, DashboardInit, "Dashboard");
}

}  // namespace

int main(int argc, char** argv) {
  shell::ProgramCommandLine line(
      "Dashboard",
      "Serves the live page of the running system (components, states, connections, planning "
      "image, building and cell views, words, steps, command buttons) on 127.0.0.1.");
  dashboard::DashboardOptions options;
  dashboard::addDashboardOptions(line.app(), options);
  if (std::optional<int> status = line.parse(argc, argv)) return *status;
  Dashboard::setOptions(options);
  return shell::runComponentProcess(line, moduleInit);
}
