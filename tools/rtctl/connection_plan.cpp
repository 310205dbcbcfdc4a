#include "connection_plan.h"

#include <algorithm>
#include <cctype>

namespace rtctl {

namespace {

const char* const kPortTypeKey = "port.port_type";
const char* const kDataTypeKey = "dataport.data_type";
const char* const kDataPortPrefix = "dataport.";
const char* const kDataInPort = "DataInPort";
const char* const kDataOutPort = "DataOutPort";
const char* const kServicePort = "CorbaPort";
const char* const kAny = "any";

const std::vector<std::pair<std::string, std::string>> kDataPortDefaults = {
    {"dataport.interface_type", "corba_cdr"},
    {"dataport.dataflow_type", "push"},
    {"dataport.subscription_type", "flush"},
};

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string property(const PortDescription& port, const std::string& key) {
  auto found = port.properties.find(key);
  return found == port.properties.end() ? "" : found->second;
}

ConnectionPlan failure(const std::string& error) {
  ConnectionPlan plan;
  plan.error = error;
  return plan;
}

std::string dataTypeOf(const PortDescription& port) { return trim(property(port, kDataTypeKey)); }

// True when a requested property wires the required interface by hand.
bool wiredByHand(const InterfaceInfo& required,
                 const std::vector<std::pair<std::string, std::string>>& requested) {
  std::string suffix = ".required." + required.typeName + "." + required.instanceName;
  for (const auto& [key, value] : requested) {
    if (key.size() >= suffix.size() &&
        key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return true;
    }
  }
  return false;
}

// Why the interfaces of two service ports do not fit, or "".
std::string interfaceMismatch(const PortDescription& first, const PortDescription& second,
                              const std::vector<std::pair<std::string, std::string>>& requested) {
  bool anyRequired = false;
  bool anyProvided = false;
  for (const auto& [consumer, provider] : {std::pair{&first, &second}, {&second, &first}}) {
    for (const InterfaceInfo& required : consumer->interfaces) {
      anyProvided = anyProvided || required.provided;
      if (required.provided) continue;
      anyRequired = true;
      bool found = wiredByHand(required, requested);
      for (const InterfaceInfo& offered : provider->interfaces) {
        found = found || (offered.provided && offered.typeName == required.typeName &&
                          offered.instanceName == required.instanceName);
      }
      if (!found) {
        return "interfaces do not match: " + consumer->name + " requires " + required.typeName +
               " \"" + required.instanceName + "\", which " + provider->name + " does not provide";
      }
    }
  }
  if (!anyRequired && anyProvided) {
    return "interfaces do not match: neither " + first.name + " nor " + second.name +
           " requires what the other provides";
  }
  return "";
}

}  // namespace

bool profileValueAdmits(const std::string& profileValue, const std::string& value) {
  std::string wanted = lower(trim(value));
  size_t start = 0;
  for (;;) {
    size_t comma = profileValue.find(',', start);
    std::string item = lower(trim(profileValue.substr(start, comma - start)));
    if (item == wanted || item == kAny) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}

ConnectionPlan planConnection(const PortDescription& first, const PortDescription& second,
                              const std::vector<std::pair<std::string, std::string>>& requested) {
  std::string firstType = property(first, kPortTypeKey);
  std::string secondType = property(second, kPortTypeKey);
  bool firstIsService = firstType == kServicePort;
  bool secondIsService = secondType == kServicePort;
  if (firstIsService != secondIsService) {
    return failure("cannot connect service port " + (firstIsService ? first.name : second.name) +
                   " to data port " + (firstIsService ? second.name : first.name));
  }
  ConnectionPlan plan;
  if (firstIsService) {
    std::string mismatch = interfaceMismatch(first, second, requested);
    if (!mismatch.empty()) return failure(mismatch);
    for (const auto& [key, value] : requested) plan.connectorProperties[key] = value;
    return plan;
  }
  bool oneOutOneIn = (firstType == kDataOutPort && secondType == kDataInPort) ||
                     (firstType == kDataInPort && secondType == kDataOutPort);
  if (!oneOutOneIn) {
    return failure("cannot connect " + first.name + " (" + (firstType.empty() ? "?" : firstType) +
                   ") to " + second.name + " (" + (secondType.empty() ? "?" : secondType) +
                   "): one out-port and one in-port are needed");
  }
  std::string firstData = dataTypeOf(first);
  std::string secondData = dataTypeOf(second);
  bool firstAny = lower(firstData) == kAny;
  bool secondAny = lower(secondData) == kAny;
  if (!firstAny && !secondAny && firstData != secondData) {
    return failure("ports of different data types: " + first.name + " carries " +
                   (firstData.empty() ? "no data type" : firstData) + ", " + second.name +
                   " carries " + (secondData.empty() ? "no data type" : secondData));
  }
  std::string dataType = firstAny ? secondData : firstData;
  plan.connectorProperties[kDataTypeKey] = dataType;
  for (const auto& [key, value] : kDataPortDefaults) plan.connectorProperties[key] = value;
  for (const auto& [key, value] : requested) {
    std::string fullKey = key.find('.') == std::string::npos ? kDataPortPrefix + key : key;
    if (fullKey == kDataTypeKey && value != dataType) {
      return failure("data type " + value + " requested, but the ports carry " + dataType);
    }
    plan.connectorProperties[fullKey] = value;
  }
  for (const auto& [key, defaultValue] : kDataPortDefaults) {
    const std::string& value = plan.connectorProperties[key];
    for (const PortDescription* port : {&first, &second}) {
      if (!profileValueAdmits(property(*port, key), value)) {
        return failure(port->name + " does not offer " + key + " \"" + value + "\" (it offers \"" +
                       property(*port, key) + "\")");
      }
    }
  }
  return plan;
}

}  // namespace rtctl
