// The values of rtc.conf and the command line that the manager uses, checked before anything
// starts: a value that cannot be used stops the process with one line naming the key, the
// value and what is wrong with it, rather than being replaced by something the operator did
// not ask for. A key written with no value keeps its documented default, with a warning.
// Plain code, so that tests reach it directly.
#pragma once

#include <coil/Properties.h>

#include <string>
#include <vector>

namespace RTC {

struct ManagerConfigReport {
  // One line each, "key: \"value\" reason"; any of them stops the process.
  std::vector<std::string> errors;
  // One line each; the process goes on.
  std::vector<std::string> warnings;
};

// Checks every key the manager reads in `config`, which must hold the defaults of
// defaultManagerConfig(). Keys written with no value get their default back.
ManagerConfigReport checkManagerConfig(coil::Properties& config);

// The reasons the checks give: empty when `value` is usable, else what is wrong with it
// ("is not a positive number of Hz").
std::string rateProblem(const std::string& value);
std::string endpointsProblem(const std::string& value);
std::string logLevelProblem(const std::string& value);

// The line for a refused value: `key: "value" problem`.
std::string refusedValueLine(const std::string& key, const std::string& value,
                             const std::string& problem);

}  // namespace RTC
