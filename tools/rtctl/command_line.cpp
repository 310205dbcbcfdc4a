#include "command_line.h"

#include <project_version.h>

#include <CLI/CLI.hpp>
#include <regex>

#include "name_server_address.h"

namespace rtctl {

namespace {

constexpr double kMaxSeconds = 1e7;
constexpr double kMaxRate = 1e6;
constexpr int kMaxCount = 999999999;
constexpr double kDefaultStartTimeout_s = 30;
constexpr double kDefaultWatchInterval_s = 0.5;
constexpr double kDefaultAnswerTimeout_s = 0.4;
constexpr const char* kDefaultLaunchOut = "rtctl-launch";

// CLI11 checks: an empty string accepts the value, any other text says what is wrong.
std::string checkPortAddress(const std::string& text) {
  return parsePortAddress(text) ? "" : "expected NAME:port, got \"" + text + "\"";
}

std::string checkKeyValue(const std::string& text) {
  size_t equals = text.find('=');
  return equals == std::string::npos || equals == 0 ? "expected key=value, got \"" + text + "\""
                                                    : "";
}

// "" when text is a number above 0 and below limit, else that `needed` is needed.
std::string checkPositive(const std::string& text, double limit, const std::string& needed) {
  double number = 0;
  size_t used = 0;
  try {
    number = std::stod(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || !(number > 0) || number >= limit) {
    return needed + " is needed, got \"" + text + "\"";
  }
  return "";
}

std::string checkSeconds(const std::string& text) {
  return checkPositive(text, kMaxSeconds, "a positive number of seconds");
}

std::string checkPositiveNumber(const std::string& text) {
  return checkPositive(text, kMaxRate, "a positive number");
}

std::string checkMapping(const std::string& text) {
  size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0 || !parsePortAddress(text.substr(equals + 1))) {
    return "expected OLD=NEW:port, got \"" + text + "\"";
  }
  return "";
}

std::string checkPattern(const std::string& text) {
  try {
    std::regex pattern(text, std::regex::extended);
  } catch (const std::regex_error&) {
    return "not a regular expression: \"" + text + "\"";
  }
  return "";
}

std::pair<std::string, std::string> splitKeyValue(const std::string& text) {
  size_t equals = text.find('=');
  return {text.substr(0, equals), text.substr(equals + 1)};
}

// The command line's grammar, and where each value lands.
class Grammar {
 public:
  Grammar()
      : app_("Lists, inspects, connects and drives RT-components through the name server.",
             "rtctl") {
    app_.set_version_flag("--version", std::string("rtctl ") + kProjectVersion);
    app_.add_option("-n", nameServer_,
                    "the name server (default $RTCTL_NAMESERVER, else " +
                        std::string(kDefaultNameServer) + ")")
        ->option_text("HOST:PORT")
        ->check(name_service::addressProblem);
    app_.require_subcommand(1);
    app_.footer(
        "NAME is an instance name (Brisko0) or a naming path (host.host_cxt/Brisko0.rtc).\n"
        "rtctl COMMAND --help explains one command.");
    addInspection();
    addConnections();
    addStates();
    addData();
    addSystems();
    addNames();
  }

  CLI::App& app() { return app_; }

  // Values that need converting once CLI11 has checked them.
  void finish() {
    if (!timeoutText_.empty()) invocation_.timeout_s = std::stod(timeoutText_);
    if (!startTimeoutText_.empty())
      invocation_.launch.startTimeout_s = std::stod(startTimeoutText_);
    if (!intervalText_.empty()) invocation_.interval_s = std::stod(intervalText_);
    if (!answerTimeoutText_.empty()) {
      invocation_.launch.answerTimeout_s = std::stod(answerTimeoutText_);
    }
    if (!confName_.empty()) invocation_.components = {confName_};
    for (const CLI::Option* option : countOptions_) {
      if (option->count() > 0) invocation_.count = count_;
    }
    PortDataOptions& data = invocation_.portData;
    if (formatText_ == "json") data.format = SampleFormat::Json;
    if (!rateText_.empty()) data.rate_hz = std::stod(rateText_);
    if (!durationText_.empty()) data.duration_s = std::stod(durationText_);
    if (!replayRateText_.empty()) data.replayRate = std::stod(replayRateText_);
    if (!syncTimeoutText_.empty()) data.syncTimeout_s = std::stod(syncTimeoutText_);
  }

  // A problem CLI11 cannot see, or "".
  std::string problem() const {
    for (const auto& [verb, command] : commands_) {
      if (!command->parsed()) continue;
      if (verb == Verb::Cat || verb == Verb::Delete) {
        if (invocation_.components.size() != 1) return command->get_name() + " takes one NAME";
      }
      if (verb == Verb::Conf && !confWords_.empty() && confWords_[0] != "set") {
        return "usage: conf NAME [set KEY VALUE]";
      }
      if (verb == Verb::Wait && !sendTexts_.empty()) return checkPortAddress(sendTexts_[0]);
      if (verb == Verb::Inject) return injectProblem();
      if (verb == Verb::Record) return recordProblem();
    }
    return "";
  }

  std::string injectProblem() const {
    const bool text = textOption_->count() > 0;
    const bool file = invocation_.portData.inputFile.has_value();
    if (text == file) return "inject takes TEXT or --file FILE (- for standard input)";
    if (invocation_.count && !(text && invocation_.portData.rate_hz)) {
      return "inject -n COUNT repeats one TEXT at --rate HZ";
    }
    return "";
  }

  std::string recordProblem() const {
    const bool ports = !recordPortTexts_.empty() || !serviceTexts_.empty();
    if (invocation_.portData.info && ports) return "record --info FILE takes no ports";
    if (!invocation_.portData.info && !ports) {
      return "record FILE needs at least one NAME:port or --service NAME:port";
    }
    return "";
  }

  // The invocation after a successful parse.
  Invocation invocation(const char* nameServerVariable) {
    if (!nameServer_.empty()) {
      invocation_.nameServer = nameServer_;
      invocation_.nameServerGiven = true;
    } else if (nameServerVariable && *nameServerVariable) {
      invocation_.nameServer = nameServerVariable;
      invocation_.nameServerGiven = true;
    } else {
      invocation_.nameServer = kDefaultNameServer;
    }
    for (const auto& [verb, command] : commands_) {
      if (command->parsed()) invocation_.verb = verb;
    }
    for (const auto& text : portTexts_) {
      if (!text.empty()) invocation_.ports.push_back(*parsePortAddress(text));
    }
    for (const auto& text : recordPortTexts_) invocation_.ports.push_back(*parsePortAddress(text));
    for (const auto& text : serviceTexts_) {
      invocation_.portData.services.push_back(*parsePortAddress(text));
    }
    for (const auto& text : mapTexts_) {
      auto [recorded, target] = splitKeyValue(text);
      invocation_.portData.mappings.push_back({recorded, *parsePortAddress(target)});
    }
    for (const auto& text : propertyTexts_) invocation_.properties.push_back(splitKeyValue(text));
    for (const auto& text : variableTexts_) {
      invocation_.systemFile.variables.push_back(splitKeyValue(text));
    }
    if (!sendTexts_.empty()) {
      invocation_.send = std::make_pair(*parsePortAddress(sendTexts_[0]), sendTexts_[1]);
    }
    if (!confWords_.empty()) invocation_.confSet = std::make_pair(confWords_[1], confWords_[2]);
    return invocation_;
  }

  // The command being read when parsing stopped, or the whole program.
  const CLI::App& current() const {
    for (const auto& [verb, command] : commands_) {
      if (command->parsed()) return *command;
    }
    return app_;
  }

 private:
  CLI::App* command(Verb verb, const std::string& name, const std::string& description) {
    CLI::App* added = app_.add_subcommand(name, description);
    commands_.emplace_back(verb, added);
    return added;
  }

  void addComponents(CLI::App* command, const std::string& what, bool required) {
    auto* option = command->add_option("NAME", invocation_.components, what);
    if (required) option->required();
  }

  // count positional NAME:port arguments (one or two).
  void addPorts(CLI::App* command, int count, const std::string& what) {
    for (int i = 0; i < count; ++i) {
      command->add_option(i == 0 ? "PORT" : "PORT2", portTexts_[i], what)
          ->option_text("NAME:port")
          ->required()
          ->check(checkPortAddress);
    }
  }

  void addSystemFile(CLI::App* command) {
    command->add_option("FILE", invocation_.systemFile.path, "the system file")->required();
    command->add_option("--var", variableTexts_, "a value for ${NAME} in the file (repeatable)")
        ->option_text("NAME=VALUE")
        ->check(checkKeyValue);
  }

  void addTimeout(CLI::App* command, const std::string& what) {
    command->add_option("--timeout", timeoutText_, what)->option_text("S")->check(checkSeconds);
  }

  void addInspection() {
    command(Verb::Ls, "ls", "every component in the name server with its state");
    addComponents(command(Verb::Cat, "cat", "profile, ports, connections and configuration"),
                  "the component", true);
  }

  void addConnections() {
    CLI::App* connect = command(Verb::Connect, "connect", "connect two ports");
    addPorts(connect, 2, "the two ports");
    connect
        ->add_option("PROPERTY", propertyTexts_,
                     "connector properties (subscription_type=new; keys without a '.' are "
                     "taken under dataport.)")
        ->option_text("key=value ...")
        ->check(checkKeyValue);
    addPorts(command(Verb::Disconnect, "disconnect", "remove every connection between two ports"),
             2, "the two ports");
  }

  void addStates() {
    addComponents(command(Verb::Activate, "activate", "activate in the first execution context"),
                  "the components", true);
    addComponents(command(Verb::Deactivate, "deactivate", "deactivate in the first context"),
                  "the components", true);
    addComponents(command(Verb::Reset, "reset", "reset from the error state"), "the components",
                  true);
    addComponents(command(Verb::Exit, "exit", "make components exit"), "the components", true);
    CLI::App* conf = command(Verb::Conf, "conf",
                             "show the active configuration set, or change one value of it "
                             "(conf NAME set KEY VALUE)");
    conf->add_option("NAME", confName_, "the component")->required();
    conf->add_option("SET", confWords_, "set KEY VALUE")->expected(3);
  }

  void addData() {
    CLI::App* inject = command(Verb::Inject, "inject",
                               "write samples into an in-port, in the form print prints them: "
                               "TEXT, or one sample a line from --file");
    addPorts(inject, 1, "the in-port");
    textOption_ = inject->add_option("TEXT", invocation_.text, "one sample");
    inject
        ->add_option("--file", invocation_.portData.inputFile,
                     "one sample a line from FILE (- for standard input), through one connection")
        ->option_text("FILE");
    addFormat(inject, "the samples' form: text (as print prints them, default) or json");
    inject
        ->add_option("--rate", rateText_,
                     "samples per second; with TEXT, the sample is written again at this rate")
        ->option_text("HZ")
        ->check(checkPositiveNumber);
    addCount(inject, "with TEXT and --rate: write it COUNT times (default: until Ctrl-C)");
    inject
        ->add_option("--images", invocation_.portData.imagesFolder,
                     "the folder print --save wrote, for the pixels of image lines")
        ->option_text("DIR");

    CLI::App* print = command(Verb::Print, "print",
                              "print each sample an out-port writes, one line each, until "
                              "Ctrl-C or the component goes away");
    addPorts(print, 1, "the out-port");
    addCount(print, "stop after COUNT samples");
    addTimeout(print, "stop after S seconds (fewer than COUNT samples by then is a failure)");
    addFormat(print, "text (one readable line, default) or json");
    print->add_option("--save", invocation_.portData.saveFolder, "write each image as PNG into DIR")
        ->option_text("DIR");

    CLI::App* hz = command(Verb::Hz, "hz",
                           "the rate at which an out-port's samples arrive, once a second: mean "
                           "rate, shortest and longest gap, standard deviation of the gaps");
    addPorts(hz, 1, "the out-port");
    hz->add_option("--window", invocation_.portData.window,
                   "the latest N gaps make the figures (default 1000)")
        ->option_text("N")
        ->check(CLI::Range(1, kMaxCount));
    addDuration(hz);
    addFormat(hz, "text (default) or json (one object a line)");

    CLI::App* record = command(Verb::Record, "record",
                               "record what out-ports write (and the replies a service gives) "
                               "into FILE until --duration or Ctrl-C; --info FILE shows what a "
                               "recording holds");
    addRecording(record);
    record->add_option("PORT", recordPortTexts_, "the out-ports to record")
        ->option_text("NAME:port ...")
        ->check(checkPortAddress);
    record
        ->add_option("--service", serviceTexts_,
                     "stand between this consumer port and its provider, recording each reply "
                     "(repeatable)")
        ->option_text("NAME:port")
        ->check(checkPortAddress);
    addDuration(record);
    record->add_flag("--info", invocation_.portData.info,
                     "show the ports, types, counts and time span FILE holds instead of "
                     "recording");
    addFormat(record, "with --info: text (default) or json");

    CLI::App* replay = command(Verb::Replay, "replay",
                               "write a recording back into in-ports at its pace (or --rate "
                               "times it), answering recorded service calls");
    addRecording(replay);
    replay->add_option("--rate", replayRateText_, "recorded seconds per second (default 1)")
        ->option_text("X")
        ->check(checkPositiveNumber);
    replay
        ->add_option("--map", mapTexts_,
                     "write what the recording has for port OLD into NEW:port (repeatable)")
        ->option_text("OLD=NEW:port")
        ->check(checkMapping);
    replay
        ->add_option("--sync-timeout", syncTimeoutText_,
                     "seconds to wait for a component replayed into (default 30)")
        ->option_text("S")
        ->check(checkSeconds);

    CLI::App* wait = command(Verb::Wait, "wait",
                             "wait for the first sample of a string out-port that matches "
                             "PATTERN (a regular expression for the whole sample) and print it");
    addPorts(wait, 1, "the out-port");
    wait->add_option("PATTERN", invocation_.pattern, "the regular expression")
        ->required()
        ->check(checkPattern);
    addTimeout(wait, "give up after S seconds");
    wait->add_option("--send", sendTexts_,
                     "once listening, write TEXT to the in-port NAME:port (the request whose "
                     "answer is awaited)")
        ->option_text("NAME:port TEXT")
        ->expected(2);
  }

  void addCount(CLI::App* command, const std::string& what) {
    countOptions_.push_back(command->add_option("-n", count_, what)
                                ->option_text("COUNT")
                                ->check(CLI::Range(1, kMaxCount)));
  }

  void addFormat(CLI::App* command, const std::string& what) {
    command->add_option("--format", formatText_, what)
        ->option_text("text|json")
        ->check(CLI::IsMember({"text", "json"}));
  }

  void addDuration(CLI::App* command) {
    command->add_option("--duration", durationText_, "stop after S seconds")
        ->option_text("S")
        ->check(checkSeconds);
  }

  void addRecording(CLI::App* command) {
    command->add_option("FILE", invocation_.portData.recording, "the recording")->required();
  }

  void addSystems() {
    CLI::App* check = command(Verb::Check, "check",
                              "read a system file and compare the live system with it; exit 0 "
                              "only when they match");
    addSystemFile(check);
    check->add_flag("--file-only", invocation_.fileOnly,
                    "only read and validate the file, without asking the live system");
    addSystemFile(command(Verb::Apply, "apply",
                          "make the live system match a system file, in file order; stops at "
                          "the first failure"));
    CLI::App* capture = command(Verb::Capture, "capture",
                                "write the running system (or the named components) as a "
                                "system file");
    addComponents(capture, "the components (default: every component)", false);
    capture->add_option("-o", invocation_.outputFile, "write to FILE instead of standard output")
        ->option_text("FILE");
    addSystemFile(command(Verb::Stop, "stop",
                          "deactivate the components of a system file in the reverse order "
                          "of their activation"));
    CLI::App* launch =
        command(Verb::Launch, "launch",
                "start a system file's programs, apply it, and watch over them until Ctrl-C");
    addSystemFile(launch);
    launch->add_flag("--respawn", invocation_.launch.respawnAll,
                     "start every program again when it ends or stops answering, and re-apply "
                     "its connections and activation");
    launch->add_flag("--exit-on-failure", invocation_.launch.exitOnFailure,
                     "stop everything and exit 1 when a program that is not optional ends for "
                     "good");
    invocation_.launch.outDir = kDefaultLaunchOut;
    launch
        ->add_option(
            "--out", invocation_.launch.outDir,
            "logs and default working folders (default " + std::string(kDefaultLaunchOut) + ")")
        ->option_text("DIR");
    invocation_.launch.startTimeout_s = kDefaultStartTimeout_s;
    launch
        ->add_option("--start-timeout", startTimeoutText_,
                     "seconds a program may take to register its components (default 30)")
        ->option_text("S")
        ->check(checkSeconds);
    invocation_.launch.answerTimeout_s = kDefaultAnswerTimeout_s;
    launch
        ->add_option("--answer-timeout", answerTimeoutText_,
                     "seconds without an answer after which a program counts as hung "
                     "(default 0.4)")
        ->option_text("S")
        ->check(checkSeconds);
    CLI::App* watch = command(Verb::Watch, "watch",
                              "print state, connection and configuration changes as they "
                              "happen, one time-stamped line each, until Ctrl-C");
    addComponents(watch, "the components (default: every component)", false);
    invocation_.interval_s = kDefaultWatchInterval_s;
    watch->add_option("--interval", intervalText_, "seconds between looks (default 0.5)")
        ->option_text("S")
        ->check(checkSeconds);
  }

  void addNames() {
    CLI::App* remove =
        command(Verb::Delete, "delete", "remove a component's name whose object no longer answers");
    addComponents(remove, "the component", true);
    remove->add_flag("--force", invocation_.force, "remove the name even if its object answers");
    command(Verb::Clean, "clean", "remove every component name whose object no longer answers");
  }

 private:
  CLI::App app_;
  std::vector<std::pair<Verb, CLI::App*>> commands_;
  Invocation invocation_;
  std::string nameServer_;
  std::string portTexts_[2];
  std::vector<std::string> propertyTexts_;
  std::vector<std::string> variableTexts_;
  std::vector<std::string> sendTexts_;
  std::vector<std::string> confWords_;
  std::string confName_;
  std::string timeoutText_;
  std::string startTimeoutText_;
  std::string intervalText_;
  std::string answerTimeoutText_;
  int count_ = 0;
  std::vector<CLI::Option*> countOptions_;
  CLI::Option* textOption_ = nullptr;
  std::string formatText_;
  std::string rateText_;
  std::string durationText_;
  std::string replayRateText_;
  std::string syncTimeoutText_;
  std::vector<std::string> recordPortTexts_;
  std::vector<std::string> serviceTexts_;
  std::vector<std::string> mapTexts_;
};

// CLI11's message on one line.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

std::optional<PortAddress> parsePortAddress(const std::string& text) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return std::nullopt;
  return PortAddress{text.substr(0, colon), text.substr(colon + 1)};
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments,
                                   const char* nameServerVariable) {
  Grammar grammar;
  ParsedCommandLine parsed;
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    grammar.app().parse(reversed);
  } catch (const CLI::CallForHelp&) {
    parsed.help = grammar.current().help();
    return parsed;
  } catch (const CLI::CallForVersion& version) {
    parsed.help = std::string(version.what()) + "\n";
    return parsed;
  } catch (const CLI::ParseError& error) {
    parsed.error = oneLine(error.what());
    if (arguments.empty()) parsed.error = "no command given";
    parsed.usage = grammar.current().help();
    return parsed;
  }
  grammar.finish();
  parsed.error = grammar.problem();
  if (!parsed.error.empty()) {
    parsed.usage = grammar.current().help();
    return parsed;
  }
  parsed.invocation = grammar.invocation(nameServerVariable);
  parsed.error = name_service::addressProblem(parsed.invocation->nameServer);
  if (!parsed.error.empty()) {
    parsed.invocation.reset();
    parsed.usage = grammar.app().help();
  }
  return parsed;
}

std::string usageText() { return Grammar().app().help(); }

}  // namespace rtctl
