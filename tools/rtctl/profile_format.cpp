#include "profile_format.h"

#include <algorithm>
#include <sstream>

namespace rtctl {

namespace {

std::string valueOr(const PropertyMap& properties, const std::string& key,
                    const std::string& fallback) {
  auto found = properties.find(key);
  return found == properties.end() ? fallback : found->second;
}

std::string joined(const std::vector<std::string>& items, const std::string& separator) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) text += (i ? separator : "") + items[i];
  return text;
}

}  // namespace

std::string lifeCycleStateName(int state) {
  static const char* const kNames[] = {"Created", "Inactive", "Active", "Error"};
  if (state >= 0 && state < 4) return kNames[state];
  return "Unknown(" + std::to_string(state) + ")";
}

std::string portKind(const PortInfo& port) {
  std::string type = valueOr(port.properties, "port.port_type", "");
  if (type == "DataInPort") return "in";
  if (type == "DataOutPort") return "out";
  if (type == "CorbaPort") return "service";
  return type.empty() ? "port" : type;
}

std::string formatListing(const std::vector<ListEntry>& entries) {
  size_t width = 0;
  for (const auto& entry : entries) width = std::max(width, entry.path.size());
  std::ostringstream text;
  for (const auto& entry : entries) {
    text << entry.path << std::string(width - entry.path.size() + 2, ' ') << entry.state << "\n";
  }
  return text.str();
}

std::string formatConfigurationSet(const std::string& instanceName,
                                   const ConfigurationSetInfo& set) {
  std::ostringstream text;
  text << instanceName << " configuration set \"" << set.id << "\"";
  if (set.values.empty()) text << " (no parameters)";
  text << "\n";
  for (const auto& [key, value] : set.values) text << "  " << key << " = " << value << "\n";
  return text.str();
}

std::string formatComponent(const ComponentInfo& component) {
  std::ostringstream text;
  text << component.instanceName << "  " << component.path << "\n";
  const std::pair<const char*, const std::string*> fields[] = {
      {"type_name", &component.typeName},
      {"description", &component.description},
      {"version", &component.version},
      {"vendor", &component.vendor},
      {"category", &component.category}};
  for (const auto& [label, value] : fields) text << "  " << label << ": " << *value << "\n";
  text << "  state: " << (component.state.empty() ? "no execution context" : component.state);
  if (component.rate_hz) text << " (rate " << *component.rate_hz << " Hz)";
  text << "\n";
  text << "  ports:" << (component.ports.empty() ? " none" : "") << "\n";
  for (const auto& port : component.ports) {
    text << "    " << portKind(port) << " " << port.name;
    std::string dataType = valueOr(port.properties, "dataport.data_type", "");
    if (!dataType.empty()) text << " [" << dataType << "]";
    text << "\n";
    for (const auto& interface : port.interfaces) {
      text << "      " << (interface.provided ? "provides " : "requires ") << interface.instanceName
           << " (" << interface.typeName << ")\n";
    }
    for (const auto& connector : port.connectors) {
      text << "      connected: " << joined(connector.portNames, " - ") << "  id " << connector.id;
      if (!connector.name.empty()) text << " name " << connector.name;
      text << "\n";
    }
  }
  for (const auto& set : component.configurationSets) {
    text << "  configuration set \"" << set.id << "\""
         << (set.id == component.activeSetId ? " (active)" : "") << ":\n";
    for (const auto& [key, value] : set.values) text << "    " << key << " = " << value << "\n";
  }
  return text.str();
}

}  // namespace rtctl
