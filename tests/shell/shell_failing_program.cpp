// A component program whose component cannot be created. Before that it prints the panel
// characters through the configured console encoding, prefixed "encoded: ". The kind of
// failure comes from SHELL_FAILING_TYPE: "Failing" (the default), whose factory makes nothing,
// or "Refusing", whose "gain" parameter refuses its own default, so that its start is refused.
#include <rtm/DataFlowComponentBase.h>
#include <rtm/ParameterCheck.h>
#include <shell/component_shell.h>
#include <shell/console_encoding.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

#define FAILING_PROFILE(type, ...)                                                           \
  {                                                                                          \
    "implementation_id", type, "type_name", type, "description", "never created", "version", \
        "1.0.0", "vendor", "test", "category", "test", "activity_type", "PERIODIC", "kind",  \
        "DataFlowComponent", "max_instance", "1", "language", "C++", "lang_type", "compile", \
        __VA_ARGS__ ""                                                                       \
  }

const char* const kFailingProfile[] = FAILING_PROFILE("Failing", );
const char* const kRefusingProfile[] =
    FAILING_PROFILE("Refusing", "conf.default.gain", "-1", "conf.__widget__.gain", "text", );

class Refusing : public RTC::DataFlowComponentBase {
 public:
  explicit Refusing(RTC::Manager* manager) : RTC::DataFlowComponentBase(manager) {}
  RTC::ReturnCode_t onInitialize() override {
    bindParameter("gain", gain_, "-1", RTC::check::positive<double>());
    return RTC::RTC_OK;
  }

 private:
  double gain_ = 0;
};

RTC::RTObject_impl* createNothing(RTC::Manager*) { return nullptr; }

void registerFailing(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, kFailingProfile, createNothing, shell::destroyComponent);
}

void registerRefusing(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, kRefusingProfile, shell::createComponent<Refusing>,
                                  shell::destroyComponent);
}

void moduleInit(RTC::Manager* manager) {
  std::printf("encoded: %s\n", shell::consoleText("\xE2\x96\xA0\xEF\xBC\x9A").c_str());  // ■：
  std::fflush(stdout);
  const char* type = std::getenv("SHELL_FAILING_TYPE");
  if (type != nullptr && std::string(type) == "Refusing")
    shell::createComponentOrFail(manager, registerRefusing, "Refusing");
  else
    shell::createComponentOrFail(manager, registerFailing, "Failing");
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
