// The pick-and-place coordinator's program: one Palkett component on the middleware.
#include <shell/component_shell.h>

#include "Palkett.h"

namespace {

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, PalkettInit, "Palkett");
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
