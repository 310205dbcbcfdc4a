// A fake robot controller process for the gateway's cross-process tests and benchmarks.
#include <shell/component_shell.h>

#include "FakeHiroController.h"

extern "C" void FakeHiroControllerInit(RTC::Manager* manager);

namespace {

// clang-format off
const char* const fake_controller_profile[] = {
    "implementation_id", "FakeHiroController",
    "type_name",         "FakeHiroController",
    "description",       "Fake HIRO robot controller services",
    "version",           "1.0.0",
    "vendor",            "Kesta.Orvn",
    "category",          "Test",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "1",
    "language",          "C++",
    "lang_type",         "compile",
    ""};
// clang-format on

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, FakeHiroControllerInit, "FakeHiroController");
}

}  // namespace

extern "C" void FakeHiroControllerInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, fake_controller_profile,
                                  shell::createComponent<FakeHiroController>,
                                  shell::destroyComponent);
}

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
