// Hosts the test components. RT_TEST_CREATE names the types to create, comma separated and
// repeatable ("Talker" or "Probe,Probe,Probe"); each creation prints "created <instance>" or
// "create returned null for <type>".
#include <shell/component_shell.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "test_components.h"

namespace {

void moduleInit(RTC::Manager* manager) {
  rt_test::registerTestComponents(manager);
  const char* wanted = std::getenv("RT_TEST_CREATE");
  std::istringstream types(wanted ? wanted : "");
  std::string type;
  while (std::getline(types, type, ',')) {
    RTC::RTObject_impl* component = manager->createComponent(type.c_str());
    if (component) {
      std::printf("created %s\n", component->getInstanceName());
    } else {
      std::printf("create returned null for %s\n", type.c_str());
    }
    std::fflush(stdout);
  }
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
