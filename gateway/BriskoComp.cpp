// The robot gateway program: one Brisko component on the middleware.
#include <rtm/Manager.h>
#include <shell/component_shell.h>

#include "gateway/Brisko.h"

// Registers the Brisko factory with its profile; the program's one export.
extern "C" void BriskoInit(RTC::Manager* manager);

namespace {

// clang-format off
const char* const brisko_profile[] = {
    "implementation_id", "Brisko",
    "type_name",         "Brisko",
    "description",       "Brisko RTC",
    "version",           "0.5.14.6",
    "vendor",            "Kesta.Orvn",
    "category",          "Hiro",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "0",
    "language",          "C++",
    "lang_type",         "compile",
    "conf.default.PoseDB", "pose-db.csv",
    "conf.__widget__.PoseDB", "text",
    ""};
// clang-format on

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, BriskoInit, "Brisko");
}

}  // namespace

extern "C" void BriskoInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, brisko_profile, shell::createComponent<Brisko>,
                                  shell::destroyComponent);
}

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
