#pragma once
// A small live system as copies of profiles, for the comparison, capture and watch tests:
// a talker and a listener joined by one data connection, a caller using a provider's service.
#include <string>
#include <utility>
#include <vector>

#include "tools/rtctl/system_check.h"

namespace rtctl {

inline PortInfo dataPort(const std::string& name, const char* portType) {
  return {name,
          {{"port.port_type", portType},
           {"dataport.data_type", "IDL:RTC/TimedString:1.0"},
           {"dataport.interface_type", "corba_cdr"},
           {"dataport.dataflow_type", "push"},
           {"dataport.subscription_type", "flush,new"}},
          {},
          {}};
}

inline PortInfo servicePort(const std::string& name, bool provides) {
  return {name, {{"port.port_type", "CorbaPort"}}, {{"echo0", "Echo", provides}}, {}};
}

inline ConnectorInfo connector(const std::string& id, const std::string& first,
                               const std::string& second, PropertyMap properties = {}) {
  return {id, first + "_" + second, {first, second}, std::move(properties)};
}

inline ComponentInfo component(const std::string& name, const std::string& state,
                               std::vector<PortInfo> ports,
                               std::vector<std::pair<std::string, std::string>> values = {}) {
  ComponentInfo info;
  info.path = "host.host_cxt/" + name + ".rtc";
  info.instanceName = name;
  info.state = state;
  info.ports = std::move(ports);
  info.activeSetId = "default";
  info.configurationSets = {{"default", std::move(values)}};
  return info;
}

// Talker0.out → Listener0.in (connector "c-data", flush), Caller0.echo → Provider0.echo
// (connector "c-echo"); Talker0 and Provider0 active.
inline LiveSystem smallSystem() {
  const PropertyMap flush = {{"dataport.data_type", "IDL:RTC/TimedString:1.0"},
                             {"dataport.interface_type", "corba_cdr"},
                             {"dataport.dataflow_type", "push"},
                             {"dataport.subscription_type", "flush"},
                             {"dataport.corba_cdr.inport_ior", "IOR:00"}};
  PortInfo out = dataPort("Talker0.out", "DataOutPort");
  PortInfo in = dataPort("Listener0.in", "DataInPort");
  out.connectors = {connector("c-data", "Talker0.out", "Listener0.in", flush)};
  in.connectors = out.connectors;
  PortInfo caller = servicePort("Caller0.echo", false);
  PortInfo provider = servicePort("Provider0.echo", true);
  caller.connectors = {connector("c-echo", "Caller0.echo", "Provider0.echo")};
  provider.connectors = caller.connectors;
  return {component("Talker0", "Active", {out}, {{"message", "hello"}, {"gain", "0.50"}}),
          component("Listener0", "Inactive", {in}), component("Caller0", "Inactive", {caller}),
          component("Provider0", "Active", {provider})};
}

}  // namespace rtctl
