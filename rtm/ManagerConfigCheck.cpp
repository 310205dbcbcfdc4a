#include "ManagerConfigCheck.h"

#include <rtm/ExecutionRate.h>
#include <rtm/Logger.h>
#include <rtm/ManagerConfig.h>

#include <coil/stringutil.h>

#include <cmath>

namespace RTC {
namespace {
constexpr unsigned long kMaxPort = 65535;
constexpr int kIpv4Octets = 4;
constexpr unsigned long kMaxOctet = 255;

bool allDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string flagProblem(const std::string& value) {
  bool flag = false;
  return coil::stringTo(flag, value.c_str()) ? "" : "is not YES or NO";
}

std::string millisecondsProblem(const std::string& value) {
  unsigned long milliseconds = 0;
  return allDigits(coil::trim(value)) && coil::stringTo(milliseconds, value.c_str())
             ? ""
             : "is not a whole number of milliseconds (0 for none)";
}

std::string secondsProblem(const std::string& value) {
  double seconds = 0;
  return coil::stringTo(seconds, value.c_str()) && std::isfinite(seconds) && seconds >= 0
             ? ""
             : "is not a number of seconds (0 for never)";
}

// "999.1.1.1" is an address that cannot be; a name with letters is left to the resolver.
std::string hostProblem(const std::string& host) {
  if (host.empty() || host.find_first_not_of("0123456789.") != std::string::npos) return "";
  const std::vector<std::string> octets = coil::split(host, ".");
  bool valid = octets.size() == kIpv4Octets;
  for (const std::string& octet : octets) {
    unsigned long number = 0;
    valid =
        valid && allDigits(octet) && coil::stringTo(number, octet.c_str()) && number <= kMaxOctet;
  }
  return valid ? "" : host + " is not an IPv4 address";
}

std::string portProblem(const std::string& port, bool may_be_empty) {
  if (port.empty() && may_be_empty) return "";
  unsigned long number = 0;
  if (allDigits(port) && coil::stringTo(number, port.c_str()) && number <= kMaxPort &&
      (number > 0 || may_be_empty))
    return "";
  return port + " is not a port number";
}

// "host:port", ":port", "host:" or "[ipv6]:port".
std::string hostAndPortProblem(const std::string& entry, bool port_may_be_empty) {
  const size_t colon = entry.rfind(':');
  const size_t bracket = entry.rfind(']');
  const bool has_port =
      colon != std::string::npos && (bracket == std::string::npos || colon > bracket);
  const std::string host = has_port ? entry.substr(0, colon) : entry;
  if (!has_port) return hostProblem(host);
  const std::string problem = hostProblem(host);
  return problem.empty() ? portProblem(entry.substr(colon + 1), port_may_be_empty) : problem;
}

std::string nameServersProblem(const std::string& value) {
  for (const std::string& server : coil::split(value, ",")) {
    if (server.empty() || server.compare(0, 9, "corbaloc:") == 0 ||
        server.compare(0, 4, "IOR:") == 0)
      continue;
    std::string problem = hostAndPortProblem(server, false);
    if (server.front() == ':') problem = "a name server needs a host";
    if (!problem.empty()) return "is not a list of host[:port] (" + problem + ")";
  }
  return "";
}

std::string namingFormatsProblem(const std::string& value) {
  const std::string fields = "ntmivVchMp%";
  for (const std::string& format : coil::split(value, ",")) {
    for (size_t at = format.find('%'); at != std::string::npos; at = format.find('%', at + 2)) {
      if (at + 1 == format.size() || fields.find(format[at + 1]) == std::string::npos)
        return "has an unknown field " + format.substr(at, 2) +
               " (known: %n %t %m %i %v %V %c %h %M %p)";
    }
  }
  return "";
}

std::string preconnectProblem(const std::string& value) {
  std::vector<std::string> problems;
  parsePreconnect(value, problems);
  return problems.empty() ? "" : "cannot be read: " + problems.front();
}

struct KeyCheck {
  const char* key;
  std::string (*problem)(const std::string& value);
};

const KeyCheck kChecks[] = {
    {"corba.nameservers", nameServersProblem},
    {"corba.endpoints", endpointsProblem},
    {"corba.endpoint", endpointsProblem},
    {"corba.call_timeout_ms", millisecondsProblem},
    {"dataport.call_timeout_ms", millisecondsProblem},
    {"naming.enable", flagProblem},
    {"naming.formats", namingFormatsProblem},
    {"naming.update.enable", flagProblem},
    {"naming.update.interval", secondsProblem},
    {"exec_cxt.periodic.rate", rateProblem},
    {"logger.enable", flagProblem},
    {"logger.log_level", logLevelProblem},
    {"manager.shutdown_on_nortcs", flagProblem},
    {"manager.components.preconnect", preconnectProblem},
};
// Read as they stand: any text is usable (the log file is tried when it is opened, the ORB
// options by the ORB).
const char* const kFreeTextKeys[] = {"corba.args", "logger.file_name", "manager.name",
                                     "manager.components.preactivation"};
}  // namespace

std::string rateProblem(const std::string& value) {
  double rate_hz = 0;
  if (coil::stringTo(rate_hz, value.c_str()) && isUsableRate(rate_hz)) return "";
  return std::string("is not a rate ") + kUsableRateText;
}

std::string endpointsProblem(const std::string& value) {
  for (const std::string& endpoint : splitEndpoints(value)) {
    const std::string problem = hostAndPortProblem(endpoint, true);
    if (!problem.empty()) return "is not a list of host:port (" + problem + ")";
  }
  return "";
}

std::string logLevelProblem(const std::string& value) {
  if (parseLogLevel(value)) return "";
  std::string names;
  for (int level = 0; level <= static_cast<int>(LogLevel::PARANOID); ++level)
    names += std::string(names.empty() ? "" : " ") + logLevelName(static_cast<LogLevel>(level));
  return "is not a log level (" + names + ")";
}

std::string refusedValueLine(const std::string& key, const std::string& value,
                             const std::string& problem) {
  return key + ": \"" + value + "\" " + problem;
}

ManagerConfigReport checkManagerConfig(coil::Properties& config) {
  ManagerConfigReport report;
  auto restoreDefault = [&](const char* key) {
    if (!config.hasKey(key) || !config[key].empty() || config.getDefault(key).empty()) return;
    config.setProperty(key, config.getDefault(key));
    report.warnings.push_back(std::string(key) + ": no value; using the default " +
                              config.getDefault(key));
  };
  for (const KeyCheck& check : kChecks) {
    restoreDefault(check.key);
    if (!config.hasKey(check.key)) continue;
    const std::string value = config.getProperty(check.key);
    const std::string problem = check.problem(value);
    if (!problem.empty()) report.errors.push_back(refusedValueLine(check.key, value, problem));
  }
  for (const char* key : kFreeTextKeys) restoreDefault(key);
  return report;
}

}  // namespace RTC
