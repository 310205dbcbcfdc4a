#include "system_capture.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "line_words.h"

namespace rtctl {

namespace {

const char* const kDataPortPrefix = "dataport.";
const char* const kPortTypeKey = "port.port_type";
const char* const kDataOutPort = "DataOutPort";

// Connector properties the ports fill in themselves, or that follow from the ports.
const char* const kDerivedPrefixes[] = {"dataport.data_type", "dataport.corba_cdr.",
                                        "dataport.serializer."};
const std::map<std::string, std::string> kDefaults = {
    {"dataport.interface_type", "corba_cdr"},
    {"dataport.dataflow_type", "push"},
    {"dataport.subscription_type", "flush"},
};

// A captured port: its component and short name.
struct PortOwner {
  const ComponentInfo* component = nullptr;
  const PortInfo* port = nullptr;
  std::string shortName;
};

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The connector properties worth writing: those asked for when it was made.
std::vector<std::string> writtenProperties(const PropertyMap& properties) {
  std::vector<std::string> written;
  for (const auto& [key, value] : properties) {
    bool derived = false;
    for (const char* prefix : kDerivedPrefixes) derived = derived || startsWith(key, prefix);
    auto standard = kDefaults.find(key);
    bool asDefault = standard != kDefaults.end() && standard->second == value;
    bool asked = (startsWith(key, kDataPortPrefix) && !derived && !asDefault) ||
                 key.find(".required.") != std::string::npos;
    if (!asked) continue;
    std::string shortKey = key.substr(std::string(kDataPortPrefix).size());
    bool plain = startsWith(key, kDataPortPrefix) && shortKey.find('.') == std::string::npos;
    written.push_back((plain ? shortKey : key) + "=" + value);
  }
  return written;
}

bool requires(const PortInfo& port) {
  return std::any_of(port.interfaces.begin(), port.interfaces.end(),
                     [](const InterfaceInfo& interface) { return !interface.provided; });
}

// The side written first: the out-port of a data connection, the user of a service.
bool writtenFirst(const PortInfo& port) {
  auto type = port.properties.find(kPortTypeKey);
  return (type != port.properties.end() && type->second == kDataOutPort) || requires(port);
}

// Activation order: a component after those whose services it uses; otherwise as listed.
std::vector<const ComponentInfo*> activationOrder(
    const LiveSystem& live, const std::multimap<std::string, std::string>& uses) {
  std::vector<const ComponentInfo*> order;
  std::set<std::string> placed;
  while (order.size() < live.size()) {
    const ComponentInfo* next = nullptr;
    for (const ComponentInfo& component : live) {
      if (placed.count(component.instanceName)) continue;
      auto [begin, end] = uses.equal_range(component.instanceName);
      bool ready = std::all_of(begin, end, [&](const auto& use) {
        return placed.count(use.second) || use.second == component.instanceName;
      });
      if (ready) {
        next = &component;
        break;
      }
    }
    // Services used in a circle: take the first left.
    for (const ComponentInfo& component : live) {
      if (!next && !placed.count(component.instanceName)) next = &component;
    }
    placed.insert(next->instanceName);
    order.push_back(next);
  }
  return order;
}

}  // namespace

std::string captureSystemFile(const LiveSystem& live, const std::string& header) {
  std::ostringstream text;
  std::istringstream headerLines(header);
  for (std::string line; std::getline(headerLines, line);) text << "# " << line << "\n";

  std::map<std::string, PortOwner> owners;
  for (const ComponentInfo& component : live) {
    for (const PortInfo& port : component.ports) {
      std::string prefix = component.instanceName + ".";
      std::string shortName =
          startsWith(port.name, prefix) ? port.name.substr(prefix.size()) : port.name;
      owners[port.name] = {&component, &port, shortName};
    }
  }

  for (const ComponentInfo& component : live) {
    for (const ConfigurationSetInfo& set : component.configurationSets) {
      if (set.id != component.activeSetId || set.values.empty()) continue;
      text << "\n# " << component.instanceName << ", configuration set \"" << set.id << "\"\n";
      for (const auto& [key, value] : set.values) {
        text << "conf " << component.instanceName << " set " << quotedWord(key) << " "
             << quotedWord(value) << "\n";
      }
    }
  }

  std::set<std::string> written;
  std::multimap<std::string, std::string> uses;
  std::ostringstream connections;
  for (const ComponentInfo& component : live) {
    for (const PortInfo& port : component.ports) {
      for (const ConnectorInfo& connector : port.connectors) {
        if (connector.portNames.size() != 2 || !written.insert(connector.id).second) continue;
        auto first = owners.find(connector.portNames[0]);
        auto second = owners.find(connector.portNames[1]);
        if (first == owners.end() || second == owners.end()) continue;
        if (!writtenFirst(*first->second.port) && writtenFirst(*second->second.port)) {
          std::swap(first, second);
        }
        const PortOwner& a = first->second;
        const PortOwner& b = second->second;
        if (requires(*a.port)) uses.emplace(a.component->instanceName, b.component->instanceName);
        if (requires(*b.port)) uses.emplace(b.component->instanceName, a.component->instanceName);
        connections << "connect " << a.component->instanceName << ":" << a.shortName << " "
                    << b.component->instanceName << ":" << b.shortName;
        for (const std::string& property : writtenProperties(connector.properties)) {
          connections << " " << quotedWord(property);
        }
        connections << "\n";
      }
    }
  }
  if (!connections.str().empty()) text << "\n# Connections\n" << connections.str();

  text << "\n# States, a component after those whose services it uses\n";
  for (const ComponentInfo* component : activationOrder(live, uses)) {
    if (component->state == "Active") {
      text << "activate " << component->instanceName << "\n";
    } else if (component->state == "Inactive") {
      text << "deactivate " << component->instanceName << "\n";
    } else {
      text << "# " << component->instanceName << " was "
           << (component->state.empty() ? "without an execution context" : component->state)
           << "\n";
    }
  }
  return text.str();
}

}  // namespace rtctl
