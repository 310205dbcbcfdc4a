// The mobile-base planner program: one Torvane component on the middleware.
#include <shell/component_shell.h>

#include "Torvane.h"

namespace {

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, TorvaneInit, "Torvane");
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
