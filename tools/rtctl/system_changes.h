#pragma once
// What rtctl watch reports: the differences between two looks at the live system, one line
// each (a state change, a component that appears or goes, a connection made or removed, a
// configuration value changed, the name server going quiet). Plain work on copies.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "system_check.h"

namespace rtctl {

// The state shown for a component whose name is bound but whose object does not answer.
inline constexpr const char* kNotAnswering = "not answering";

struct WatchedComponent {
  std::string state;                                 // "Active", ..., or kNotAnswering
  std::map<std::string, std::string> configuration;  // "set.key" → value
};

struct WatchSnapshot {
  bool nameServerAnswers = true;
  std::map<std::string, WatchedComponent> components;  // by instance name
  std::map<std::string, std::string> connections;      // connector id → "A.out - B.in"
};

// A look at the live system: the components read, and those that did not answer (by name
// or naming path, with why).
WatchSnapshot snapshotOf(const LiveSystem& live,
                         const std::map<std::string, std::string>& notAnswering);

// The lines that tell what changed from before to after; with no before, the lines that
// describe after as it is.
std::vector<std::string> describeChanges(const std::optional<WatchSnapshot>& before,
                                         const WatchSnapshot& after);

}  // namespace rtctl
