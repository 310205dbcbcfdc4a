#include "ManagerConfig.h"

#include <coil/stringutil.h>

#include <fstream>
#include <sstream>

namespace RTC {
namespace {
constexpr const char* kNameServicePort = "2809";

const char* const kManagerDefaults[] = {
    "corba.nameservers",
    "localhost",
    "corba.endpoints",
    "",
    "corba.args",
    "",
    "naming.enable",
    "YES",
    "naming.type",
    "corba",
    "naming.formats",
    "%h.host_cxt/%n.rtc",
    "naming.update.enable",
    "YES",
    "naming.update.interval",
    "10.0",
    "corba.call_timeout_ms",
    "3000",
    "exec_cxt.periodic.type",
    "PeriodicExecutionContext",
    "exec_cxt.periodic.rate",
    "1000",
    "logger.enable",
    "YES",
    "logger.log_level",
    "INFO",
    "logger.file_name",
    "./rtc%p.log",
    "manager.name",
    "manager",
    "manager.is_master",
    "NO",
    "manager.shutdown_on_nortcs",
    "YES",
    "manager.shutdown_auto",
    "YES",
    "manager.components.preconnect",
    "",
    "manager.components.preactivation",
    "",
    "dataport.call_timeout_ms",
    "3000",
    "timer.enable",
    "YES",
    "",
};

void loadFile(const std::string& path, coil::Properties& into) {
  std::ifstream file(path);
  into.load(file);
}

bool readable(const std::string& path) {
  std::ifstream file(path);
  return file.good();
}
}  // namespace

CommandLine parseCommandLine(int argc, const char* const argv[]) {
  CommandLine result;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i] ? argv[i] : "";
    auto takeValue = [&](std::string& into) {
      if (option.size() > 2) {
        into = option.substr(2);
        return true;
      }
      if (i + 1 < argc) {
        into = argv[++i];
        return true;
      }
      result.problems.push_back("option " + option + " needs a value");
      return false;
    };
    if (option.compare(0, 2, "-f") == 0) {
      takeValue(result.configFile);
    } else if (option.compare(0, 2, "-o") == 0) {
      std::string pair;
      if (!takeValue(pair)) continue;
      size_t colon = pair.find(':');
      if (colon == std::string::npos || coil::trim(pair.substr(0, colon)).empty()) {
        result.problems.push_back("option -o expects key:value, got \"" + pair + "\"");
        continue;
      }
      result.overrides.emplace_back(coil::trim(pair.substr(0, colon)),
                                    coil::trim(pair.substr(colon + 1)));
    } else if (option.compare(0, 2, "-p") == 0) {
      std::string port;
      if (!takeValue(port)) continue;
      unsigned short number = 0;
      if (!coil::stringTo(number, port.c_str())) {
        result.problems.push_back("option -p expects a port number, got \"" + port + "\"");
        continue;
      }
      result.endpointPort = port;
    } else if (option == "-d") {
      result.isMaster = true;
    } else if (option.compare(0, 4, "-ORB") == 0) {
      // ORB options on the command line go to the ORB with their value.
      std::string value = (i + 1 < argc) ? argv[++i] : "";
      result.overrides.emplace_back("corba.args.command_line", option + " " + value);
    } else {
      result.problems.push_back("unknown option " + option + " ignored");
    }
  }
  return result;
}

coil::Properties defaultManagerConfig() { return coil::Properties(kManagerDefaults); }

std::vector<std::string> configSearchPath(const std::string& command_line_file,
                                          const std::string& env_config) {
  std::vector<std::string> paths;
  if (!command_line_file.empty()) paths.push_back(command_line_file);
  if (!env_config.empty()) paths.push_back(env_config);
  for (const char* place : {"./rtc.conf", "/etc/rtc.conf", "/etc/rtc/rtc.conf",
                            "/usr/local/etc/rtc.conf", "/usr/local/etc/rtc/rtc.conf"})
    paths.push_back(place);
  return paths;
}

coil::Properties buildManagerConfig(const CommandLine& command_line, const std::string& env_config,
                                    std::string& used_file, std::vector<std::string>& problems) {
  coil::Properties config = defaultManagerConfig();
  used_file.clear();
  if (!command_line.configFile.empty() && !readable(command_line.configFile))
    problems.push_back("configuration file " + command_line.configFile + " cannot be read");
  for (const std::string& path : configSearchPath(command_line.configFile, env_config)) {
    if (readable(path)) {
      loadFile(path, config);
      used_file = path;
      break;
    }
  }
  std::string orb_options;
  for (const auto& entry : command_line.overrides) {
    if (entry.first == "corba.args.command_line")
      orb_options += " " + entry.second;
    else
      config.setProperty(entry.first, entry.second);
  }
  if (!orb_options.empty())
    config.setProperty("corba.args", coil::trim(config.getProperty("corba.args") + orb_options));
  if (!command_line.endpointPort.empty())
    config.setProperty("corba.endpoints", ":" + command_line.endpointPort);
  if (command_line.isMaster) config.setProperty("manager.is_master", "YES");
  return config;
}

std::vector<std::string> splitEndpoints(const std::string& endpoints) {
  std::vector<std::string> result;
  for (const std::string& part : coil::split(endpoints, ",")) {
    if (part.empty()) continue;
    result.push_back(part.find(':') == std::string::npos &&
                             part.find_first_not_of("0123456789") == std::string::npos
                         ? ":" + part
                         : part);
  }
  return result;
}

std::vector<std::string> orbArguments(const coil::Properties& config) {
  std::vector<std::string> args;
  std::string endpoints = config.getProperty("corba.endpoints");
  if (endpoints.empty()) endpoints = config.getProperty("corba.endpoint");
  for (const std::string& endpoint : splitEndpoints(endpoints)) {
    args.push_back("-ORBendPoint");
    args.push_back("giop:tcp:" + endpoint);
  }
  std::istringstream words(config.getProperty("corba.args"));
  std::string word;
  while (words >> word) args.push_back(word);
  return args;
}

std::string nameServiceLocation(const std::string& server) {
  std::string address = coil::trim(server);
  if (address.compare(0, 9, "corbaloc:") == 0 || address.compare(0, 4, "IOR:") == 0) return address;
  if (address.find(':') == std::string::npos) address += std::string(":") + kNameServicePort;
  return "corbaloc::" + address + "/NameService";
}

std::vector<PreconnectEntry> parsePreconnect(const std::string& text,
                                             std::vector<std::string>& problems) {
  std::vector<std::string> entries;
  std::string current;
  int depth = 0;
  for (char c : text) {
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      entries.push_back(coil::trim(current));
      current.clear();
    } else {
      current += c;
    }
  }
  entries.push_back(coil::trim(current));

  std::vector<PreconnectEntry> result;
  for (const std::string& entry : entries) {
    if (entry.empty()) continue;
    std::string ports_text = entry;
    std::string options;
    const size_t open = entry.find('(');
    if (open != std::string::npos) {
      const size_t close = entry.rfind(')');
      if (close == std::string::npos || close < open) {
        problems.push_back("preconnect entry \"" + entry + "\" has an unclosed '('");
        continue;
      }
      ports_text = entry.substr(0, open);
      options = entry.substr(open + 1, close - open - 1);
    }
    PreconnectEntry parsed;
    for (const std::string& port : coil::split(ports_text, ":")) {
      if (port.find('.') == std::string::npos || port.front() == '.' || port.back() == '.') {
        parsed.ports.clear();
        break;
      }
      parsed.ports.push_back(port);
    }
    if (parsed.ports.size() < 2) {
      problems.push_back("preconnect entry \"" + entry +
                         "\" needs two ports written as instance.port:instance.port");
      continue;
    }
    for (const std::string& option : coil::split(options, "&")) {
      if (option.empty()) continue;
      const size_t equals = option.find('=');
      if (equals == std::string::npos) {
        problems.push_back("preconnect option \"" + option + "\" is not key=value");
        continue;
      }
      std::string key = coil::trim(option.substr(0, equals));
      if (key.compare(0, 9, "dataport.") != 0) key = "dataport." + key;
      parsed.properties.setProperty(key, coil::trim(option.substr(equals + 1)));
    }
    result.push_back(parsed);
  }
  return result;
}

bool isYes(const std::string& value) {
  const std::string word = coil::toLower(coil::trim(value));
  return word == "yes" || word == "true" || word == "1" || word == "on";
}

}  // namespace RTC
