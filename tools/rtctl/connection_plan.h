#pragma once
// Whether two ports may be connected, and with which connector properties. Pure: works on the
// ports' profile properties as text.
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace rtctl {

using PropertyMap = std::map<std::string, std::string>;

// An interface of a service port: what it provides or requires, under which instance name.
struct InterfaceInfo {
  std::string instanceName;
  std::string typeName;
  bool provided = false;
};

// A port as seen in its profile: its full name ("Talker0.out"), its properties
// ("port.port_type", "dataport.data_type", ...) and, for a service port, its interfaces.
struct PortDescription {
  std::string name;
  PropertyMap properties;
  std::vector<InterfaceInfo> interfaces;
};

// The connector properties to send, or why the connection cannot be made.
struct ConnectionPlan {
  PropertyMap connectorProperties;
  std::string error;  // empty when the connection may be made
};

// Data ports (one "DataOutPort", one "DataInPort") must carry the same data type; the connector
// gets dataport.data_type, interface_type "corba_cdr", dataflow_type "push" and
// subscription_type "flush" unless requested otherwise. Requested keys without a '.' are taken
// under "dataport." ("subscription_type=new"). Each of the four dataport keys must be offered
// by both ports' profiles: the profile's comma list holds the value, or "Any". Service ports
// ("CorbaPort") connect with the requested properties only, and only when every interface
// one of them requires is provided by the other under the same type and instance name (the
// middleware wires a consumer to a provider by those two names), unless a requested
// "<port>.required.<type>.<instance>" property wires it by hand.
ConnectionPlan planConnection(const PortDescription& first, const PortDescription& second,
                              const std::vector<std::pair<std::string, std::string>>& requested);

// True when a profile value (a comma list such as "flush,new" or "Any") admits value.
bool profileValueAdmits(const std::string& profileValue, const std::string& value);

}  // namespace rtctl
