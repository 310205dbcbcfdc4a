#include "system_changes.h"

#include <algorithm>

#include "component_names.h"

namespace rtctl {

namespace {

std::string stateText(const std::string& state) {
  return state.empty() ? "without execution context" : state;
}

std::string connectionText(const ConnectorInfo& connector) {
  std::vector<std::string> names = connector.portNames;
  std::sort(names.begin(), names.end());
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) text += (i ? " - " : "") + names[i];
  return text;
}

void describeComponents(const std::map<std::string, WatchedComponent>& before,
                        const std::map<std::string, WatchedComponent>& after,
                        std::vector<std::string>& lines) {
  for (const auto& [name, component] : after) {
    auto old = before.find(name);
    if (old == before.end()) {
      lines.push_back(name + ": appeared (" + stateText(component.state) + ")");
      continue;
    }
    if (old->second.state != component.state) {
      lines.push_back(name + ": " + stateText(old->second.state) + " -> " +
                      stateText(component.state));
    }
    for (const auto& [key, value] : component.configuration) {
      auto oldValue = old->second.configuration.find(key);
      if (oldValue != old->second.configuration.end() && oldValue->second != value) {
        lines.push_back(name + ": " + key + " " + oldValue->second + " -> " + value);
      }
    }
  }
  for (const auto& [name, component] : before) {
    if (!after.count(name)) lines.push_back(name + ": gone from the name server");
  }
}

}  // namespace

WatchSnapshot snapshotOf(const LiveSystem& live,
                         const std::map<std::string, std::string>& notAnswering) {
  WatchSnapshot snapshot;
  for (const ComponentInfo& component : live) {
    WatchedComponent& watched = snapshot.components[component.instanceName];
    watched.state = component.state;
    for (const ConfigurationSetInfo& set : component.configurationSets) {
      for (const auto& [key, value] : set.values) watched.configuration[set.id + "." + key] = value;
    }
    for (const PortInfo& port : component.ports) {
      for (const ConnectorInfo& connector : port.connectors) {
        snapshot.connections[connector.id] = connectionText(connector);
      }
    }
  }
  for (const auto& [name, why] : notAnswering) {
    snapshot.components[isNamingPath(name) ? instanceNameOfPath(name) : name].state = kNotAnswering;
  }
  return snapshot;
}

std::vector<std::string> describeChanges(const std::optional<WatchSnapshot>& before,
                                         const WatchSnapshot& after) {
  std::vector<std::string> lines;
  if (!after.nameServerAnswers) {
    if (!before || before->nameServerAnswers) lines.push_back("the name server does not answer");
    return lines;
  }
  if (before && !before->nameServerAnswers) lines.push_back("the name server answers again");
  if (!before) {
    for (const auto& [name, component] : after.components) {
      lines.push_back(name + ": " + stateText(component.state));
    }
  } else {
    describeComponents(before->components, after.components, lines);
  }
  // Connections in the order of their ports' names, not of their random ids.
  std::vector<std::string> connections;
  for (const auto& [id, text] : after.connections) {
    if (!before || !before->connections.count(id)) connections.push_back("connected " + text);
  }
  if (before) {
    for (const auto& [id, text] : before->connections) {
      if (!after.connections.count(id)) connections.push_back("disconnected " + text);
    }
  }
  std::sort(connections.begin(), connections.end());
  lines.insert(lines.end(), connections.begin(), connections.end());
  return lines;
}

}  // namespace rtctl
