// The manager's configuration before any CORBA: its command line, where rtc.conf is found
// and the defaults of every key it reads. Plain code, so that tests reach it directly.
#pragma once

#include <coil/Properties.h>

#include <string>
#include <utility>
#include <vector>

namespace RTC {

// What the command line asked for: -f file, -o key:value (repeatable), -p port, -d.
struct CommandLine {
  std::string configFile;
  std::vector<std::pair<std::string, std::string>> overrides;
  std::string endpointPort;
  bool isMaster = false;
  // One line per option that could not be used; the rest of the line still applies.
  std::vector<std::string> problems;
};

CommandLine parseCommandLine(int argc, const char* const argv[]);

// The built-in values of every key the manager reads.
coil::Properties defaultManagerConfig();

// Where rtc.conf is looked for, in order: -f, $RTC_MANAGER_CONFIG, ./rtc.conf and the
// system places. `env_config` is the variable's value (empty when unset).
std::vector<std::string> configSearchPath(const std::string& command_line_file,
                                          const std::string& env_config);

// Defaults, then the first readable file of the search path, then the command line.
// `used_file` receives the file read (empty when none); `problems` one line per problem.
coil::Properties buildManagerConfig(const CommandLine& command_line, const std::string& env_config,
                                    std::string& used_file, std::vector<std::string>& problems);

// "host:port,host:port" → ["host:port", ...]; a bare ":port" or "port" means every host.
std::vector<std::string> splitEndpoints(const std::string& endpoints);

// The ORB's arguments: one -ORBendPoint per endpoint, then the words of corba.args.
std::vector<std::string> orbArguments(const coil::Properties& config);

// "host" or "host:port" → "corbaloc::host:port/NameService" (port 2809 when missing).
std::string nameServiceLocation(const std::string& server);

// One entry of manager.components.preconnect: "A0.out:B0.in(key=value&key=value)".
struct PreconnectEntry {
  std::vector<std::string> ports;  // "<instance>.<port>", the first one connected first
  coil::Properties properties;     // keys without a "dataport." prefix get one
};
// Entries are separated by commas outside parentheses; a malformed one is reported in
// `problems` and skipped.
std::vector<PreconnectEntry> parsePreconnect(const std::string& text,
                                             std::vector<std::string>& problems);

// A YES/NO style flag of rtc.conf.
bool isYes(const std::string& value);

}  // namespace RTC
