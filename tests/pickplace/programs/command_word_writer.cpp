// CommandWordWriter: a component that floods a command port, for the coordinator's tests.
// Once activated it writes kWordCount words on its out-port "words", one TimedStringSeq
// sample each: "FILLER_<n>", with kCommand in place of number kCommandIndex. A word the
// reader refuses (its buffer full) is written again until it is taken, so that every word
// arrives, in order. It then prints "wrote <count> words" and how often a word was refused.
#include <rtm/idl/BasicDataTypeSkel.h>

#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>
#include <shell/component_shell.h>

#include <cstdio>
#include <string>

namespace {

const char* const kWriterProfile[] = {
    "type_name", "CommandWordWriter", "category", "test", "max_instance", "1", ""};

// Ten thousand words, the command in the middle.
constexpr int kWordCount = 10000;
constexpr int kCommandIndex = 5000;
constexpr const char* kCommand = "HIRO_OBJ_MANIP_START";

void say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

bool connectionLost(const RTC::DataPortStatusList& statuses) {
  for (const RTC::DataPortStatus status : statuses) {
    if (status != RTC::DataPortStatus::PORT_OK && status != RTC::DataPortStatus::BUFFER_FULL &&
        status != RTC::DataPortStatus::BUFFER_TIMEOUT) {
      return true;
    }
  }
  return false;
}

class CommandWordWriter : public RTC::DataFlowComponentBase {
 public:
  explicit CommandWordWriter(RTC::Manager* manager)
      : RTC::DataFlowComponentBase(manager), wordsOut_("words", words_) {}

  RTC::ReturnCode_t onInitialize() override {
    addOutPort("words", wordsOut_);
    return RTC::RTC_OK;
  }

  RTC::ReturnCode_t onActivated(RTC::UniqueId) override {
    written_ = false;
    return RTC::RTC_OK;
  }

  RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
    if (written_) {
      return RTC::RTC_OK;
    }
    written_ = true;
    long refusals = 0;
    for (int n = 0; n < kWordCount; ++n) {
      const std::string word = n == kCommandIndex ? kCommand : "FILLER_" + std::to_string(n);
      words_.data.length(1);
      words_.data[0] = word.c_str();
      while (!wordsOut_.write()) {
        if (connectionLost(wordsOut_.getStatusList())) {
          say("word " + std::to_string(n) + " lost: the connection failed");
          return RTC::RTC_OK;
        }
        ++refusals;
      }
    }
    say("wrote " + std::to_string(kWordCount) + " words, refused " + std::to_string(refusals) +
        " times");
    return RTC::RTC_OK;
  }

 private:
  RTC::TimedStringSeq words_;
  RTC::OutPort<RTC::TimedStringSeq> wordsOut_;
  bool written_ = true;
};

void moduleInit(RTC::Manager* manager) {
  shell::registerComponentFactory(
      manager, kWriterProfile, shell::createComponent<CommandWordWriter>, shell::destroyComponent);
  if (manager->createComponent("CommandWordWriter") == nullptr) {
    say("CommandWordWriter could not be created");
  }
}

}  // namespace

int main(int argc, char** argv) { return shell::runComponentProcess(argc, argv, moduleInit); }
