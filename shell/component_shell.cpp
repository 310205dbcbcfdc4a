#include "component_shell.h"

#include <coil/Properties.h>

#include <atomic>
#include <iostream>

#include "console_encoding.h"
#include "time_scale.h"

namespace shell {

namespace {

// The profile table is read up to its closing empty string, never by a count of its own.
constexpr long kProfileEntryLimit = 2147483647;
constexpr int kStartFailedStatus = 1;

// Set when a component of the process could not be created.
std::atomic<bool> g_createFailed{false};

void applyConsoleEncoding(RTC::Manager& manager) {
  std::string configured = manager.getConfig().getProperty(kConsoleEncodingKey, "");
  std::optional<ConsoleEncoding> encoding = parseConsoleEncoding(configured);
  if (!encoding) {
    std::cerr << kConsoleEncodingKey << ": unknown encoding \"" << configured << "\", writing UTF-8"
              << std::endl;
  }
  setConsoleEncoding(encoding.value_or(ConsoleEncoding::Utf8));
}

}  // namespace

int runComponentProcess(int argc, char** argv, RTC::ModuleInitProc moduleInit) {
  const std::string program = programName(argc > 0 ? argv[0] : "");
  ProgramCommandLine line(program, program +
                                       ": hosts one RT-component; its options are the "
                                       "middleware's, its settings are in rtc.conf.");
  if (std::optional<int> status = line.parse(argc, argv)) return *status;
  return runComponentProcess(line, moduleInit);
}

int runComponentProcess(const ProgramCommandLine& line, RTC::ModuleInitProc moduleInit) {
  std::vector<char*> middlewareArgv;
  for (const std::string& argument : line.middlewareArguments())
    middlewareArgv.push_back(const_cast<char*>(argument.c_str()));
  middlewareArgv.push_back(nullptr);
  RTC::Manager* manager =
      RTC::Manager::init(static_cast<int>(middlewareArgv.size()) - 1, middlewareArgv.data());
  if (manager == nullptr) return 1;
  const coil::Properties& config = manager->getConfig();
  if (config.hasKey(kTimeScaleKey) && !parseTimeScale(config.getProperty(kTimeScaleKey))) {
    std::cerr << kTimeScaleKey << ": \"" << config.getProperty(kTimeScaleKey)
              << "\" is not a positive number of simulated seconds per second" << std::endl;
    manager->shutdown();
    return kStartFailedStatus;
  }
  applyConsoleEncoding(*manager);
  manager->setModuleInitProc(moduleInit);
  const bool hasComponent = manager->activateManager();
  manager->runManager(false);
  return hasComponent && !g_createFailed.load() ? 0 : kStartFailedStatus;
}

void createComponentOrFail(RTC::Manager* manager, void (*registration)(RTC::Manager*),
                           const char* typeName) {
  if (g_createFailed.load()) return;
  registration(manager);
  if (manager->createComponent(typeName) != nullptr) return;
  std::cerr << "Component create failed." << std::endl;
  g_createFailed = true;
  manager->terminate();
}

void registerComponentFactory(RTC::Manager* manager, const char* const profile[],
                              RTC::RtcNewFunc create, RTC::RtcDeleteFunc destroy) {
  coil::Properties properties(profile, kProfileEntryLimit);
  manager->registerFactory(properties, create, destroy);
}

void destroyComponent(RTC::RTObject_impl* component) { delete component; }

}  // namespace shell
