// The simulated mobile base's program.
#include <shell/component_shell.h>

#include "BaseSim.h"

namespace {

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, BaseSimInit, "BaseSim");
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
