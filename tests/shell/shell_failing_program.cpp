// A component program whose factory cannot create its component. Before that it prints the
// panel characters through the configured console encoding, prefixed "encoded: ".
#include <rtm/DataFlowComponentBase.h>
#include <shell/component_shell.h>
#include <shell/console_encoding.h>

#include <cstdio>

namespace {

const char* const kProfile[] = {"implementation_id",
                                "Failing",
                                "type_name",
                                "Failing",
                                "description",
                                "never created",
                                "version",
                                "1.0.0",
                                "vendor",
                                "test",
                                "category",
                                "test",
                                "activity_type",
                                "PERIODIC",
                                "kind",
                                "DataFlowComponent",
                                "max_instance",
                                "1",
                                "language",
                                "C++",
                                "lang_type",
                                "compile",
                                ""};

RTC::RTObject_impl* createNothing(RTC::Manager*) { return nullptr; }

void registerFailing(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, kProfile, createNothing, shell::destroyComponent);
}

void moduleInit(RTC::Manager* manager) {
  std::printf("encoded: %s\n", shell::consoleText("\xE2\x96\xA0\xEF\xBC\x9A").c_str());  // ■：
  std::fflush(stdout);
  shell::createComponentOrAbort(manager, registerFailing, "Failing");
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
