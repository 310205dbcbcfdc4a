#include "command_line.h"

#include <cstdlib>
#include <map>

#include "port_data_requests.h"

namespace rtctl {

namespace {

const std::map<std::string, Verb> kVerbs = {{"ls", Verb::Ls},
                                            {"cat", Verb::Cat},
                                            {"connect", Verb::Connect},
                                            {"disconnect", Verb::Disconnect},
                                            {"activate", Verb::Activate},
                                            {"deactivate", Verb::Deactivate},
                                            {"reset", Verb::Reset},
                                            {"exit", Verb::Exit},
                                            {"conf", Verb::Conf},
                                            {"inject", Verb::Inject},
                                            {"print", Verb::Print},
                                            {"hz", Verb::Hz},
                                            {"record", Verb::Record},
                                            {"replay", Verb::Replay}};

ParsedCommandLine failure(const std::string& error) {
  ParsedCommandLine parsed;
  parsed.error = error;
  return parsed;
}

// Parses the port addresses at args[0..count) into invocation.ports.
std::string takePorts(const std::vector<std::string>& args, size_t count, Invocation& invocation) {
  for (size_t i = 0; i < count; ++i) {
    auto address = parsePortAddress(args[i]);
    if (!address) return "expected NAME:port, got \"" + args[i] + "\"";
    invocation.ports.push_back(*address);
  }
  return "";
}

std::string parseVerbArguments(const std::string& verbName, const std::vector<std::string>& args,
                               Invocation& invocation) {
  switch (invocation.verb) {
    case Verb::Ls:
      return args.empty() ? "" : "ls takes no arguments";
    case Verb::Cat:
      if (args.size() != 1) return "usage: cat NAME";
      invocation.components = args;
      return "";
    case Verb::Activate:
    case Verb::Deactivate:
    case Verb::Reset:
    case Verb::Exit:
      if (args.empty()) return "usage: " + verbName + " NAME...";
      invocation.components = args;
      return "";
    case Verb::Conf:
      if (args.size() == 1) {
        invocation.components = args;
        return "";
      }
      if (args.size() == 4 && args[1] == "set") {
        invocation.components = {args[0]};
        invocation.confSet = std::make_pair(args[2], args[3]);
        return "";
      }
      return "usage: conf NAME [set KEY VALUE]";
    case Verb::Connect: {
      if (args.size() < 2) return "usage: connect A:port B:port [key=value ...]";
      std::string error = takePorts(args, 2, invocation);
      if (!error.empty()) return error;
      for (size_t i = 2; i < args.size(); ++i) {
        size_t equals = args[i].find('=');
        if (equals == std::string::npos || equals == 0) {
          return "expected key=value, got \"" + args[i] + "\"";
        }
        invocation.properties.emplace_back(args[i].substr(0, equals), args[i].substr(equals + 1));
      }
      return "";
    }
    case Verb::Disconnect:
      if (args.size() != 2) return "usage: disconnect A:port B:port";
      return takePorts(args, 2, invocation);
    case Verb::Inject:
    case Verb::Print:
    case Verb::Hz:
    case Verb::Record:
    case Verb::Replay:
      invocation.portDataArguments = args;
      return "";
  }
  return "";
}

}  // namespace

std::optional<PortAddress> parsePortAddress(const std::string& text) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return std::nullopt;
  return PortAddress{text.substr(0, colon), text.substr(colon + 1)};
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments,
                                   const char* nameServerVariable) {
  Invocation invocation;
  invocation.nameServer =
      nameServerVariable && *nameServerVariable ? nameServerVariable : kDefaultNameServer;
  size_t at = 0;
  for (; at < arguments.size() && !arguments[at].empty() && arguments[at][0] == '-'; ++at) {
    const std::string& option = arguments[at];
    if (option == "-h" || option == "--help") {
      ParsedCommandLine parsed;
      parsed.helpRequested = true;
      return parsed;
    }
    if (option != "-n") return failure("unknown option \"" + option + "\"");
    if (at + 1 >= arguments.size() || arguments[at + 1].empty()) {
      return failure("-n needs the name server as host:port");
    }
    invocation.nameServer = arguments[++at];
  }
  if (nameServiceLocation(invocation.nameServer).empty()) {
    return failure("bad name server address \"" + invocation.nameServer +
                   "\" (expected host:port)");
  }
  if (at >= arguments.size()) return failure("no command given (try rtctl --help)");
  auto verb = kVerbs.find(arguments[at]);
  if (verb == kVerbs.end()) return failure("unknown command \"" + arguments[at] + "\"");
  invocation.verb = verb->second;
  std::vector<std::string> rest(arguments.begin() + static_cast<long>(at) + 1, arguments.end());
  std::string error = parseVerbArguments(verb->first, rest, invocation);
  if (!error.empty()) return failure(error);
  ParsedCommandLine parsed;
  if (isPortDataVerb(invocation.verb)) {
    ParsedPortDataRequest request = parsePortDataRequest(invocation.verb, rest);
    if (!request.error.empty()) return failure(request.error);
    if (!request.help.empty()) {
      parsed.verbHelp = request.help;
      return parsed;
    }
  }
  parsed.invocation = invocation;
  return parsed;
}

std::string nameServiceLocation(const std::string& nameServer) {
  if (nameServer.empty() || nameServer.find_first_of("/ \t") != std::string::npos) return "";
  size_t colon = nameServer.rfind(':');
  if (colon != std::string::npos) {
    std::string port = nameServer.substr(colon + 1);
    if (colon == 0 || port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) > 65535) {
      return "";
    }
  }
  return "corbaloc::" + nameServer + "/NameService";
}

bool isLoopbackAddress(const std::string& nameServer) {
  std::string host = nameServer.substr(0, nameServer.rfind(':'));
  return host == "localhost" || host.rfind("127.", 0) == 0;
}

std::string usageText() {
  return "usage: rtctl [-n host:port] COMMAND ...\n"
         "  ls                                   components and their states\n"
         "  cat NAME                             profile, ports, connections, configuration\n"
         "  connect A:port B:port [key=value...] connect two ports\n"
         "  disconnect A:port B:port             remove their connections\n"
         "  activate|deactivate|reset NAME...    change the state in the first context\n"
         "  exit NAME...                         make components exit\n"
         "  conf NAME [set KEY VALUE]            show or change the active configuration set\n"
         "  print NAME:port [-n COUNT] [--timeout S] [--format text|json] [--save DIR]\n"
         "                                       print what an out-port writes, a line a sample\n"
         "  inject NAME:port [TEXT] [--file FILE] [--format text|json] [--rate HZ]\n"
         "                                       write samples (TEXT, or a line each) into an "
         "in-port\n"
         "  hz NAME:port [--window N] [--duration S]  the rate of an out-port's samples\n"
         "  record FILE NAME:port... [--service NAME:port] [--duration S]\n"
         "                                       record out-ports (and a service's replies)\n"
         "  record --info FILE                   what a recording holds\n"
         "  replay FILE [--rate X] [--map OLD=NEW:port]  write a recording back into in-ports\n"
         "A verb's own options: rtctl VERB --help.\n"
         "NAME is an instance name (Brisko0) or a naming path (host.host_cxt/Brisko0.rtc).\n"
         "The name server is -n host:port, else $RTCTL_NAMESERVER, else localhost:2809.\n";
}

}  // namespace rtctl
