#pragma once
// What every component program shares: the process entry, the module initialisation that
// creates the one component, factory registration with the profile, and the factory pair.
//
// A component folder writes, for its type "Xxx":
//
//   static const char* const xxx_profile[] = {"implementation_id", "Xxx", ..., ""};
//   extern "C" void XxxInit(RTC::Manager* manager) {
//     shell::registerComponentFactory(manager, xxx_profile, shell::createComponent<Xxx>,
//                                     shell::destroyComponent);
//   }
//   static void moduleInit(RTC::Manager* manager) {
//     shell::createComponentOrFail(manager, XxxInit, "Xxx");
//   }
//   int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
#include <rtm/Manager.h>
#include <rtm/RTObject.h>
#include <shell/program_command_line.h>

namespace shell {

// The process entry's body: reads the command line (the middleware's options, --help and
// --version; see ProgramCommandLine), then RTC::Manager::init, the console encoding from the
// configuration ("console.encoding"), setModuleInitProc(moduleInit), activateManager, and
// runManager in blocking mode. Returns 0 once the manager has shut down; 0 after --help or
// --version and 2 after a usage error, without starting anything; 1 without starting
// anything when the manager could not be initialised or a configuration value cannot be
// used (one line on standard error says which); 1 after an orderly shutdown when a
// component could not be created (createComponentOrFail) or the process had no component.
int runComponentProcess(int argc, char** argv, RTC::ModuleInitProc moduleInit);
// The same for a program with options of its own, once `line` has parsed them.
int runComponentProcess(const ProgramCommandLine& line, RTC::ModuleInitProc moduleInit);

// The module initialisation's body: registration(manager), then createComponent(typeName).
// When no component results, writes "Component create failed." and a line end to standard
// error (the reason is on standard error before it) and has the manager shut down, so that
// the process ends with status 1; later calls then create nothing.
void createComponentOrFail(RTC::Manager* manager, void (*registration)(RTC::Manager*),
                           const char* typeName);

// Registers the component factory with the profile table: key/value C strings closed by an
// empty string (read with the count 2147483647, so only that empty string ends it).
void registerComponentFactory(RTC::Manager* manager, const char* const profile[],
                              RTC::RtcNewFunc create, RTC::RtcDeleteFunc destroy);

// The factory pair: constructs the component with the manager, and deletes it through its
// virtual destructor (a null pointer is ignored).
template <class Component>
RTC::RTObject_impl* createComponent(RTC::Manager* manager) {
  return new Component(manager);
}
void destroyComponent(RTC::RTObject_impl* component);

}  // namespace shell
