// A supervisor that speaks in bursts, for cross-process tests of the planner's in_message: once
// activated, it writes on its "words" out-port --before filler words, then --word, then up to
// --after filler words, stopping at the first word a reader refuses, and reports on its
// console:
//   "before: <accepted> of <written> accepted"
//   "word <word>: <status>"
//   "after: <accepted> accepted" and, when a word was refused, " then <status>"
//   "burst done"
#include <cstdio>
#include <string>

#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataOutPort.h>
#include <rtm/Manager.h>
#include <rtm/idl/BasicDataTypeSkel.h>
#include <shell/component_shell.h>

namespace {

struct Burst {
  int before = 0;
  std::string word = "ROBOT_START";
  int after = 0;
  std::string filler = "NOT_A_ROUTE_WORD";
};
Burst burst;

const char* nameOf(RTC::DataPortStatus status) {
  switch (status) {
    case RTC::DataPortStatus::PORT_OK:
      return "PORT_OK";
    case RTC::DataPortStatus::PORT_ERROR:
      return "PORT_ERROR";
    case RTC::DataPortStatus::BUFFER_FULL:
      return "BUFFER_FULL";
    case RTC::DataPortStatus::BUFFER_EMPTY:
      return "BUFFER_EMPTY";
    case RTC::DataPortStatus::BUFFER_TIMEOUT:
      return "BUFFER_TIMEOUT";
    case RTC::DataPortStatus::UNKNOWN_ERROR:
      return "UNKNOWN_ERROR";
    case RTC::DataPortStatus::CONNECTION_LOST:
      return "CONNECTION_LOST";
  }
  return "?";
}

class WordWriter : public RTC::DataFlowComponentBase {
 public:
  explicit WordWriter(RTC::Manager* manager)
      : RTC::DataFlowComponentBase(manager), wordsOut_("words", words_) {}

  RTC::ReturnCode_t onInitialize() override {
    addOutPort("words", wordsOut_);
    return RTC::RTC_OK;
  }

  RTC::ReturnCode_t onExecute(RTC::UniqueId) override {
    if (done_) return RTC::RTC_OK;
    done_ = true;
    int accepted = 0;
    for (int i = 0; i < burst.before; ++i) accepted += write(burst.filler) == "PORT_OK";
    std::printf("before: %d of %d accepted\n", accepted, burst.before);
    std::printf("word %s: %s\n", burst.word.c_str(), write(burst.word).c_str());
    accepted = 0;
    std::string refusal;
    for (int i = 0; i < burst.after && refusal.empty(); ++i) {
      const std::string status = write(burst.filler);
      if (status == "PORT_OK")
        ++accepted;
      else
        refusal = status;
    }
    std::printf("after: %d accepted%s\nburst done\n", accepted,
                refusal.empty() ? "" : (" then " + refusal).c_str());
    std::fflush(stdout);
    return RTC::RTC_OK;
  }

 private:
  // The status of the word's put on the one connection.
  std::string write(const std::string& word) {
    words_.data = word.c_str();
    wordsOut_.write();
    const RTC::DataPortStatusList statuses = wordsOut_.getStatusList();
    return statuses.empty() ? "NOT_CONNECTED" : nameOf(statuses.front());
  }

  RTC::TimedString words_;
  RTC::OutPort<RTC::TimedString> wordsOut_;
  bool done_ = false;
};

// clang-format off
const char* const word_writer_profile[] = {
    "implementation_id", "WordWriter",
    "type_name",         "WordWriter",
    "description",       "Writes a burst of words",
    "version",           "1.0.0",
    "vendor",            "Kesta",
    "category",          "Test",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "1",
    "language",          "C++",
    "lang_type",         "compile",
    ""};
// clang-format on

void registerWriter(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, word_writer_profile, shell::createComponent<WordWriter>,
                                  shell::destroyComponent);
}

void moduleInit(RTC::Manager* manager) {
  shell::createComponentOrFail(manager, registerWriter, "WordWriter");
}

}  // namespace

int main(int argc, char** argv) {
  shell::ProgramCommandLine line("planner_word_writer", "Writes a burst of words once activated.");
  line.app().add_option("--before", burst.before, "filler words before the word");
  line.app().add_option("--word", burst.word, "the word in the middle");
  line.app().add_option("--after", burst.after, "filler words after it, at most");
  line.app().add_option("--filler", burst.filler, "the filler word");
  if (std::optional<int> status = line.parse(argc, argv)) return *status;
  return shell::runComponentProcess(line, moduleInit);
}
