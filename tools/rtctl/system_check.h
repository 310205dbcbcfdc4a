#pragma once
// How a system file's lines compare with the live system: the comparison behind rtctl check,
// and what rtctl apply looks at before it changes anything. Plain work on copies of the
// components' profiles (profile_format.h); no CORBA here.
#include <string>
#include <vector>

#include "connection_plan.h"
#include "profile_format.h"
#include "system_file.h"

namespace rtctl {

// The live components, as read from their profiles.
using LiveSystem = std::vector<ComponentInfo>;

// The component a name means (an instance name, or a naming path), or null.
const ComponentInfo* findLiveComponent(const LiveSystem& live, const std::string& name);
// The component's port called portName ("out" or "Talker0.out"), or null.
const PortInfo* findLivePort(const ComponentInfo& component, const std::string& portName);

// The name rtctl gives the connector it makes between two ports (by their full names).
std::string connectorName(const std::string& firstPort, const std::string& secondPort);

// A connector to take away, on the port of the line's endpoint `endpoint` (0 or 1).
struct ConnectorToRemove {
  int endpoint = 0;
  std::string id;
};

// What a connect or disconnect line finds between its two ports.
struct ConnectionState {
  std::string error;  // the line cannot be carried out (missing port, types that differ...)
  std::string firstPort, secondPort;  // full port names
  PropertyMap wanted;                 // connect: the connector properties asked for
  std::vector<std::string> matching;  // connectors joining the ports as wanted
  // Connectors joining the ports otherwise (connect), or at all (disconnect).
  std::vector<std::string> differing;
  // Connectors on either port that rtctl made for this pair earlier but that no longer join
  // both ports: one end was a process that is gone.
  std::vector<ConnectorToRemove> stale;
};

ConnectionState connectionState(const Action& action, const LiveSystem& live);

// Whether one line of a system file holds in the live system.
struct LineCheck {
  bool holds = false;
  bool unknown = false;  // the line cannot be compared (a component or port is missing)
  std::string detail;    // what was found: "connected", "missing", "Inactive, Active wanted"
};

LineCheck checkLine(const Action& action, const LiveSystem& live);

// True when two configuration values are the same text, or the same number written
// differently ("0.5" and "0.50").
bool sameConfigurationValue(const std::string& live, const std::string& wanted);

// The value of key in the component's active configuration set, or null.
const std::string* activeValue(const ComponentInfo& component, const std::string& key);

}  // namespace rtctl
