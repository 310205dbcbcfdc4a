#pragma once
// What rtctl prints about components, from plain copies of their profiles (no CORBA here).
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "connection_plan.h"

namespace rtctl {

struct ConnectorInfo {
  std::string id;
  std::string name;
  std::vector<std::string> portNames;  // names of the connected ports, as their profiles say
  PropertyMap properties;
};

struct PortInfo {
  std::string name;  // "Talker0.out"
  PropertyMap properties;
  std::vector<InterfaceInfo> interfaces;
  std::vector<ConnectorInfo> connectors;
};

struct ConfigurationSetInfo {
  std::string id;
  std::vector<std::pair<std::string, std::string>> values;  // in the component's order
};

struct ComponentInfo {
  std::string path;  // naming path
  std::string instanceName;
  std::string typeName;
  std::string description;
  std::string version;
  std::string vendor;
  std::string category;
  std::string state;              // "Inactive", ...; "" when the component has no context
  std::optional<double> rate_hz;  // of its first owned execution context
  std::vector<PortInfo> ports;
  std::string activeSetId;
  std::vector<ConfigurationSetInfo> configurationSets;
};

// One line of "rtctl ls": the naming path and the state, or "unreachable".
struct ListEntry {
  std::string path;
  std::string state;
};

// The name of an RTC::LifeCycleState value: "Created", "Inactive", "Active", "Error", or
// "Unknown(<n>)" for a value outside the enumeration.
std::string lifeCycleStateName(int state);

std::string formatListing(const std::vector<ListEntry>& entries);
std::string formatComponent(const ComponentInfo& component);
// The parameters of a set, "  key = value" one a line after a header naming the set.
std::string formatConfigurationSet(const std::string& instanceName,
                                   const ConfigurationSetInfo& set);

// "in", "out", "service" or the raw port type for the port_type property.
std::string portKind(const PortInfo& port);

}  // namespace rtctl
