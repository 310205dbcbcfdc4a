#include "port_data_requests.h"

#include <algorithm>

namespace rtctl {

namespace {

PortAddress portAddress(const std::string& text) {
  auto address = parsePortAddress(text);
  if (!address) throw CLI::ValidationError("expected NAME:port, got \"" + text + "\"");
  return *address;
}

void addPort(CLI::App& command, PortAddress& port) {
  command
      .add_option_function<std::string>(
          "port", [&port](const std::string& text) { port = portAddress(text); },
          "the component's port")
      ->required();
}

void addFormat(CLI::App& command, SampleFormat& format, const std::string& help) {
  command.add_option_function<std::string>(
      "--format",
      [&format](const std::string& text) {
        if (text != "text" && text != "json") {
          throw CLI::ValidationError("--format is text or json, got \"" + text + "\"");
        }
        format = text == "json" ? SampleFormat::Json : SampleFormat::Text;
      },
      help);
}

// A positive count no larger than fits an int.
const auto kPositiveCount = CLI::Range(1, 1000000000);
// Seconds: positive and below about four months.
const auto kPositiveSeconds = CLI::Range(1e-6, 1e7);

}  // namespace

void addPrintOptions(CLI::App& command, PrintRequest& request) {
  command.description("print each sample an out-port writes, one line each");
  addPort(command, request.port);
  command.add_option("-n,--count", request.count, "stop after COUNT samples")
      ->check(kPositiveCount);
  command.add_option("--timeout", request.timeout_s, "stop after S seconds")
      ->check(kPositiveSeconds);
  addFormat(command, request.format, "text (the readable line) or json");
  command.add_option("--save", request.saveFolder, "write each image as PNG into DIR");
}

void addInjectOptions(CLI::App& command, InjectRequest& request) {
  command.description("write samples into an in-port: TEXT, or one sample a line");
  addPort(command, request.port);
  command.add_option("TEXT", request.text, "one sample, as print prints it");
  command.add_option("--file", request.file, "one sample a line from FILE (- standard input)");
  addFormat(command, request.format, "the samples' form: text (as print prints) or json");
  command.add_option("--rate", request.rate_hz, "samples per second; with TEXT: repeat it")
      ->check(CLI::Range(1e-6, 1e6));
  command.add_option("-n,--count", request.count, "with TEXT and --rate: how many times")
      ->check(kPositiveCount);
  command.add_option("--images", request.imagesFolder,
                     "the folder of print --save, for the pixels of image lines");
}

void addHzOptions(CLI::App& command, HzRequest& request) {
  command.description("the rate at which an out-port's samples arrive");
  addPort(command, request.port);
  command.add_option("--window", request.window, "the latest N gaps make the figures")
      ->check(kPositiveCount);
  command.add_option("--duration", request.duration_s, "stop after S seconds")
      ->check(kPositiveSeconds);
  addFormat(command, request.format, "text or json (one object a line)");
}

void addRecordOptions(CLI::App& command, RecordRequest& request) {
  command.description("record out-ports (and a service's replies) into FILE");
  command.add_option("FILE", request.file, "the recording")->required();
  command.add_option_function<std::vector<std::string>>(
      "ports",
      [&request](const std::vector<std::string>& texts) {
        for (const auto& text : texts) request.ports.push_back(portAddress(text));
      },
      "out-ports to record");
  command.add_option_function<std::vector<std::string>>(
      "--service",
      [&request](const std::vector<std::string>& texts) {
        for (const auto& text : texts) request.services.push_back(portAddress(text));
      },
      "stand between this consumer's port and its provider, recording each reply");
  command.add_option("--duration", request.duration_s, "stop after S seconds")
      ->check(kPositiveSeconds);
  command.add_flag("--info", request.info, "show what FILE holds instead of recording");
  addFormat(command, request.format, "with --info: text or json");
}

void addReplayOptions(CLI::App& command, ReplayRequest& request) {
  command.description("write a recording back into in-ports, at its pace or --rate times it");
  command.add_option("FILE", request.file, "the recording")->required();
  command.add_option("--rate", request.rate, "recorded seconds per second")
      ->check(CLI::Range(1e-3, 1e6));
  command.add_option_function<std::vector<std::string>>(
      "--map",
      [&request](const std::vector<std::string>& texts) {
        for (const auto& text : texts) {
          size_t equals = text.find('=');
          if (equals == std::string::npos || equals == 0) {
            throw CLI::ValidationError("--map needs OLD=NEW:port, got \"" + text + "\"");
          }
          request.mappings.push_back(
              {text.substr(0, equals), portAddress(text.substr(equals + 1))});
        }
      },
      "write what the recording has for port OLD into NEW:port");
  command
      .add_option("--sync-timeout", request.syncTimeout_s,
                  "seconds to wait for a component replayed into")
      ->check(kPositiveSeconds);
}

bool isPortDataVerb(Verb verb) {
  return verb == Verb::Print || verb == Verb::Inject || verb == Verb::Hz || verb == Verb::Record ||
         verb == Verb::Replay;
}

ParsedPortDataRequest parsePortDataRequest(Verb verb, const std::vector<std::string>& arguments) {
  ParsedPortDataRequest parsed;
  CLI::App command;
  switch (verb) {
    case Verb::Print:
      command.name("print");
      addPrintOptions(command, parsed.request.emplace<PrintRequest>());
      break;
    case Verb::Inject:
      command.name("inject");
      addInjectOptions(command, parsed.request.emplace<InjectRequest>());
      break;
    case Verb::Hz:
      command.name("hz");
      addHzOptions(command, parsed.request.emplace<HzRequest>());
      break;
    case Verb::Record:
      command.name("record");
      addRecordOptions(command, parsed.request.emplace<RecordRequest>());
      break;
    case Verb::Replay:
      command.name("replay");
      addReplayOptions(command, parsed.request.emplace<ReplayRequest>());
      break;
    default:
      parsed.error = "not a port-data verb";
      return parsed;
  }
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    command.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    parsed.help = command.help();
    return parsed;
  } catch (const CLI::ParseError& error) {
    parsed.error = command.get_name() + ": " + error.what();
    return parsed;
  }
  if (auto* record = std::get_if<RecordRequest>(&parsed.request)) {
    if (record->info && !(record->ports.empty() && record->services.empty())) {
      parsed.error = "record --info FILE takes no ports";
    } else if (!record->info && record->ports.empty() && record->services.empty()) {
      parsed.error = "record FILE needs at least one NAME:port or --service NAME:port";
    }
  }
  if (auto* inject = std::get_if<InjectRequest>(&parsed.request)) {
    if (inject->text && inject->file != "-") parsed.error = "inject takes TEXT or --file, not both";
    if (inject->count && !(inject->text && inject->rate_hz)) {
      parsed.error = "inject -n COUNT repeats one TEXT at --rate HZ";
    }
  }
  return parsed;
}

}  // namespace rtctl
