#include "system_check.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "component_names.h"

namespace rtctl {

namespace {

const char* const kActive = "Active";
const char* const kInactive = "Inactive";

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool joins(const ConnectorInfo& connector, const std::string& port) {
  return std::find(connector.portNames.begin(), connector.portNames.end(), port) !=
         connector.portNames.end();
}

// True when the live connector carries every wanted property (values compared without case).
bool carries(const ConnectorInfo& connector, const PropertyMap& wanted) {
  for (const auto& [key, value] : wanted) {
    auto found = connector.properties.find(key);
    if (found == connector.properties.end() || lower(found->second) != lower(value)) return false;
  }
  return true;
}

bool parsesAsNumber(const std::string& text, double& number) {
  if (text.empty()) return false;
  char* end = nullptr;
  number = std::strtod(text.c_str(), &end);
  return end && *end == '\0';
}

LineCheck lineCheck(bool holds, std::string detail) { return {holds, false, std::move(detail)}; }

LineCheck unknownLine(std::string detail) { return {false, true, std::move(detail)}; }

// The component a line names, or the reason it cannot be compared.
const ComponentInfo* lineComponent(const LiveSystem& live, const std::string& name,
                                   std::string& problem) {
  const ComponentInfo* component = findLiveComponent(live, name);
  if (!component) problem = name + " is not running";
  return component;
}

LineCheck checkConnection(const Action& action, const LiveSystem& live) {
  ConnectionState state = connectionState(action, live);
  if (!state.error.empty()) return unknownLine(state.error);
  if (action.kind == ActionKind::Disconnect) {
    return state.differing.empty() ? lineCheck(true, "not connected")
                                   : lineCheck(false, "connected");
  }
  if (!state.matching.empty()) return lineCheck(true, "connected");
  if (!state.differing.empty()) {
    return lineCheck(false, "connected with other properties");
  }
  return lineCheck(false, "missing");
}

LineCheck checkState(const Action& action, const LiveSystem& live) {
  std::string problem;
  const ComponentInfo* component = lineComponent(live, action.component, problem);
  if (!component) return unknownLine(problem);
  const char* wanted = action.kind == ActionKind::Activate ? kActive : kInactive;
  if (component->state == wanted) return lineCheck(true, component->state);
  std::string found = component->state.empty() ? "no execution context" : component->state;
  return lineCheck(false, found + ", " + wanted + " wanted");
}

LineCheck checkConfiguration(const Action& action, const LiveSystem& live) {
  std::string problem;
  const ComponentInfo* component = lineComponent(live, action.component, problem);
  if (!component) return unknownLine(problem);
  const std::string* value = activeValue(*component, action.key);
  if (!value) {
    return unknownLine(component->instanceName + " has no configuration parameter \"" + action.key +
                       "\"");
  }
  if (sameConfigurationValue(*value, action.value)) return lineCheck(true, "= " + *value);
  return lineCheck(false, "is " + *value + ", " + action.value + " wanted");
}

}  // namespace

const ComponentInfo* findLiveComponent(const LiveSystem& live, const std::string& name) {
  std::vector<std::string> paths;
  for (const ComponentInfo& component : live) paths.push_back(component.path);
  if (isNamingPath(name)) {
    std::vector<std::string> matches = matchComponentName(paths, name);
    for (const ComponentInfo& component : live) {
      if (!matches.empty() && component.path == matches.front()) return &component;
    }
    return nullptr;
  }
  for (const ComponentInfo& component : live) {
    if (component.instanceName == name) return &component;
  }
  return nullptr;
}

const PortInfo* findLivePort(const ComponentInfo& component, const std::string& portName) {
  for (const PortInfo& port : component.ports) {
    if (port.name == portName || port.name == component.instanceName + "." + portName) {
      return &port;
    }
  }
  return nullptr;
}

std::string connectorName(const std::string& firstPort, const std::string& secondPort) {
  return firstPort + "_" + secondPort;
}

ConnectionState connectionState(const Action& action, const LiveSystem& live) {
  ConnectionState state;
  const PortInfo* ports[2] = {nullptr, nullptr};
  for (int i = 0; i < 2; ++i) {
    const PortAddress& address = action.ports[i];
    const ComponentInfo* component = lineComponent(live, address.component, state.error);
    if (!component) return state;
    ports[i] = findLivePort(*component, address.port);
    if (!ports[i]) {
      state.error = component->instanceName + " has no port \"" + address.port + "\"";
      return state;
    }
  }
  state.firstPort = ports[0]->name;
  state.secondPort = ports[1]->name;
  if (action.kind == ActionKind::Connect) {
    ConnectionPlan plan = planConnection(
        {ports[0]->name, ports[0]->properties, ports[0]->interfaces},
        {ports[1]->name, ports[1]->properties, ports[1]->interfaces}, action.properties);
    if (!plan.error.empty()) {
      state.error = plan.error;
      return state;
    }
    state.wanted = plan.connectorProperties;
  }
  const std::string ourNames[2] = {connectorName(state.firstPort, state.secondPort),
                                   connectorName(state.secondPort, state.firstPort)};
  for (const ConnectorInfo& connector : ports[0]->connectors) {
    if (!joins(connector, state.secondPort)) continue;
    bool wanted = action.kind == ActionKind::Connect && carries(connector, state.wanted);
    (wanted ? state.matching : state.differing).push_back(connector.id);
  }
  for (int i = 0; i < 2; ++i) {
    const std::string& other = i == 0 ? state.secondPort : state.firstPort;
    for (const ConnectorInfo& connector : ports[i]->connectors) {
      bool ours = connector.name == ourNames[0] || connector.name == ourNames[1];
      if (ours && !joins(connector, other)) state.stale.push_back({i, connector.id});
    }
  }
  return state;
}

LineCheck checkLine(const Action& action, const LiveSystem& live) {
  switch (action.kind) {
    case ActionKind::Connect:
    case ActionKind::Disconnect:
      return checkConnection(action, live);
    case ActionKind::Activate:
    case ActionKind::Deactivate:
      return checkState(action, live);
    case ActionKind::Conf:
      return checkConfiguration(action, live);
  }
  return unknownLine("unknown line");
}

bool sameConfigurationValue(const std::string& live, const std::string& wanted) {
  if (live == wanted) return true;
  double liveNumber = 0;
  double wantedNumber = 0;
  return parsesAsNumber(live, liveNumber) && parsesAsNumber(wanted, wantedNumber) &&
         liveNumber == wantedNumber;
}

const std::string* activeValue(const ComponentInfo& component, const std::string& key) {
  for (const ConfigurationSetInfo& set : component.configurationSets) {
    if (set.id != component.activeSetId) continue;
    for (const auto& [name, value] : set.values) {
      if (name == key) return &value;
    }
  }
  return nullptr;
}

}  // namespace rtctl
