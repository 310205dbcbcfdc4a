#include "system_file.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "name_server_address.h"

namespace rtctl {

namespace {

namespace fs = std::filesystem;

const std::regex kNamePattern("[A-Za-z_][A-Za-z0-9_.-]*");
const std::regex kComponentPattern("/?[A-Za-z_][A-Za-z0-9_./-]*");
const std::regex kKeyPattern("[A-Za-z_][A-Za-z0-9_.]*");
const std::regex kAddressPattern("[A-Za-z0-9_.-]+");

const char* const kProgramOptions =
    "host=, dir=, conf=, set=, components=, needs=, env=, optional, respawn";
const char* const kNoConf = "none";
const char* const kCommandSeparator = "--";

bool matches(const std::string& text, const std::regex& pattern) {
  return std::regex_match(text, pattern);
}

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream stream(text);
  std::string item;
  while (std::getline(stream, item, ',')) items.push_back(item);
  return items;
}

// Reads the lines into a SystemFile; each method returns what is wrong, or "".
class Reader {
 public:
  Reader(std::string path, std::string folder) : folder_(std::move(folder)) {
    file_.path = std::move(path);
    HostEntry local;
    local.name = kLocalHost;
    local.address = kLocalAddress;
    file_.hosts.push_back(local);
  }

  std::string line(const WordLine& line) {
    place_ = {file_.path, line.number};
    const std::string& command = line.words[0];
    std::vector<std::string> arguments(line.words.begin() + 1, line.words.end());
    if (command == "host") return host(arguments);
    if (command == "nameserver") return nameServer(arguments);
    if (command == "program") return program(arguments);
    if (command == "connect" || command == "disconnect") return connection(command, arguments);
    if (command == "conf") return configuration(arguments);
    if (command == "activate" || command == "deactivate") return state(command, arguments);
    return "unknown command: " + command +
           " (host, nameserver, program, connect, disconnect, conf, activate, deactivate)";
  }

  // Checks that need the whole file; sets errorPlace.
  std::string finish(FilePlace& errorPlace) {
    std::map<std::string, std::string> hostOfComponent;
    std::map<std::string, const ProgramEntry*> folders;
    for (const ProgramEntry& program : file_.programs) {
      errorPlace = program.place;
      bool known = false;
      for (const HostEntry& host : file_.hosts) known = known || host.name == program.host;
      if (!known) return "unknown host \"" + program.host + "\" (no host line names it)";
      if (!program.writesConf || program.workingFolder.empty()) continue;
      auto [other, added] = folders.emplace(program.workingFolder, &program);
      if (!added) {
        return program.label + " and " + other->second->label + " share the working folder " +
               program.workingFolder + "; each needs its own, since its rtc.conf is written there";
      }
    }
    return "";
  }

  SystemFile take() { return std::move(file_); }

 private:
  std::string resolved(const std::string& path) const {
    if (path.empty() || fs::path(path).is_absolute()) return path;
    return (fs::path(folder_) / path).lexically_normal().string();
  }

  std::string host(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2 || arguments.size() > 3) {
      return "host needs: NAME ADDRESS [via=COMMAND]";
    }
    if (!matches(arguments[0], kNamePattern)) return "not a host name: " + arguments[0];
    if (!matches(arguments[1], kAddressPattern)) return "not a host address: " + arguments[1];
    HostEntry host;
    host.name = arguments[0];
    host.address = arguments[1];
    host.declared = true;
    host.place = place_;
    if (arguments.size() == 3) {
      if (arguments[2].rfind("via=", 0) != 0) return "expected via=COMMAND, got " + arguments[2];
      std::istringstream words(arguments[2].substr(4));
      for (std::string word; words >> word;) host.launcher.push_back(word);
      if (host.launcher.empty()) return "via= needs a command";
    }
    for (HostEntry& existing : file_.hosts) {
      if (existing.name != host.name) continue;
      if (existing.declared) {
        return "host " + host.name + " is already declared at line " +
               std::to_string(existing.place.line);
      }
      existing = host;
      return "";
    }
    file_.hosts.push_back(host);
    return "";
  }

  std::string nameServer(const std::vector<std::string>& arguments) {
    if (file_.nameServerPlace.line != 0) {
      return "nameserver is already given at line " + std::to_string(file_.nameServerPlace.line);
    }
    file_.nameServerPlace = place_;
    for (const std::string& argument : arguments) {
      if (argument == "start" && !file_.startNameServer) {
        file_.startNameServer = true;
      } else if (!file_.nameServer && name_service::nameServiceLocation(argument) != "") {
        file_.nameServer = argument;
      } else {
        return "nameserver needs: [HOST:PORT] [start], got " + argument;
      }
    }
    if (arguments.empty()) return "nameserver needs: [HOST:PORT] [start]";
    return "";
  }

  std::string program(const std::vector<std::string>& arguments) {
    if (arguments.empty() || !matches(arguments[0], kNamePattern)) {
      return "program needs: LABEL [OPTION...] -- COMMAND [ARGUMENT...]";
    }
    ProgramEntry program;
    program.label = arguments[0];
    program.place = place_;
    size_t at = 1;
    for (; at < arguments.size() && arguments[at] != kCommandSeparator; ++at) {
      std::string error = programOption(arguments[at], program);
      if (!error.empty()) return error;
    }
    if (at + 1 >= arguments.size()) {
      return "program " + program.label + " needs -- COMMAND [ARGUMENT...] after its options";
    }
    program.command.assign(arguments.begin() + static_cast<long>(at) + 1, arguments.end());
    if (program.command[0].find('/') != std::string::npos) {
      program.command[0] = resolved(program.command[0]);
    }
    if (!program.writesConf && !program.confValues.empty()) {
      return program.label + ": set= adds to the rtc.conf launch writes, and conf=none writes none";
    }
    if (program.writesConf) {
      for (size_t i = 1; i < program.command.size(); ++i) {
        if (program.command[i] == "-f") {
          return program.label +
                 ": give its rtc.conf with conf=FILE, not -f (launch passes "
                 "-f with the rtc.conf it writes)";
        }
      }
    }
    for (const ProgramEntry& other : file_.programs) {
      if (other.label == program.label) {
        return "program " + program.label + " is already declared at line " +
               std::to_string(other.place.line);
      }
      for (const std::string& component : program.components) {
        for (const std::string& taken : other.components) {
          if (taken == component) {
            return component + " is already the component of program " + other.label + " (line " +
                   std::to_string(other.place.line) + ")";
          }
        }
      }
    }
    file_.programs.push_back(program);
    return "";
  }

  std::string programOption(const std::string& option, ProgramEntry& program) {
    if (option == "optional") {
      program.optional = true;
      return "";
    }
    if (option == "respawn") {
      program.respawn = true;
      return "";
    }
    size_t equals = option.find('=');
    std::string key = option.substr(0, equals);
    std::string value = equals == std::string::npos ? "" : option.substr(equals + 1);
    if (equals == std::string::npos || value.empty()) {
      return "unknown program option " + option + " (" + kProgramOptions + ")";
    }
    if (key == "host") {
      if (!matches(value, kNamePattern)) return "not a host name: " + value;
      program.host = value;
    } else if (key == "dir") {
      program.workingFolder = resolved(value);
    } else if (key == "conf") {
      program.writesConf = value != kNoConf;
      program.confSource = program.writesConf ? resolved(value) : "";
    } else if (key == "components") {
      for (const std::string& component : splitList(value)) {
        if (!matches(component, kNamePattern)) return "not a component name: " + component;
        program.components.push_back(component);
      }
    } else if (key == "set") {
      size_t colon = value.find(':');
      if (colon == std::string::npos || !matches(value.substr(0, colon), kKeyPattern)) {
        return "set= needs KEY:VALUE (an rtc.conf line), got " + value;
      }
      program.confValues.emplace_back(value.substr(0, colon), value.substr(colon + 1));
    } else if (key == "env") {
      size_t inner = value.find('=');
      if (inner == std::string::npos || !matches(value.substr(0, inner), kKeyPattern)) {
        return "env= needs NAME=VALUE, got " + value;
      }
      program.environment.emplace_back(value.substr(0, inner), value.substr(inner + 1));
    } else if (key == "needs") {
      for (const std::string& needed : splitList(value)) {
        if (needed.empty()) return "needs= holds an empty file name";
        program.neededFiles.push_back(needed);
      }
    } else {
      return "unknown program option " + option + " (" + kProgramOptions + ")";
    }
    return "";
  }

  std::string connection(const std::string& command, const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) return command + " needs two NAME:port arguments";
    Action action;
    action.kind = command == "connect" ? ActionKind::Connect : ActionKind::Disconnect;
    action.place = place_;
    for (size_t i = 0; i < 2; ++i) {
      std::optional<PortAddress> port = parsePortAddress(arguments[i]);
      if (!port || !matches(port->component, kComponentPattern) ||
          !matches(port->port, kNamePattern)) {
        return "not a NAME:port: " + arguments[i];
      }
      action.ports.push_back(*port);
    }
    if (action.kind == ActionKind::Disconnect && arguments.size() > 2) {
      return "disconnect takes no properties";
    }
    for (size_t i = 2; i < arguments.size(); ++i) {
      size_t equals = arguments[i].find('=');
      if (equals == std::string::npos || equals + 1 == arguments[i].size() ||
          !matches(arguments[i].substr(0, equals), kKeyPattern)) {
        return "not a key=value: " + arguments[i];
      }
      action.properties.emplace_back(arguments[i].substr(0, equals),
                                     arguments[i].substr(equals + 1));
    }
    file_.actions.push_back(action);
    return "";
  }

  std::string configuration(const std::vector<std::string>& arguments) {
    if (arguments.size() != 4 || arguments[1] != "set") return "conf needs: NAME set KEY VALUE";
    if (!matches(arguments[0], kComponentPattern)) return "not a component name: " + arguments[0];
    Action action;
    action.kind = ActionKind::Conf;
    action.component = arguments[0];
    action.key = arguments[2];
    action.value = arguments[3];
    action.place = place_;
    file_.actions.push_back(action);
    return "";
  }

  std::string state(const std::string& command, const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) return command + " needs exactly one component name";
    if (!matches(arguments[0], kComponentPattern)) return "not a component name: " + arguments[0];
    Action action;
    action.kind = command == "activate" ? ActionKind::Activate : ActionKind::Deactivate;
    action.component = arguments[0];
    action.place = place_;
    file_.actions.push_back(action);
    return "";
  }

  std::string folder_;
  SystemFile file_;
  FilePlace place_;
};

}  // namespace

std::vector<std::string> Action::componentNames() const {
  if (kind == ActionKind::Connect || kind == ActionKind::Disconnect) {
    return {ports[0].component, ports[1].component};
  }
  return {component};
}

std::string Action::text() const {
  switch (kind) {
    case ActionKind::Connect:
    case ActionKind::Disconnect: {
      std::string text = std::string(kind == ActionKind::Connect ? "connect " : "disconnect ") +
                         ports[0].component + ":" + ports[0].port + " " + ports[1].component + ":" +
                         ports[1].port;
      for (const auto& [key, value] : properties) text += " " + key + "=" + value;
      return text;
    }
    case ActionKind::Conf:
      return "conf " + component + " set " + key + " " + value;
    case ActionKind::Activate:
      return "activate " + component;
    case ActionKind::Deactivate:
      return "deactivate " + component;
  }
  return "";
}

const HostEntry& SystemFile::host(const std::string& name) const {
  for (const HostEntry& entry : hosts) {
    if (entry.name == name) return entry;
  }
  return hosts.front();
}

const ProgramEntry* SystemFile::programOf(const std::string& component) const {
  for (const ProgramEntry& program : programs) {
    for (const std::string& name : program.components) {
      if (name == component) return &program;
    }
  }
  return nullptr;
}

std::vector<std::string> SystemFile::componentNames() const {
  std::vector<std::string> names;
  std::set<std::string> seen;
  auto add = [&](const std::string& name) {
    if (seen.insert(name).second) names.push_back(name);
  };
  for (const ProgramEntry& program : programs) {
    for (const std::string& name : program.components) add(name);
  }
  for (const Action& action : actions) {
    for (const std::string& name : action.componentNames()) add(name);
  }
  return names;
}

SystemFileRead parseSystemFile(const std::string& text, const std::string& path,
                               const std::string& folder, const VariableLookup& variables) {
  SystemFileRead result;
  WordLines lines = splitWordLines(text, variables);
  if (!lines.error.empty()) {
    result.error = path + ":" + std::to_string(lines.errorLine) + ": " + lines.error;
    return result;
  }
  Reader reader(path, folder);
  for (const WordLine& line : lines.lines) {
    std::string error = reader.line(line);
    if (!error.empty()) {
      result.error = path + ":" + std::to_string(line.number) + ": " + error;
      return result;
    }
  }
  FilePlace errorPlace;
  std::string error = reader.finish(errorPlace);
  if (!error.empty()) {
    result.error = errorPlace.text() + ": " + error;
    return result;
  }
  result.file = reader.take();
  return result;
}

SystemFileRead readSystemFile(const std::string& path,
                              const std::vector<std::pair<std::string, std::string>>& given) {
  std::ifstream stream(path);
  if (!stream) {
    SystemFileRead result;
    result.error = path + ": cannot be read";
    return result;
  }
  std::ostringstream text;
  text << stream.rdbuf();
  std::string folder = fs::absolute(fs::path(path)).parent_path().string();
  return parseSystemFile(text.str(), path, folder, variablesFrom(given, true));
}

}  // namespace rtctl
