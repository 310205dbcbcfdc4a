#pragma once
// The system as the page draws it: every component found in the name server with its state,
// its ports and what each port is connected to. Plain data filled by SystemReader; no CORBA
// here, so that the page's data can be built and tested without a running system.
#include <string>
#include <vector>

namespace dashboard {

// A component state as the page colours it.
inline constexpr const char* kStateUnreachable = "Unreachable";

struct PortView {
  std::string name;      // "Palkett0.input"
  std::string kind;      // "in", "out", "service" or the raw port type
  std::string dataType;  // "RTC::TimedString"; empty for a service port
  // Connectors: id and the full names of every port they join (this one included).
  struct Connector {
    std::string id;
    std::vector<std::string> ports;
  };
  std::vector<Connector> connectors;
};

struct ComponentView {
  std::string path;          // naming path, "Palkett0.rtc"
  std::string instanceName;  // "Palkett0"; from the path when the component does not answer
  // "Created", "Inactive", "Active", "Error", kStateUnreachable, or "" without a context.
  std::string state;
  std::string problem;  // why the component could not be read, when it could not
  std::vector<PortView> ports;
};

// One edge of the graph: a connector, whatever the number of ports it names.
struct ConnectionView {
  std::string id;
  std::string from;  // the out-port (or the first port named) of the connector
  std::string to;
};

struct SystemView {
  std::vector<ComponentView> components;
  std::string nameServer;
  std::string problem;  // the name server itself could not be read
};

// The connections of the system, each connector once however many of its ports were read.
// A data connection runs from its out-port to its in-port.
std::vector<ConnectionView> connectionsOf(const SystemView& system);

}  // namespace dashboard
